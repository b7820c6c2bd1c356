#include "log/TableGuards.h"

#include <thread>

#include "dbase/TTzDbf.h"
#include "log/MailingLog.h"

namespace kestrel {

bool takeAppendLock(TTzDbf& table) {
  for (int attempt = 1;; ++attempt) {
    if (table.ALock()) return true;
    if (attempt == kAppendLockAttempts) return false;
    std::this_thread::sleep_for(kAppendLockPause);
  }
}

}  // namespace kestrel
