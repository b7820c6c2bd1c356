#pragma once

// The log's reports printed for real: the log in a temporary program folder,
// the shipped layout file beside it, and the report engine's printer writing
// a PDF file that the tests read back.
#include <QPrinter>
#include <filesystem>
#include <string>

#include "DbaseTestSupport.h"
#include "ScriptedUserInteraction.h"
#include "dbase/TTzDbf.h"
#include "log/LogReport.h"
#include "log/MailingLog.h"
#include "report/ReportProject.h"

namespace kestrel::test {

class LogReportFixture : public DbaseTest {
 protected:
  void SetUp() override {
    DbaseTest::SetUp();
    m_folder = m_dir.path().string() + "/";
    std::filesystem::copy_file(KESTREL_REPORT_LAYOUT, m_folder + kReportLayoutFileName);
    setUpMailingLog(m_log, m_folder);
    setUpLogReports(m_project, m_folder);
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_project.setPrinter(
        &m_printer, [this] { m_printer.setOutputFileName(QString::fromStdString(pdfPath())); });
  }

  std::string pdfPath() const { return m_folder + "report.pdf"; }

  std::string m_folder;
  TTzDbf m_log{"MailingLog"};
  ReportProject m_project;
  QPrinter m_printer{QPrinter::HighResolution};
  ScriptedUserInteraction m_user;
};

}  // namespace kestrel::test
