#pragma once

#include <QDateTime>
#include <string>

#include "report/ReportProject.h"

namespace kestrel {

class TTzDbf;

// The log report: the mailing log, in the order the user chose, handed to
// the report engine as a full or a short report, to the screen or to paper.

// The layout file in the program folder, read at every run.
inline constexpr const char* kReportLayoutFileName = "Kestrel3.rav";
// The data connection the layout reads the log from, and its two reports.
inline constexpr const char* kLogConnectionName = "RvDataSetConnection1";
inline constexpr const char* kFullDetailReport = "FullDetail";
inline constexpr const char* kShortDetailReport = "ShortDetail";
// The parameter that carries the moment of the run.
inline constexpr const char* kMyTimeParameter = "MyTime";

// What the printer destination lets the user change before a log report is
// printed: printer, copies, collation and duplex; sending it to the screen
// or to a file is not offered.
inline constexpr unsigned kLogPrinterChoices = ssAllowSetup | ssAllowCopies | ssAllowCollate |
                                               ssAllowDuplex | ssAllowDestPrinter |
                                               ssAllowPrinterSetup | ssAllowPreviewSetup;

// The Sort menu's choice; None lists the records in the order of printing.
enum class LogSort { None, ByMailerNumber, ByName, ByDate, ByZipCode };

// The field each sort orders by and the name of the index built for it (the
// index file is the name with ".MDX", beside the log).
struct LogSortIndex {
  const char* field;
  const char* indexName;
};
LogSortIndex logSortIndex(LogSort sort);  // Requires: sort != None

// Sets the engine up for the log as start-up does: the layout file in the
// program folder (which ends in a separator) and the windows' titles and
// texts. The printer is the caller's (ReportProject::setPrinter).
void setUpLogReports(ReportProject& project, const std::string& programFolder);

// "Date Printed: " and the moment in the short date and long time formats of
// the program's locale (Windows-1252).
std::string myTimeText(const QDateTime& now);

// Produces the report over the log (closed on entry and on return, also
// after an error): EmptyLogError "Report is empty." for a log without
// records; otherwise
// the sort's index is built afresh, the engine is given the destination
// (no questions for the preview; printer, copies, collation and duplex for
// the printer), the layout is loaded, "MyTime" set and the report run.
// Errors of the table and the engine reach the caller.
void produceLogReport(TTzDbf& log, ReportProject& project, ReportDestination destination,
                      const std::string& reportName, LogSort sort,
                      const QDateTime& now = QDateTime::currentDateTime());

}  // namespace kestrel
