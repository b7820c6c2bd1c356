// The "&Options" commands that open a dialog from the main window: the mailer
// number command with its advance and step back, and the two print-option
// dialogs, whose changes reach the settings file when the program closes.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/U_Main.h"
#include "platform/ApplicationTitle.h"
#include "platform/MaskedEdit.h"
#include "core/Settings.h"

namespace kestrel {
namespace {

using test::kQuietStart;
using Kind = test::ScriptedUserInteraction::Kind;

template <typename T>
T* child(QDialog& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

int pressOk(QDialog& dialog) {
  QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  return dialog.result();
}

class OptionsCommandsTest : public test::MainWindowFixture {
 protected:
  TF_Main& startWith(const QByteArray& values) {
    writeIni(QByteArray(kQuietStart) + values);
    return start();
  }
};

TEST_F(OptionsCommandsTest, MailerNumberShowsTheNextSerialAndOkKeepsTheStoredOne) {
  TF_Main& window =
      startWith("[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\nSerialNum=0000041\r\n");
  QString shown;
  m_user.answerDialog([&](QDialog& dialog) {
    shown = child<MaskedEdit>(dialog, "editSerialNum")->maskedText();
    return pressOk(dialog);
  });
  window.MailerNumber1->trigger();
  EXPECT_EQ(shown, "0000042");
  EXPECT_EQ(Settings().SerialNum, "0000041");
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_EQ(m_user.questions()[0].text, "TF_Mailer");
}

TEST_F(OptionsCommandsTest, MailerNumberCancelledRestoresTheNumberWithoutHyphens) {
  TF_Main& window =
      startWith("[Values]\r\nPrintBarCode=1\r\nCustID=12-345-6789\r\nSerialNum=0000041\r\n");
  m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
  window.MailerNumber1->trigger();
  EXPECT_EQ(Settings().CustID, "123456789");
  EXPECT_EQ(Settings().SerialNum, "0000041");
}

TEST_F(OptionsCommandsTest, UnreadableSerialReachesTheGeneralErrorDisplay) {
  TF_Main& window = startWith("[Values]\r\nPrintBarCode=1\r\nSerialNum=41x\r\n");
  m_user.answerMessage(UserInteraction::Answer::Ok);
  window.MailerNumber1->trigger();
  ASSERT_EQ(m_user.questions().size(), 1u);
  const auto& error = m_user.questions()[0];
  EXPECT_EQ(error.kind, Kind::Message);
  EXPECT_EQ(error.caption, QLatin1String(kApplicationTitle));
  EXPECT_EQ(error.icon, UserInteraction::Icon::Error);
  EXPECT_EQ(error.text, "'41x' is not a valid integer value");
  EXPECT_EQ(Settings().SerialNum, "41x");
  EXPECT_TRUE(window.isVisible());  // the program keeps running
}

TEST_F(OptionsCommandsTest, PrintBarCodesAsksFirstAndACancelledDialogRestoresTheSerial) {
  TF_Main& window =
      startWith("[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\nSerialNum=0000041\r\n");
  m_user.answerMessage(UserInteraction::Answer::Yes);
  QString dialogName;
  m_user.answerDialog([&](QDialog& dialog) {
    dialogName = dialog.objectName();
    EXPECT_EQ(Settings().SerialNum, "0000042");  // the dialog starts at the next number
    return int(QDialog::Rejected);
  });
  window.MIPrintBarCodes->trigger();
  ASSERT_EQ(m_user.questions().size(), 2u);
  EXPECT_EQ(m_user.questions()[0].icon, UserInteraction::Icon::Question);
  EXPECT_EQ(dialogName, "TF_PrintBarCode");
  EXPECT_EQ(Settings().SerialNum, "0000041");
}

TEST_F(OptionsCommandsTest, PrintOptionDialogsChangeTheSettingsThatReachTheFile) {
  TF_Main& window = startWith("[Print Align]\r\nLeftRight=1500\r\n");

  // Cancel changes nothing.
  m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
  window.MIPrinterAlignment->trigger();
  EXPECT_EQ(Settings().LeftRight, 1500);

  int shownLeftRight = 0;
  m_user.answerDialog([&](QDialog& dialog) {
    auto* leftRight = child<QSpinBox>(dialog, "spinLeftRight");
    shownLeftRight = leftRight->value();
    auto* upDown = child<QSpinBox>(dialog, "SpinUpDown");
    QLineEdit* typed = upDown->findChild<QLineEdit*>();
    typed->setFocus();
    typed->selectAll();
    QTest::keyClicks(typed, "-12");
    return pressOk(dialog);
  });
  window.MIPrinterAlignment->trigger();
  EXPECT_EQ(shownLeftRight, 999);  // a stored value beyond the range shows as its limit
  EXPECT_EQ(Settings().LeftRight, 999);
  EXPECT_EQ(Settings().TopBottom, -12);

  m_user.answerDialog([](QDialog& dialog) {
    auto* no = child<QRadioButton>(dialog, "rbNo");
    QTest::mouseClick(no, Qt::LeftButton, {}, QPoint(6, no->height() / 2));
    return pressOk(dialog);
  });
  window.MIExtraLabel->trigger();
  EXPECT_EQ(Settings().PrintExtraLabel, "No");

  ASSERT_EQ(m_user.questions().size(), 3u);
  EXPECT_EQ(m_user.questions()[0].text, "TF_Align");
  EXPECT_EQ(m_user.questions()[2].text, "TF_ExtraLabel");

  window.close();
  const QByteArray ini = readIni();
  EXPECT_TRUE(ini.contains("[Printing]\r\nPrintExtraLabel=No\r\nExtraLabel=Addressed To\r\n"))
      << ini.toStdString();
  EXPECT_TRUE(ini.contains("LeftRight=999\r\nTopBottom=-12\r\n")) << ini.toStdString();
}

}  // namespace
}  // namespace kestrel
