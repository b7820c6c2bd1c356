// The engine over an in-memory data set: what it does with a name it lacks
// or a field the data lacks, a foot that leaves no room, the status window's
// Cancel, and copies and collation chosen in "Output Options" as they come out
// of the printer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "DbaseTestSupport.h"
#include "FileSizeLimit.h"
#include "MemoryDataSet.h"
#include "ScriptedUserInteraction.h"
#include "print/PrintError.h"
#include "report/ReportError.h"
#include "report/ReportProject.h"

namespace kestrel {
namespace {

using test::MemoryDataSet;
using Kind = test::ScriptedUserInteraction::Kind;

// A page with room for two records (or the totals) makes a report of a few
// records run over several pages.
constexpr const char* kLayout =
    "kestrel-report-layout 1\n"
    "page 8.5 1.86\n"
    "margins 0.5 0.5 0.5 0.5\n"
    "connection Data\n"
    "report Names\n"
    "  title \"Names\"\n"
    "  row\n"
    "    column name 0 2 \"Name\"\n"
    "    column fee 2 1 \"Fee\" right sum\n"
    "  count \"Count: \"\n"
    "end\n"
    "report Broken\n"
    "  row\n"
    "    column nothere 0 2 \"Missing\"\n"
    "end\n"
    // Two records fit a page; the box at the foot leaves room for none.
    "report TallFoot\n"
    "  row\n"
    "    column name 0 2 \"Name\"\n"
    "  box 0 0 1 0.5\n"
    "end\n";

class ReportEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_layoutPath = m_dir.filePath(QStringLiteral("layout.rav")).toStdString();
    std::ofstream(m_layoutPath) << kLayout;
    m_project.setProjectFile(m_layoutPath);
    m_project.setConnection("Data", &m_data);
    m_data.Open();
  }

  void addRecords(int count) {
    for (int i = 1; i <= count; ++i) {
      m_data.Insert();
      m_data.SetFieldText("name", "Name" + std::to_string(i));
      m_data.SetFieldText("fee", "1.25");
      m_data.Post();
    }
  }

  // The report to a PDF file; returns pdftotext's pages.
  std::vector<std::string> printToPdf(const std::string& report) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    QFile::remove(pdf);
    printer.setOutputFileName(pdf);
    m_project.setPrinter(&printer);
    m_project.setDestination(ReportDestination::rdPrinter);
    m_project.open();
    m_project.executeReport(report);
    m_project.close();
    return test::pdfPages(pdf.toStdString());
  }

  QTemporaryDir m_dir;
  std::string m_layoutPath;
  MemoryDataSet m_data{{{"NAME", 'C', 20}, {"FEE", 'C', 10}}};
  ReportProject m_project;
  test::ScriptedUserInteraction m_user;
};

TEST_F(ReportEngineTest,
       NameTheLayoutLacksProducesNothingAndMissingFieldOrTooTallFootNamesItsLine) {
  addRecords(1);
  QPrinter printer;
  m_project.setPrinter(&printer);
  m_project.setSetupChoices(ssAllowSetup);
  for (ReportDestination destination :
       {ReportDestination::rdPreview, ReportDestination::rdPrinter}) {
    m_project.setDestination(destination);
    m_project.open();
    EXPECT_NO_THROW(m_project.executeReport("names"));  // names are exact
    const std::pair<const char*, const char*> broken[] = {
        {"Broken",
         "line 14: the report \"Broken\" shows the field \"nothere\", which its data "
         "lacks"},
        {"TallFoot", "line 16: a record of the report \"TallFoot\" does not fit on a page"},
    };
    for (const auto& [name, expected] : broken) {
      try {
        m_project.executeReport(name);
        ADD_FAILURE() << "no error for " << name;
      } catch (const ReportError& error) {
        EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
      }
    }
    m_project.close();
  }
  EXPECT_TRUE(m_user.questions().empty());  // no window was opened
}

TEST_F(ReportEngineTest, CancelInTheStatusWindowStopsBeforeThePreview) {
  addRecords(50);
  bool clicked = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() != QStringLiteral("ReportStatus") || !window->isVisible()) continue;
      EXPECT_EQ(window->windowTitle(), QStringLiteral("Report Status"));
      window->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
      clicked = true;
    }
  });
  m_project.setDestination(ReportDestination::rdPreview);
  m_project.open();
  m_project.executeReport("Names");  // a preview would be an unexpected question
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(m_user.questions().empty());
}

TEST_F(ReportEngineTest, CopiesAndCollationChosenInOutputOptions) {
  addRecords(2);  // the records on page 1, the totals on page 2
  struct Case {
    bool collate;
    std::vector<int> pageOrder;
  };
  for (const Case& c : {Case{true, {1, 2, 1, 2}}, Case{false, {1, 1, 2, 2}}}) {
    SCOPED_TRACE(c.collate);
    m_project.setSetupChoices(ssAllowSetup | ssAllowCopies | ssAllowCollate | ssAllowDuplex);
    m_user.answerDialog([&](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Output Options"));
      dialog.findChild<QSpinBox*>(QStringLiteral("spinCopies"))->setValue(2);
      dialog.findChild<QCheckBox*>(QStringLiteral("cbCollate"))->setChecked(c.collate);
      return int(QDialog::Accepted);
    });
    const std::vector<std::string> pages = printToPdf("Names");
    ASSERT_EQ(pages.size(), c.pageOrder.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
      const int page = c.pageOrder[i];
      EXPECT_NE(pages[i].find("Page " + std::to_string(page) + " of 2"), std::string::npos)
          << pages[i];
      EXPECT_EQ(pages[i].find("Count: 2") != std::string::npos, page == 2) << pages[i];
    }
    EXPECT_NE(pages.back().find("2.50"), std::string::npos) << pages.back();
  }
}

TEST_F(ReportEngineTest, CancelInOutputOptionsPrintsNothing) {
  addRecords(1);
  m_project.setSetupChoices(ssAllowSetup);
  m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = m_dir.filePath(QStringLiteral("none.pdf"));
  printer.setOutputFileName(pdf);
  m_project.setPrinter(&printer);
  m_project.setDestination(ReportDestination::rdPrinter);
  m_project.open();
  m_project.executeReport("Names");
  EXPECT_FALSE(QFile::exists(pdf));
}

}  // namespace
}  // namespace kestrel

namespace kestrel {
namespace {

TEST_F(ReportEngineTest, PdfThatCannotBeWrittenIsAnErrorNamingTheFile) {
  addRecords(1);
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = m_dir.filePath(QStringLiteral("missing/out.pdf")).toStdString();
  printer.setOutputFileName(QString::fromStdString(pdf));
  m_project.setPrinter(&printer);
  m_project.setDestination(ReportDestination::rdPrinter);
  m_project.open();
  try {
    m_project.executeReport("Names");
    ADD_FAILURE() << "no error";
  } catch (const PrintError& error) {
    EXPECT_NE(std::string(error.what()).find("\"" + pdf + "\" refused the print job"),
              std::string::npos)
        << error.what();
  }
}

// A disk that fills while the pages go to the file: the report is not
// printed, the user learns which file failed, and no part of it is left.
TEST_F(ReportEngineTest, PdfCutShortByAFullDiskIsAnErrorAndIsRemoved) {
  addRecords(400);
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = m_dir.filePath(QStringLiteral("full.pdf"));
  printer.setOutputFileName(pdf);
  m_project.setPrinter(&printer);
  m_project.setDestination(ReportDestination::rdPrinter);
  m_project.open();
  try {
    // Room for the report's work file of 400 records, not for its PDF.
    const ScopedFileSizeLimit nearlyFullDisk(16384);
    m_project.executeReport("Names");
    ADD_FAILURE() << "no error";
  } catch (const PrintError& error) {
    EXPECT_EQ(std::string(error.what()),
              "The PDF file \"" + pdf.toStdString() + "\" failed while printing the pages.");
  }
  EXPECT_FALSE(QFile::exists(pdf));
}

}  // namespace
}  // namespace kestrel
