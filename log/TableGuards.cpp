#include "log/TableGuards.h"

#include "dbase/LockRetry.h"
#include "dbase/TTzDbf.h"
#include "log/MailingLog.h"

namespace kestrel {

bool takeAppendLock(TTzDbf& table) {
  return retryLock(kAppendLockAttempts, kAppendLockPause, [&table] { return table.ALock(); });
}

}  // namespace kestrel
