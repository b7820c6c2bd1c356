#include "log/LogReport.h"

#include <QLocale>
#include <stdexcept>

#include "dbase/TTzDbf.h"
#include "log/MailingLog.h"
#include "log/TableGuards.h"
#include "platform/AnsiText.h"
#include "platform/ProgramLocale.h"

namespace kestrel {

LogSortIndex logSortIndex(LogSort sort) {
  switch (sort) {
    case LogSort::ByMailerNumber:
      return {"mailernum", "mailernum"};
    case LogSort::ByName:
      return {"sentname0", "name"};
    case LogSort::ByDate:
      return {"rdate", "rdate"};
    case LogSort::ByZipCode:
    case LogSort::None:
      break;
  }
  return {"zip", "zip"};
}

void setUpLogReports(ReportProject& project, const std::string& programFolder) {
  project.setProjectFile(programFolder + kReportLayoutFileName);
  ReportSystemTexts texts;
  texts.outputOptionsTitle = QStringLiteral("Output Options");
  texts.statusTitle = QStringLiteral("Report Status");
  texts.previewTitle = QStringLiteral("Report Preview");
  texts.generatingText = QStringLiteral("Generating page %p");
  texts.printingText = QStringLiteral("Printing page %p");
  texts.jobTitle = QStringLiteral("ReportPrinter Report");
  project.setTexts(texts);
}

std::string myTimeText(const QDateTime& now) {
  const QLocale locale = programLocale();
  return "Date Printed: " +
         toAnsi(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                locale.toString(now.time(), QLocale::LongFormat));
}

void produceLogReport(TTzDbf& log, ReportProject& project, ReportDestination destination,
                      const std::string& reportName, LogSort sort, const QDateTime& now) {
  CloseOnExit closeLog(log);
  CloseProjectOnExit closeProject(project);
  log.Open();
  if (log.RecordCount() == 0) throw EmptyLogError("Report is empty.");
  if (sort != LogSort::None) {
    const LogSortIndex index = logSortIndex(sort);
    if (!log.IndexOnOne(index.field, index.indexName))
      throw std::runtime_error("The mailing log \"" + log.DbfFileName() +
                               "\" could not be sorted.");
  }
  log.First();
  project.setConnection(kLogConnectionName, &log);
  project.setDestination(destination);
  project.setSetupChoices(destination == ReportDestination::rdPrinter ? kLogPrinterChoices : 0u);
  project.open();
  project.setParameter(kMyTimeParameter, myTimeText(now));
  project.executeReport(reportName);
}

}  // namespace kestrel
