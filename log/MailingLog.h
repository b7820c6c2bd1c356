#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "mailer/Mailer.h"

namespace kestrel {

class TTzDbf;

// The mailing log: one dBASE record per printed mailer, appended right after
// the printer accepted the mailer, so the physical order is the order of
// printing. Several copies of the program append to the one file at once,
// each opening it shared and appending under the table's append lock.
//
// The table is opened only while a command uses it; between commands it is
// closed, so that a clear (which needs exclusive use) can run in any copy.

// Where the log lives, relative to the program folder.
inline constexpr const char* kReportsFolderName = "Reports";
inline constexpr const char* kMailingLogFileName = "Reports/report3.dbf";

// The log's field list in file order, as definition texts ("sentname0,C,30,0").
const std::vector<std::string>& mailingLogFields();

// Points the table at the log under the program folder (which ends in a
// separator) with the log's settings: shared, text in the OEM code page,
// deleted records visible, created from its field list when the file is
// missing. Leaves the table closed.
void setUpMailingLog(TTzDbf& log, const std::string& programFolder);

// A printed mailer that could not be recorded: the message names the mailer
// number missing from the log, so that the user can note it by hand.
class MailingLogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command over the log that finds nothing to work on ("Report is
// empty."): the message is the user's, and the command ends with nothing
// done.
class EmptyLogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How long an append waits for another copy of the program that holds the
// append lock. Each attempt is a single non-blocking request, as every copy
// expects of the others; the pause between attempts keeps the whole wait
// near one second, far longer than any append takes.
inline constexpr int kAppendLockAttempts = 10;
inline constexpr std::chrono::milliseconds kAppendLockPause{100};

// Appends one record for the mailer printed as `logNumber` (the grouped
// mailer number) with today's date: opens the log (creating it when
// missing), blanks the record buffer, sets the fields in the log's order,
// takes the append lock, appends and releases it. The table is closed on
// every path. The log keeps the recipient lines as displayed (the city line
// never goes among them), the city, state and ZIP, the fee, comment and RE
// texts; not the sender. Throws MailingLogError when the lock stays refused
// or the record cannot be written; the log is then unchanged.
void LogPrintedMailer(TTzDbf& log, const Mailer& mailer, const std::string& logNumber);

// An earlier mailer that the log holds under a number, as the question
// before a print names it.
struct PrintedBefore {
  std::string date;  // the rdate field in the system's short date format
  std::string name;  // the first recipient line, trimmed
};

// Looks the grouped mailer number `logNumber` up among the live records of
// the log under the program folder, opened shared and read only, as the
// report reads it: the first record with that number, or nothing when there
// is none or the log does not exist yet (it is not created here). Throws the
// storage layer's error when the log exists but cannot be read; a caller
// must never take that for "not printed".
std::optional<PrintedBefore> findPrintedMailer(const std::string& programFolder,
                                               const std::string& logNumber);

}  // namespace kestrel
