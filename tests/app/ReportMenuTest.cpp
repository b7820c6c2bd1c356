// The Report menu in the window, as a new user meets it: a few mailers
// printed, Sort > By Name, Preview > Short Detail printed from the preview,
// then Clear with a saved copy.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "TestPaths.h"
#include "dbase/TTzDbf.h"
#include "dialogs/U_MailingBook.h"
#include "print/CurrentPrinter.h"
#include "print/FormPrinter.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

std::string pdfText(const QString& path) {
  FILE* pipe = ::popen(("pdftotext -layout '" + path.toStdString() + "' - 2>&1").c_str(), "r");
  std::string text;
  char buffer[4096];
  for (std::size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    text.append(buffer, got);
  if (pipe) ::pclose(pipe);
  return text;
}

class ReportMenuTest : public test::MainWindowFixture {
 protected:
  // The window with the shipped layout file, its mailers drawn on a
  // recording canvas instead of a printer.
  TF_Main& startWithReports() {
    QFile::copy(QStringLiteral(KESTREL_REPORT_LAYOUT),
                QString::fromStdString(programFolder()) + QStringLiteral("/Kestrel3.rav"));
    writeIni(QByteArray(test::kQuietStart));
    TF_Main& window = start();
    Settings().ShowMailerDialog = false;
    window.setMailerPrinter([](const PrintRequest& request, bool barCodes, const QFont& font) {
      RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});
      return PrintMailer(canvas, request, barCodes, font);
    });
    return window;
  }

  // The preview that opens next shows `pageLabel` and is printed from; the
  // printer's dialog is accepted. The job is the run's first PDF file: the
  // user is told where it goes.
  void previewThenPrint(const QString& pageLabel) {
    m_user.answerDialog([pageLabel](QDialog& preview) {
      EXPECT_EQ(preview.windowTitle(), QStringLiteral("Report Preview"));
      EXPECT_EQ(preview.findChild<QLabel*>(QStringLiteral("lblPage"))->text(), pageLabel);
      preview.findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
      return int(QDialog::Accepted);
    });
    m_user.answerDialog([](QDialog&) { return int(QDialog::Accepted); });
    m_user.answerMessage(UserInteraction::Answer::Ok);
  }

  // The text of the one PDF job printed so far.
  std::string printedText() {
    const QStringList pdfs = QDir(pdfJobFolder()).entryList({QStringLiteral("*.pdf")});
    EXPECT_EQ(pdfs.size(), 1);
    return pdfs.size() == 1 ? pdfText(pdfJobFolder() + QLatin1Char('/') + pdfs[0]) : std::string();
  }
};

TEST_F(ReportMenuTest, PrintedMailersSortedByNamePreviewedPrintedAndClearedWithACopy) {
  if (hasInstalledPrinter()) GTEST_SKIP() << "reports would go to a real printer";
  TF_Main& window = startWithReports();
  for (const char* name : {"Carol Zeta", "Alice Young", "Bob Xavier"}) {
    find<QPlainTextEdit>("memoAddress")->setPlainText(QString::fromLatin1(name));
    window.MIPrint->trigger();
  }

  for (QAction* item : {window.miPrintFull, window.miPrintShort, window.miPreviewFull,
                        window.miPreviewShort, window.ClearReport1, window.MIByName})
    EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
  window.MIByDate->trigger();
  window.MIByName->trigger();
  EXPECT_TRUE(window.MIByName->isChecked());
  EXPECT_FALSE(window.MIByDate->isChecked());

  previewThenPrint(QStringLiteral("Page 1 of 1"));
  window.miPreviewShort->trigger();
  EXPECT_EQ(m_user.pendingAnswers(), 0u);
  const std::string text = printedText();
  const std::size_t alice = text.find("Alice Young"), bob = text.find("Bob Xavier"),
                    carol = text.find("Carol Zeta");
  EXPECT_LT(alice, bob) << text;
  EXPECT_LT(bob, carol) << text;
  EXPECT_NE(carol, std::string::npos) << text;
  EXPECT_NE(text.find("Mailers: 3"), std::string::npos) << text;

  const auto logRecords = [this] {
    TTzDbf log("check");
    log.SetDbfFileName(programFolder() + "/Reports/report3.dbf");
    log.Open();
    return log.RecordCount();
  };
  // Cancel, and Yes with the file dialog cancelled (the copy asked for
  // would be lost), keep the log.
  m_user.answerMessage(UserInteraction::Answer::Cancel);
  window.ClearReport1->trigger();
  const auto question = m_user.questions().back();
  EXPECT_EQ(question.text, QStringLiteral("Do you wish to save the data in the report?"));
  EXPECT_EQ(question.icon, UserInteraction::Icon::Question);
  EXPECT_EQ(question.buttons, UserInteraction::Buttons::YesNoCancel);
  m_user.answerMessage(UserInteraction::Answer::Yes);
  m_user.answerSaveFile(QString());
  window.ClearReport1->trigger();
  EXPECT_EQ(m_user.pendingAnswers(), 0u);
  EXPECT_EQ(logRecords(), 3u);

  const std::string copy = programFolder() + "/copy.dbf";
  m_user.answerMessage(UserInteraction::Answer::Yes);
  m_user.answerSaveFile(QString::fromStdString(copy));
  window.ClearReport1->trigger();
  // Clear adds to a table that is there: the dialog must not offer to
  // replace it.
  EXPECT_EQ(m_user.questions().back().kind, test::ScriptedUserInteraction::Kind::SaveFile);
  EXPECT_EQ(m_user.questions().back().existing, UserInteraction::ExistingFile::TakeAsIs);
  EXPECT_EQ(logRecords(), 0u);
  {
    TTzDbf saved("saved");
    saved.SetDbfFileName(copy);
    saved.SetCreateIfNotFound(false);
    saved.Open();
    EXPECT_EQ(saved.RecordCount(), 3u);
  }

  // The empty log is told, by the reports and by Clear, with nothing asked.
  for (QAction* item : {window.miPreviewFull, window.ClearReport1}) {
    m_user.answerMessage(UserInteraction::Answer::Ok);
    item->trigger();
    EXPECT_EQ(m_user.pendingAnswers(), 0u);
    const auto told = m_user.questions().back();
    EXPECT_EQ(told.text, item == window.ClearReport1 ? QStringLiteral("Report is already empty.")
                                                     : QStringLiteral("Report is empty."));
    EXPECT_EQ(told.icon, UserInteraction::Icon::Error);
    EXPECT_EQ(told.buttons, UserInteraction::Buttons::Ok);
  }
}

// "Done means": ten mailers printed, Report > Firm Mailing Book..., Preview,
// Print from the preview: two sheets listing the ten; a day without mailers
// or a range of numbers without any says so and opens no preview.
TEST_F(ReportMenuTest, TenPrintedMailersMakeAFirmMailingBookAndAnEmptyDayOrRangeIsRefused) {
  if (hasInstalledPrinter()) GTEST_SKIP() << "reports would go to a real printer";
  TF_Main& window = startWithReports();
  for (int i = 0; i < 10; ++i) {
    find<QPlainTextEdit>("memoAddress")->setPlainText(QStringLiteral("Addressee %1").arg(i));
    window.MIPrint->trigger();
  }

  m_user.answerDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Firm Mailing Book"));
    EXPECT_EQ(dialog.findChild<QDateEdit*>(QStringLiteral("dtMailingDate"))->date(),
              QDate::currentDate());
    dialog.findChild<QPushButton*>(QStringLiteral("btnPreview"))->click();
    return dialog.result();
  });
  previewThenPrint(QStringLiteral("Page 1 of 2"));
  window.MIFirmMailingBook->trigger();
  EXPECT_EQ(m_user.pendingAnswers(), 0u);
  const std::string text = printedText();
  EXPECT_NE(text.find("Sheet 2 of 2"), std::string::npos) << text;
  for (int i = 0; i < 10; ++i)
    EXPECT_NE(text.find("Addressee " + std::to_string(i)), std::string::npos) << i;
  EXPECT_NE(text.find("Total Number of Pieces Listed by Sender: 8"), std::string::npos);
  EXPECT_NE(text.find("Total Number of Pieces Listed by Sender: 2"), std::string::npos);

  m_user.answerDialog([](QDialog& dialog) {
    dialog.findChild<QDateEdit*>(QStringLiteral("dtMailingDate"))
        ->setDate(QDate::currentDate().addDays(-1));
    dialog.findChild<QPushButton*>(QStringLiteral("btnPreview"))->click();
    return dialog.result();
  });
  m_user.answerMessage(UserInteraction::Answer::Ok);
  window.MIFirmMailingBook->trigger();
  EXPECT_EQ(m_user.pendingAnswers(), 0u);
  ASSERT_FALSE(m_user.questions().empty());
  EXPECT_TRUE(
      m_user.questions().back().text.startsWith(QStringLiteral("No mailers were logged on ")));
  EXPECT_EQ(m_user.questions().back().icon, UserInteraction::Icon::Error);

  // Slips in the range of mailer numbers are refused by the dialog, which
  // stays open with the numbers typed; a range without any of the day's
  // mailers says so, and neither opens a preview.
  struct Range {
    const char* first;
    const char* last;
    bool dialogStaysOpen;
    const char* message;  // the end of the message
  };
  const Range ranges[] = {
      {"9214 7000 0000 0000 9", "9214 7000", true,
       "The first mailer number comes after the last one."},
      {"abc", "", true, "\"abc\" is not a mailer number."},
      {"", "1", false, " in that range of mailer numbers."},
  };
  for (const Range& range : ranges) {
    SCOPED_TRACE(std::string(range.first) + " to " + range.last);
    m_user.answerDialog([&](QDialog& dialog) {
      QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("edFirstNumber")),
                       QString::fromLatin1(range.first));
      QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("edLastNumber")),
                       QString::fromLatin1(range.last));
      dialog.findChild<QPushButton*>(QStringLiteral("btnPreview"))->click();
      EXPECT_EQ(dialog.isVisible(), range.dialogStaysOpen);
      if (dialog.isVisible()) dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
      return dialog.result();
    });
    m_user.answerMessage(UserInteraction::Answer::Ok);
    window.MIFirmMailingBook->trigger();
    EXPECT_EQ(m_user.pendingAnswers(), 0u);
    EXPECT_TRUE(m_user.questions().back().text.endsWith(QString::fromLatin1(range.message)))
        << m_user.questions().back().text.toStdString();
    EXPECT_EQ(m_user.questions().back().icon, UserInteraction::Icon::Error);
  }
}

}  // namespace
}  // namespace kestrel
