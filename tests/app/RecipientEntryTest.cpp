// The recipient fields of the main window: Paste from the clipboard, Clear,
// the four-line memo (typed, wrapped and set by the program), the memo's
// leave rule and the masked ZIP Code field.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/U_Main.h"
#include "platform/DisplayedLines.h"
#include "platform/MaskedEdit.h"

namespace kestrel {
namespace {

using test::kQuietStart;

class RecipientEntryTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    writeIni(kQuietStart);
    start();
    activate();
  }

  QPlainTextEdit* memo() { return find<QPlainTextEdit>("memoAddress"); }
  QString city() { return find<QLineEdit>("editCity")->text(); }
  QString state() { return find<QLineEdit>("editState")->text(); }
  QString zip() { return find<MaskedEdit>("editZip")->maskedText(); }
  int memoLines() { return static_cast<int>(displayedLines(*memo()).size()); }

  // Some recipient in the fields, so that a paste or clear visibly replaces it.
  void typeRecipient() {
    memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(memo(), "Old Name");
    test::retype(find<QWidget>("editCity"), "Oldtown");
    test::retype(find<QWidget>("editState"), "OK");
  }

  void paste(const QString& clipboard) {
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::mouseClick(find<QPushButton>("btnPaste"), Qt::LeftButton);
  }

  void expectCleared() {
    EXPECT_EQ(memo()->toPlainText(), " ");
    EXPECT_EQ(city(), "");
    EXPECT_EQ(state(), "");
    EXPECT_EQ(zip(), "     -    ");
  }
};

TEST_F(RecipientEntryTest, PasteFillsTheMemoCityStateAndZip) {
  struct Case {
    QString clipboard;
    QString memo;
    QString city, state, zip;
  };
  const Case cases[] = {
      {"Bob Sample\r\n12 Main St\r\nSpringfield, IL 62701-1234", "Bob Sample\n12 Main St\n",
       "Springfield", "IL", "62701-1234"},
      {"Bob Sample\n\r12 Main St\n\rSpringfield, IL 62701\n\r", "Bob Sample\n12 Main St\n",
       "Springfield", "IL", "62701-    "},
      // Six lines: four fill the memo, the fifth is dropped, the sixth is the city line.
      {"L1\r\nL2\r\nL3\r\nL4\r\nL5\r\nDover, DE 19901\r\n", "L1\nL2\nL3\nL4", "Dover", "DE",
       "19901-    "},
      // A trailing empty line is the city line: the real one lands in the memo.
      {"Bob\r\nSpringfield, IL 62701\r\n\r\n", "Bob\nSpringfield, IL 62701\n", "", "",
       "     -    "},
      // The hyphen of the city name is not the ZIP Code's.
      {"Ann\r\nWilkes-Barre, PA 18701", "Ann\n", "Wilkes-Barre", "PA", "18701-    "},
      // Blanks after the ZIP Code stay out of it.
      {"Ann\r\nSpringfield, IL 62701   ", "Ann\n", "Springfield", "IL", "62701-    "},
      // Lines copied on Linux end in a bare line feed.
      {"Bob Sample\n12 Main St\nSpringfield, IL 62701\n", "Bob Sample\n12 Main St\n", "Springfield",
       "IL", "62701-    "},
      // A single line is the city line alone.
      {"Dover DE 19901", " ", "Dover", "DE", "19901-    "},
  };
  for (const Case& c : cases) {
    typeRecipient();
    paste(c.clipboard);
    EXPECT_EQ(memo()->toPlainText(), c.memo) << c.clipboard.toStdString();
    EXPECT_EQ(city(), c.city) << c.clipboard.toStdString();
    EXPECT_EQ(state(), c.state) << c.clipboard.toStdString();
    EXPECT_EQ(zip(), c.zip) << c.clipboard.toStdString();
  }
  EXPECT_TRUE(m_user.questions().empty());
}

TEST_F(RecipientEntryTest, EmptyClipboardOrALoneBreakLeavesTheRecipientCleared) {
  for (const QString& clipboard : {QString(), QStringLiteral("\r"), QStringLiteral("\n")}) {
    typeRecipient();
    paste(clipboard);
    expectCleared();
  }
  EXPECT_TRUE(m_user.questions().empty());
}

TEST_F(RecipientEntryTest, BinaryAndHugeClipboardTextsKeepTheRecipientConsistent) {
  QString binary;
  for (int i = 0; i < 4096; ++i) binary += QChar(static_cast<char16_t>((i * 7919) % 0xD7FF));
  binary += QStringLiteral("\r\n");
  binary += QString(QChar(0));
  binary += QString::fromUtf8("\xF0\x9F\x98\x80 end");

  QString huge;
  for (int i = 0; i < 2000; ++i) huge += QString(1000, QLatin1Char('x')) + QStringLiteral("\r\n");

  for (const QString& clipboard : {binary, huge}) {
    typeRecipient();
    paste(clipboard);
    EXPECT_LE(memoLines(), 4);
    EXPECT_LE(city().size(), 35);
    EXPECT_LE(state().size(), 2);
    EXPECT_EQ(zip().size(), 10);
  }
  // The window still works afterwards.
  paste(QStringLiteral("Bob\r\nDover, DE 19901"));
  EXPECT_EQ(memo()->toPlainText(), "Bob\n");
  EXPECT_EQ(city(), "Dover");
}

TEST_F(RecipientEntryTest, ClearEmptiesTheRecipient) {
  typeRecipient();
  test::retype(find<QWidget>("editZip"), "627011234");
  EXPECT_EQ(zip(), "62701-1234");
  QTest::mouseClick(find<QPushButton>("btnClear"), Qt::LeftButton);
  expectCleared();
}

TEST_F(RecipientEntryTest, MemoNeverKeepsAFifthLine) {
  // Typed: Enter at the end of the fourth line makes a fifth line, which goes
  // at once.
  memo()->setFocus(Qt::MouseFocusReason);
  for (const char* line : {"a", "b", "c", "d"}) {
    QTest::keyClicks(memo(), line);
    QTest::keyClick(memo(), Qt::Key_Return);
  }
  EXPECT_EQ(memoLines(), 4);
  EXPECT_EQ(memo()->toPlainText(), "a\nb\nc\nd");

  // Wrapped: what a long fourth line pushes into a fifth is deleted with its text.
  memo()->clear();
  for (const char* line : {"a", "b", "c"}) {
    QTest::keyClicks(memo(), line);
    QTest::keyClick(memo(), Qt::Key_Return);
  }
  const QString typed = QStringLiteral("word ").repeated(40);
  QTest::keyClicks(memo(), typed);
  EXPECT_EQ(memoLines(), 4);
  const QStringList paragraphs = memo()->toPlainText().split('\n');
  ASSERT_EQ(paragraphs.size(), 4);
  // Each word that wraps goes with the line it wrapped into; the characters
  // typed after it land on the fourth line again while they fit.
  EXPECT_TRUE(paragraphs[3].startsWith(QStringLiteral("word word ")))
      << paragraphs[3].toStdString();
  EXPECT_LT(paragraphs[3].count(QStringLiteral("word")), 40);

  // Set by the program.
  memo()->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6"));
  EXPECT_EQ(memo()->toPlainText(), "1\n2\n3\n4");
}

TEST_F(RecipientEntryTest, LeavingAMemoThatHoldsTextShowsTheEditedState) {
  TF_Main& window = *m_window;
  auto* memoField = memo();
  // An empty memo: leaving it changes nothing.
  memoField->setFocus(Qt::MouseFocusReason);
  window.ShowPrintedState();
  QTest::keyClick(memoField, Qt::Key_Tab);
  EXPECT_TRUE(window.printedState());

  memoField->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(memoField, "Bob");
  window.ShowPrintedState();
  QTest::keyClick(memoField, Qt::Key_Tab);
  EXPECT_FALSE(window.printedState());
  EXPECT_EQ(memoField->toPlainText(), "Bob");
  EXPECT_EQ(window.focusWidget(), find<QWidget>("editCity"));

  // Paste and Clear are changes too.
  window.ShowPrintedState();
  QTest::mouseClick(find<QPushButton>("btnClear"), Qt::LeftButton);
  EXPECT_FALSE(window.printedState());
}

}  // namespace
}  // namespace kestrel
