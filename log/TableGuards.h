#pragma once

#include "dbase/CloseOnExit.h"
#include "report/ReportProject.h"

namespace kestrel {

class TTzDbf;

// Takes the table's append lock for another copy of the program that may be
// appending: each attempt is one request that does not wait, with a pause
// between attempts (kAppendLockAttempts, kAppendLockPause in MailingLog.h).
bool takeAppendLock(TTzDbf& table);

// Closes the report engine's project on every path, before the data it
// was given goes away.
class CloseProjectOnExit {
 public:
  explicit CloseProjectOnExit(ReportProject& project) : m_project(project) {}
  ~CloseProjectOnExit() { m_project.close(); }
  CloseProjectOnExit(const CloseProjectOnExit&) = delete;
  CloseProjectOnExit& operator=(const CloseProjectOnExit&) = delete;

 private:
  ReportProject& m_project;
};

}  // namespace kestrel
