#pragma once

#include "report/ReportProject.h"

namespace kestrel {

class TTzDbf;

// Takes the table's append lock for another copy of the program that may be
// appending: each attempt is one request that does not wait, with a pause
// between attempts (kAppendLockAttempts, kAppendLockPause in MailingLog.h).
bool takeAppendLock(TTzDbf& table);

// Closes the table on every path; a failing close on the way out of an
// error must not hide that error.
class CloseOnExit {
 public:
  explicit CloseOnExit(TTzDbf& table) : m_table(table) {}
  ~CloseOnExit();
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  TTzDbf& m_table;
};

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
