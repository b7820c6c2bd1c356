// The log report end to end: the log in a temporary program folder, the
// shipped layout, the engine printing to a PDF file, and pdftotext reading
// it back: every record once, in the order of each sort, with headings,
// "Page N of M", the run's moment, the count and the fee totals.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <regex>

#include "LogFixture.h"
#include "LogReportFixture.h"
#include "ScriptedUserInteraction.h"
#include "log/LogReport.h"
#include "report/ReportError.h"
#include "report/ReportProject.h"

namespace kestrel {
namespace {

using Kind = test::ScriptedUserInteraction::Kind;
using test::MadeMailer;

class LogReportTest : public test::LogReportFixture {
 protected:
  // The report to the printer (a PDF file), answering "Output Options".
  void print(const char* report, LogSort sort) {
    std::filesystem::remove(pdfPath());
    m_user.answerDialog([](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Output Options"));
      return int(QDialog::Accepted);
    });
    produceLogReport(m_log, m_project, ReportDestination::rdPrinter, report, sort, kNow);
    EXPECT_FALSE(m_log.Active());
  }

  // Checks the frame of every page and returns the recipients' first lines
  // in the order printed.
  std::vector<std::string> checkPages(const std::vector<std::string>& pages, std::size_t count,
                                      const std::string& heading) {
    const std::size_t m = pages.size();
    for (std::size_t i = 0; i < m; ++i) {
      SCOPED_TRACE("page " + std::to_string(i + 1));
      const std::string& page = pages[i];
      EXPECT_NE(page.find("Page " + std::to_string(i + 1) + " of " + std::to_string(m)),
                std::string::npos);
      EXPECT_NE(page.find("Mailer Number"), std::string::npos);
      EXPECT_NE(page.find(heading), std::string::npos);
      EXPECT_NE(page.find("Date Printed: "), std::string::npos);
      EXPECT_NE(page.find("10:20:30"), std::string::npos);  // the run's time
      EXPECT_EQ(page.find("Mailers: ") != std::string::npos, i + 1 == m);
      EXPECT_FALSE(std::regex_search(page, std::regex("/ */")));  // blank dates print nothing
    }
    if (m > 0) {
      EXPECT_NE(pages.back().find("Mailers: " + std::to_string(count)), std::string::npos);
    }
    std::vector<std::string> names;
    static const std::regex name(R"(Name\d{5}(?! line))");
    for (const std::string& page : pages)
      for (std::sregex_iterator it(page.begin(), page.end(), name), end; it != end; ++it)
        names.push_back(it->str());
    return names;
  }

  static inline const QDateTime kNow{QDate(2031, 5, 6), QTime(10, 20, 30)};
};

// The records in the order each sort must give, found here by sorting the
// made mailers, not by the storage layer.
std::vector<std::string> expectedOrder(std::vector<MadeMailer> mailers, LogSort sort) {
  const auto key = [sort](const MadeMailer& m) -> std::string {
    switch (sort) {
      case LogSort::ByName:
        return m.name;
      case LogSort::ByMailerNumber:
        return m.number;
      case LogSort::ByZipCode:
        return m.zip;
      case LogSort::ByDate:  // blank dates after every date
        return m.date.empty() ? "~" : m.day.toString(Qt::ISODate).toStdString();
      case LogSort::None:
        break;
    }
    return test::digits(static_cast<int>(m.recNo), 8);
  };
  std::stable_sort(mailers.begin(), mailers.end(),
                   [&](const MadeMailer& a, const MadeMailer& b) { return key(a) < key(b); });
  std::vector<std::string> names;
  for (const MadeMailer& m : mailers) names.push_back(m.name);
  return names;
}

TEST_F(LogReportTest, ThousandRecordsInTheOrderOfEachSortWithTotalsInBothReports) {
  const std::vector<MadeMailer> mailers = test::madeMailers(1000);
  test::writeLog(m_folder, mailers);
  long long postage = 0, restricted = 0, total = 0;
  for (const MadeMailer& m : mailers) {
    postage += m.postageCents;
    restricted += m.restricted ? 100 : 0;
    total += test::totalCents(m);
  }
  struct Report {
    const char* name;
    const char* heading;  // a heading only this report has
  };
  for (const Report& report :
       {Report{kFullDetailReport, "Comment"}, Report{kShortDetailReport, "Recipient"}}) {
    for (LogSort sort : {LogSort::None, LogSort::ByName, LogSort::ByDate, LogSort::ByMailerNumber,
                         LogSort::ByZipCode}) {
      SCOPED_TRACE(std::string(report.name) + " sort " + std::to_string(int(sort)));
      print(report.name, sort);
      const std::vector<std::string> pages = test::pdfPages(pdfPath());
      ASSERT_GT(pages.size(), 10u);
      const std::vector<std::string> names = checkPages(pages, mailers.size(), report.heading);
      EXPECT_EQ(names, expectedOrder(mailers, sort));
      const std::string& last = pages.back();
      for (long long sum : {postage, 240LL * 1000, restricted, 185LL * 1000, total})
        EXPECT_NE(last.find(test::cents(sum)), std::string::npos) << test::cents(sum) << last;
    }
  }
}

TEST_F(LogReportTest, OneRecordShowsEveryFieldInTheFullReportAndEmptyLogIsRefused) {
  // An empty log: the message for the user, and no engine window or file.
  test::writeLog(m_folder, {});
  try {
    produceLogReport(m_log, m_project, ReportDestination::rdPreview, kFullDetailReport,
                     LogSort::ByName, kNow);
    ADD_FAILURE() << "no error";
  } catch (const EmptyLogError& error) {
    EXPECT_STREQ(error.what(), "Report is empty.");
  }
  EXPECT_TRUE(m_user.questions().empty());
  EXPECT_FALSE(m_log.Active());

  std::filesystem::remove(m_folder + kMailingLogFileName);
  std::vector<MadeMailer> one = test::madeMailers(1);
  one[0].zip = "54321-1234";
  test::writeLog(m_folder, one);
  print(kFullDetailReport, LogSort::None);
  const std::vector<std::string> pages = test::pdfPages(pdfPath());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(checkPages(pages, 1, "Comment"), std::vector<std::string>{one[0].name});
  const MadeMailer& m = one[0];
  for (const std::string& value :
       {m.name + " line2", m.name + " line3", m.name + " line4", "City" + m.name.substr(4),
        std::string("ST"), m.zip, m.number, std::string("2.40"), std::string("1.85"),
        std::string("1.00"), test::cents(m.postageCents), test::cents(test::totalCents(m)),
        "Comment" + m.name.substr(4), "Re" + m.name.substr(4),
        // Dates as the storage layer reads them back, in the program's format.
        m.day.toString(QStringLiteral("MM/dd/yyyy")).toStdString()}) {
    EXPECT_NE(pages[0].find(value), std::string::npos) << value;
  }
}

TEST_F(LogReportTest, EmptyDataStillMakesOnePageWithHeadingsAndZeroCount) {
  // The engine itself over an empty log (the command stops earlier).
  test::writeLog(m_folder, {});
  for (const char* report : {kFullDetailReport, kShortDetailReport}) {
    SCOPED_TRACE(report);
    std::filesystem::remove(pdfPath());
    m_log.Open();
    m_project.setConnection(kLogConnectionName, &m_log);
    m_project.setDestination(ReportDestination::rdPrinter);
    m_project.setSetupChoices(0);
    m_project.open();
    m_project.executeReport(report);
    m_project.close();
    m_log.Close();
    const std::vector<std::string> pages = test::pdfPages(pdfPath());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Mailers: 0"), std::string::npos);
    EXPECT_NE(pages[0].find("Page 1 of 1"), std::string::npos);
    EXPECT_NE(pages[0].find("Mailer Number"), std::string::npos);
  }
}

TEST_F(LogReportTest, MissingOrMalformedLayoutIsOneErrorAndTheLogIsClosed) {
  test::writeLog(m_folder, test::madeMailers(3));
  const std::string layout = m_folder + kReportLayoutFileName;
  struct Case {
    const char* name;
    const char* content;  // nullptr: no file
    const char* expected;
  };
  for (const Case& c : {Case{"missing", nullptr, "cannot be read"},
                        Case{"malformed",
                             "kestrel-report-layout 1\n\nreport FullDetail\nrow\n"
                             "column sentname0 0 9 \"Name\"\nend\n",
                             "line 5: the column reaches past the right margin"}}) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(layout);
    if (c.content) test::writeBytes(layout, c.content);
    try {
      produceLogReport(m_log, m_project, ReportDestination::rdPreview, kFullDetailReport,
                       LogSort::ByName, kNow);
      ADD_FAILURE() << "no error";
    } catch (const ReportError& error) {
      EXPECT_NE(std::string(error.what()).find("\"" + layout + "\""), std::string::npos);
      EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos) << error.what();
    }
    EXPECT_FALSE(m_log.Active());
    EXPECT_FALSE(m_project.isOpen());
  }
}

TEST_F(LogReportTest, PreviewOpensOnPageOneGoesToTheLastAndPrints) {
  const std::vector<MadeMailer> mailers = test::madeMailers(1000);
  test::writeLog(m_folder, mailers);
  std::size_t shownPages = 0;
  m_user.answerDialog([&](QDialog& preview) {
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Report Preview"));
    EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
    auto* label = preview.findChild<QLabel*>(QStringLiteral("lblPage"));
    const QString first = label->text();
    EXPECT_TRUE(first.startsWith(QStringLiteral("Page 1 of "))) << first.toStdString();
    shownPages = first.section(QLatin1Char(' '), 3).toUInt();
    preview.findChild<QPushButton*>(QStringLiteral("btnLast"))->click();
    EXPECT_EQ(label->text(), QStringLiteral("Page %1 of %1").arg(shownPages));
    preview.grab();  // the last page drawn on the screen
    preview.findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
    return int(QDialog::Accepted);
  });
  m_user.answerDialog([](QDialog& options) {
    EXPECT_EQ(options.windowTitle(), QStringLiteral("Output Options"));
    return int(QDialog::Accepted);
  });
  produceLogReport(m_log, m_project, ReportDestination::rdPreview, kShortDetailReport,
                   LogSort::ByName, kNow);
  const std::vector<std::string> pages = test::pdfPages(pdfPath());
  EXPECT_GT(shownPages, 1u);
  EXPECT_EQ(pages.size(), shownPages);
  EXPECT_EQ(checkPages(pages, mailers.size(), "Recipient"),
            expectedOrder(mailers, LogSort::ByName));
  EXPECT_EQ(m_user.pendingAnswers(), 0u);
}

}  // namespace
}  // namespace kestrel
