#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "ScriptedUserInteraction.h"
#include "core/Settings.h"
#include "dialogs/U_YourAddress.h"
#include "platform/DisplayedLines.h"
#include "platform/MaskedEdit.h"

namespace kestrel {
namespace {

class YourAddressTest : public ::testing::Test {
 protected:
  YourAddressTest() { Settings() = SettingsRecord{}; }
  ~YourAddressTest() override { Settings() = SettingsRecord{}; }

  template <typename T>
  static T* control(const QDialog& dialog, const char* name) {
    T* found = dialog.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static QStringList memoLines(const QDialog& dialog) {
    QStringList lines;
    for (const auto& line : displayedLines(*control<QPlainTextEdit>(dialog, "memoYourAddress"))) {
      lines << line.text;
    }
    return lines;
  }
};

TEST_F(YourAddressTest, TheFieldsUseTheDialogsFontAndOnlyTheCaptionIsBold) {
  TF_YourAddress dialog;
  dialog.show();
  const QFontInfo dialogFont(dialog.font());
  for (const char* name : {"memoYourAddress", "editYourCity", "editYourState", "editYourZip"}) {
    SCOPED_TRACE(name);
    const QFontInfo field(control<QWidget>(dialog, name)->font());
    EXPECT_EQ(field.family(), dialogFont.family());
    EXPECT_EQ(field.pixelSize(), dialogFont.pixelSize());
    EXPECT_FALSE(field.bold());
  }
  EXPECT_TRUE(control<QGroupBox>(dialog, "GroupBox4")->font().bold());
}

TEST_F(YourAddressTest, StoredLinesCloseUpAndComeBackWithoutTheGap) {
  Settings().Line1 = "Ann Example";
  Settings().Line3 = "12 Elm Street";
  Settings().Line4 = "Apt 4";
  Settings().City = "Springfield";
  Settings().State = "IL";
  Settings().Zip = "62701";
  TF_YourAddress dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Your Name and Address");
  EXPECT_EQ(dialog.size(), QSize(303, 181));
  EXPECT_EQ(memoLines(dialog), (QStringList{"Ann Example", "12 Elm Street", "Apt 4"}));
  EXPECT_EQ(control<QLineEdit>(dialog, "editYourCity")->text(), "Springfield");
  EXPECT_EQ(control<MaskedEdit>(dialog, "editYourZip")->maskedText(), "62701-    ");

  QTest::mouseClick(control<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Settings().Line1, "Ann Example");
  EXPECT_EQ(Settings().Line2, "12 Elm Street");
  EXPECT_EQ(Settings().Line3, "Apt 4");
  EXPECT_EQ(Settings().Line4, "");
  EXPECT_EQ(Settings().Zip, "62701");
}

TEST_F(YourAddressTest, TypedFieldsAreStoredUntrimmedWithTheZipTidied) {
  test::ScriptedUserInteraction user;
  user.answerDialog([](QDialog& dialog) {
    auto* memo = dialog.findChild<QPlainTextEdit*>("memoYourAddress");
    memo->setFocus();
    QTest::keyClicks(memo, "B");
    // QTest's own key names are ASCII only: the accented letter goes in as text.
    QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, QString(QChar(0xE9)), Qt::NoModifier);
    QTest::keyClicks(memo, "la Sender");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "1 Main St");
    QTest::keyClicks(dialog.findChild<QLineEdit*>("editYourCity"), " Dover ");
    QTest::keyClicks(dialog.findChild<QLineEdit*>("editYourState"), "DELAWARE");
    auto* zip = dialog.findChild<MaskedEdit*>("editYourZip");
    zip->setFocus();
    zip->setCursorPosition(0);
    QTest::keyClicks(zip, "199011234");
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    return dialog.result();
  });
  TF_YourAddress dialog;
  EXPECT_EQ(ui().execDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(Settings().Line1, "B\xE9la Sender");  // Windows-1252 inside
  EXPECT_EQ(Settings().Line2, "1 Main St");
  EXPECT_EQ(Settings().City, " Dover ");
  EXPECT_EQ(Settings().State, "DELA");  // at most four characters
  EXPECT_EQ(Settings().Zip, "19901-1234");
}

TEST_F(YourAddressTest, AllFieldsEmptyStoreEmptyTexts) {
  Settings().Line1 = "Old";
  Settings().Zip = "62701-1234";
  TF_YourAddress dialog;
  dialog.show();
  control<QPlainTextEdit>(dialog, "memoYourAddress")->clear();
  control<MaskedEdit>(dialog, "editYourZip")->clear();
  QTest::mouseClick(control<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(Settings().Line1, "");
  EXPECT_EQ(Settings().Zip, "");
}

TEST_F(YourAddressTest, AFifthLineDisappearsAtOnce) {
  Settings().Line1 = "One";
  Settings().Line2 = "Two";
  Settings().Line3 = "Three";
  Settings().Line4 = "Four";
  TF_YourAddress dialog;
  dialog.show();
  auto* memo = control<QPlainTextEdit>(dialog, "memoYourAddress");
  memo->setFocus();
  memo->moveCursor(QTextCursor::End);
  QTest::keyClick(memo, Qt::Key_Return);
  EXPECT_EQ(memoLines(dialog), (QStringList{"One", "Two", "Three", "Four"}));
  // All four lines stay in view: nothing is left scrolled above the first.
  EXPECT_EQ(memo->verticalScrollBar()->value(), 0);
  EXPECT_LE(memo->cursorRect().bottom(), memo->viewport()->height());
  // The caret is back at the end of the fourth line, so typing goes on there.
  QTest::keyClicks(memo, "Five");
  EXPECT_EQ(memoLines(dialog), (QStringList{"One", "Two", "Three", "FourFive"}));
  // A long fourth line that wraps pushes its wrapped part out as well.
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, QString(" more").repeated(40));
  EXPECT_EQ(memoLines(dialog).size(), 4);
  EXPECT_LT(memo->toPlainText().size(), QString("One\nTwo\nThree\nFourFive").size() + 5 * 40);
  EXPECT_EQ(memoLines(dialog).mid(0, 3), (QStringList{"One", "Two", "Three"}));
}

TEST_F(YourAddressTest, CancelEscapeAndTheCloseBoxLeaveSettingsAlone) {
  Settings().Line1 = "Kept";
  for (int way = 0; way < 3; ++way) {
    TF_YourAddress dialog;
    dialog.show();
    auto* city = control<QLineEdit>(dialog, "editYourCity");
    QTest::keyClicks(city, "Changed");
    if (way == 0) QTest::mouseClick(control<QPushButton>(dialog, "btnCancel"), Qt::LeftButton);
    if (way == 1) QTest::keyClick(city, Qt::Key_Escape);
    if (way == 2) dialog.close();
    EXPECT_FALSE(dialog.isVisible()) << way;
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << way;
    EXPECT_EQ(Settings().City, "") << way;
    EXPECT_EQ(Settings().Line1, "Kept") << way;
  }
}

}  // namespace
}  // namespace kestrel
