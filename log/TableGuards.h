#pragma once

#include "dbase/CloseOnExit.h"

namespace kestrel {

class TTzDbf;

// Takes the table's append lock for another copy of the program that may be
// appending: each attempt is one request that does not wait, with a pause
// between attempts (kAppendLockAttempts, kAppendLockPause in MailingLog.h).
bool takeAppendLock(TTzDbf& table);

}  // namespace kestrel
