#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "QtPrinting.h"
#include "ScriptedUserInteraction.h"
#include "core/Folders.h"
#include "core/SettingsFile.h"
#include "core/SharedNumbering.h"
#include "dialogs/PrintBarCodesCommand.h"
#include "dialogs/U_PrintBarCode.h"
#include "numbering/MailerNumber.h"
#include "platform/MaskedEdit.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

using test::ScriptedUserInteraction;
using Answer = UserInteraction::Answer;

const QFont kBaseFont(QStringLiteral("Arial"), 8);
const QString kConfirmation = QStringLiteral(
    "You have seleceted to pre-print the Bar Code's onto the Mailer's, would you like to "
    "continue?");

SettingsRecord barCodeSettings(const std::string& serial) {
  SettingsRecord settings;
  settings.PrintBarCode = true;
  settings.CustID = "123456789";
  settings.SerialNum = serial;
  settings.Increment = true;
  settings.MailerNum = "7100000000000000000000";
  return settings;
}

// The command numbers through the machine's settings file, which holds the
// numbering the test has set up, as if this copy had just written it.
void printBarCodes(SettingsRecord& settings, PageCanvas& canvas) {
  static QTemporaryDir machine;
  setMachineFolderForTests(machine.path().toStdString());
  storeNumbering(settings, settingsFilePath());
  printBarCodesCommand(nullptr, settings, kBaseFont, canvas);
  setMachineFolderForTests("");
}

TF_PrintBarCode& asDialog(QDialog& dialog) {
  return static_cast<TF_PrintBarCode&>(dialog);
}

// Types the label count as a user would: select the field, one digit.
void typeCount(TF_PrintBarCode& dialog, const char* digit) {
  dialog.editNumLabels->lineEdit()->selectAll();
  QTest::keyClicks(dialog.editNumLabels, digit);
}

// What the user does in the dialog; a field left null keeps what it shows.
struct DialogInput {
  const char* custId = nullptr;
  const char* serial = nullptr;
  const char* count = nullptr;     // typed as one digit
  bool cancel = false;             // Cancel rather than OK
  QString* shownSerial = nullptr;  // receives the serial the dialog shows first
};

// The dialog part of a run: note what it shows, enter the input, press the button.
ScriptedUserInteraction::DialogScript fillDialog(DialogInput input) {
  return [=](QDialog& dialog) {
    TF_PrintBarCode& form = asDialog(dialog);
    if (input.shownSerial) *input.shownSerial = form.editSerialNum->maskedText();
    if (input.custId) form.editCustID->setMaskedText(input.custId);
    if (input.serial) form.editSerialNum->setMaskedText(input.serial);
    if (input.count) typeCount(form, input.count);
    QTest::mouseClick(input.cancel ? form.btnCancel : form.btnOK, Qt::LeftButton);
    return dialog.result();
  };
}

QStringList printedNumbers(const RecordingCanvas& canvas) {
  QStringList numbers;
  for (int job = 1; job <= canvas.jobsStarted(); ++job) {
    const auto calls = canvas.drawings(job);
    numbers << (calls.size() > 4 ? calls[4].text : QString());
  }
  return numbers;
}

TEST(PrintBarCodesCommand, RunsConsecutiveLabelsFromTheSerialAfterTheLastUsed) {
  ScriptedUserInteraction user;
  user.answerMessage(Answer::Yes);
  QString shownSerial;
  user.answerDialog(fillDialog({.count = "3", .shownSerial = &shownSerial}));
  SettingsRecord settings = barCodeSettings("9999997");
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});

  printBarCodes(settings, canvas);

  ASSERT_EQ(user.questions().size(), 2u);
  EXPECT_EQ(user.questions()[0].caption, "Kestrel");
  EXPECT_EQ(user.questions()[0].text, kConfirmation);
  EXPECT_EQ(user.questions()[0].icon, UserInteraction::Icon::Question);
  EXPECT_EQ(user.questions()[0].buttons, UserInteraction::Buttons::YesNo);
  EXPECT_EQ(user.questions()[1].caption, "Print Bar Code's");
  EXPECT_EQ(shownSerial, "9999998");
  EXPECT_EQ(printedNumbers(canvas),
            (QStringList{"9214 7123 4567 8999 9999 86", "9214 7123 4567 8999 9999 93",
                         "9214 7123 4567 8900 0000 15"}));
  // The start serial stays; the label count is remembered for this session.
  EXPECT_EQ(settings.SerialNum, "9999998");
  EXPECT_EQ(settings.CustID, "123456789");
  EXPECT_EQ(settings.LabelCount, 3);
}

TEST(PrintBarCodesCommand, NoAndCancelLeaveTheNumberingStateAsItWas) {
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});
  {
    ScriptedUserInteraction user;
    user.answerMessage(Answer::No);
    SettingsRecord settings = barCodeSettings("0000041");
    printBarCodes(settings, canvas);
    EXPECT_EQ(settings.SerialNum, "0000041") << "not even the advance";
    EXPECT_EQ(user.questions().size(), 1u);
  }
  for (bool barcodes : {true, false}) {
    ScriptedUserInteraction user;
    user.answerMessage(Answer::Yes);
    user.answerDialog(fillDialog({.custId = "987654321", .count = "5", .cancel = true}));
    SettingsRecord settings = barCodeSettings("0000041");
    settings.PrintBarCode = barcodes;
    printBarCodes(settings, canvas);
    EXPECT_EQ(settings.SerialNum, "0000041");
    EXPECT_EQ(settings.CustID, "123456789");
    EXPECT_EQ(settings.MailerNum, "7100000000000000000000");
    EXPECT_EQ(settings.LabelCount, 0);
  }
  EXPECT_EQ(canvas.jobsStarted(), 0);
}

TEST(PrintBarCodesCommand, NoBarCodeModeStillPrintsBarCodesAndStepsTheMailerNumber) {
  ScriptedUserInteraction user;
  user.answerMessage(Answer::Yes);
  QString shownSerial;
  user.answerDialog(fillDialog({.count = "1", .shownSerial = &shownSerial}));
  SettingsRecord settings = barCodeSettings("0000041");
  settings.PrintBarCode = false;
  settings.CustID = "000000000";  // no check in this mode
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});

  printBarCodes(settings, canvas);

  EXPECT_EQ(shownSerial, "0000041");
  EXPECT_EQ(settings.SerialNum, "0000041");
  EXPECT_NE(settings.MailerNum, "7100000000000000000000");
  NumberingState stepped = barCodeSettings("0000041");
  stepped.PrintBarCode = false;
  AdvanceMailerNumber(stepped);
  EXPECT_EQ(settings.MailerNum, stepped.MailerNum);
  ASSERT_EQ(canvas.jobsEnded(), 1);
  EXPECT_EQ(canvas.drawings().size(), 12u) << "the bar-code group, nothing else";
}

TEST(PrintBarCodesCommand, ZeroCustomerIdIsRefusedInBarCodeMode) {
  ScriptedUserInteraction user;
  user.answerMessage(Answer::Yes);
  user.answerDialog(fillDialog({.custId = "000000000"}));
  user.answerMessage(Answer::Ok);
  SettingsRecord settings = barCodeSettings("0000041");
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});

  printBarCodes(settings, canvas);

  ASSERT_EQ(user.questions().size(), 3u);
  EXPECT_EQ(user.questions()[2].text,
            "You can not print a Mailer with \"000000000\" as a Customer ID. Enter a Customer ID. "
            "and try again.");
  EXPECT_EQ(user.questions()[2].icon, UserInteraction::Icon::Error);
  EXPECT_EQ(canvas.jobsStarted(), 0);
  EXPECT_EQ(settings.CustID, "000000000") << "the dialog's values stay";
  EXPECT_EQ(settings.SerialNum, "0000042");
}

TEST(PrintBarCodesCommand, APrinterFailureTellsHowFarTheRunGot) {
  ScriptedUserInteraction user;
  user.answerMessage(Answer::Yes);
  user.answerDialog(fillDialog({.count = "4"}));
  user.answerMessage(Answer::Ok);
  SettingsRecord settings = barCodeSettings("0000041");
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});
  canvas.failEndOfJob(3);

  printBarCodes(settings, canvas);

  ASSERT_EQ(user.questions().size(), 3u);
  EXPECT_EQ(user.questions()[2].icon, UserInteraction::Icon::Error);
  EXPECT_EQ(user.questions()[2].text,
            "Printing the bar codes stopped: 2 of 4 labels were printed. The run stopped at "
            "serial number 0000044.\n\nThe recording printer failed.");
  EXPECT_EQ(settings.SerialNum, "0000042");
}

TEST(PrintBarCodesCommand, ASerialThatCannotBeCountedOnIsReportedAfterTheFirstLabel) {
  ScriptedUserInteraction user;
  user.answerMessage(Answer::Yes);
  user.answerDialog(fillDialog({.serial = "12", .count = "2"}));
  user.answerMessage(Answer::Ok);
  SettingsRecord settings = barCodeSettings("0000041");
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});

  printBarCodes(settings, canvas);

  EXPECT_EQ(canvas.jobsEnded(), 1);
  ASSERT_EQ(user.questions().size(), 3u);
  EXPECT_TRUE(user.questions()[2].text.startsWith(
      "Printing the bar codes stopped: 1 of 2 labels were printed. The run stopped at serial "
      "number 12     ."))
      << user.questions()[2].text.toStdString();
}

TEST(PrintBarCodeDialog, HelpPanelCountFieldAndEscape) {
  SettingsRecord settings = barCodeSettings("0000041");
  TF_PrintBarCode dialog(settings);
  dialog.show();
  QApplication::processEvents();
  EXPECT_EQ(dialog.editCustID->maskedText(), "123456789");
  EXPECT_EQ(dialog.focusWidget(), dialog.editSerialNum);
  EXPECT_FALSE(dialog.panelBarCode->isVisible());

  QTest::mouseClick(dialog.btnHelp, Qt::LeftButton);
  EXPECT_EQ(dialog.height(), 383);
  EXPECT_TRUE(dialog.panelBarCode->isVisible());
  EXPECT_FALSE(dialog.btnHelp->isEnabled());
  QStringList help;
  for (const QLabel* label : dialog.panelBarCode->findChildren<QLabel*>()) help << label->text();
  EXPECT_EQ(help.first(), "Customer ID:");
  EXPECT_TRUE(
      help.contains("number) from your postal representative or by contacting Dun & Bradstreet"));
  EXPECT_TRUE(help.contains("You will self-assign an eight-digit Identifier"));

  // Arrows run to 1000; typing takes one character only.
  dialog.editNumLabels->setValue(999);
  dialog.editNumLabels->stepUp();
  dialog.editNumLabels->stepUp();
  EXPECT_EQ(dialog.editNumLabels->value(), 1000);
  typeCount(dialog, "7");
  QTest::keyClicks(dialog.editNumLabels, "5");
  EXPECT_EQ(dialog.editNumLabels->value(), 7);

  // An emptied count cannot be taken.
  dialog.editNumLabels->lineEdit()->selectAll();
  QTest::keyClick(dialog.editNumLabels, Qt::Key_Backspace);
  EXPECT_FALSE(dialog.btnOK->isEnabled());
  QTest::keyClicks(dialog.editNumLabels, "2");
  EXPECT_TRUE(dialog.btnOK->isEnabled());

  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(settings.LabelCount, 0);
}

}  // namespace
}  // namespace kestrel
