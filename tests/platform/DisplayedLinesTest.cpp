#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/DisplayedLines.h"
#include "platform/KeyPreview.h"
#include "platform/MemoEdit.h"

namespace kestrel {
namespace {

class DisplayedLinesTest : public ::testing::Test {
 protected:
  DisplayedLinesTest() {
    m_memo.setGeometry(0, 0, 264, 60);
    m_memo.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  QStringList texts() const {
    QStringList result;
    for (const auto& line : displayedLines(m_memo)) result << line.text;
    return result;
  }
  QPlainTextEdit m_memo;
};

TEST_F(DisplayedLinesTest, ParagraphsAndWrappedPartsCountAsDisplayed) {
  EXPECT_TRUE(displayedLines(m_memo).isEmpty());
  m_memo.setPlainText("One\n\nThree");
  EXPECT_EQ(texts(), (QStringList{"One", "", "Three"}));
  const QString longLine = QString("word ").repeated(30).trimmed();
  m_memo.setPlainText(longLine);
  const auto lines = displayedLines(m_memo);
  ASSERT_GT(lines.size(), 1);
  EXPECT_EQ(texts().join(""), longLine);  // wrapped at word boundaries, nothing lost
  EXPECT_EQ(displayedLine(m_memo, 99), "");

  // The widget's own layout agrees once it is shown.
  m_memo.show();
  QApplication::processEvents();
  EXPECT_EQ(m_memo.document()->firstBlock().layout()->lineCount(), lines.size());
}

TEST_F(DisplayedLinesTest, DeletingALineLeavesNoGap) {
  m_memo.setPlainText("a\nb\nc\nd\ne");
  deleteDisplayedLine(m_memo, 4);
  EXPECT_EQ(m_memo.toPlainText(), "a\nb\nc\nd");
  deleteDisplayedLine(m_memo, 1);
  EXPECT_EQ(m_memo.toPlainText(), "a\nc\nd");
  m_memo.setPlainText("1\n2\n3\n4\n5\n6\n7");
  limitDisplayedLines(m_memo, 4);
  EXPECT_EQ(m_memo.toPlainText(), "1\n2\n3\n4");
}

// The first lines of long paragraphs, found from a part of the text only, are
// the lines the edit's own layout gives the whole text; cutting to them keeps
// exactly their text.
TEST_F(DisplayedLinesTest, FirstLinesOfLongTextsMatchTheWholeLayoutAndCutInOneStep) {
  QString words;
  for (int i = 0; words.size() < 20000; ++i) words += QString("w%1 ").arg(i * 7 % 1000);
  QString mixed;  // long and short words, tabs and runs of blanks
  for (int i = 0; mixed.size() < 20000; ++i)
    mixed += QString(i % 13 + 1, QChar('a' + i % 26)) + (i % 5 == 0 ? "\t" : i % 7 ? " " : "   ");
  const QString cases[] = {words,
                           QString(20000, 'x'),
                           mixed,
                           "short\n" + words,
                           "a\nb\n" + words + "\nlast",
                           "1\n2\n3\n4\n5\n6"};
  m_memo.resize(264, 3000);  // tall, so that the widget lays out every paragraph used
  m_memo.show();
  for (const QString& text : cases) {
    m_memo.setPlainText(text);
    QApplication::processEvents();
    // The oracle: the widget's layout of every paragraph, whole.
    QStringList expected;
    int endOfFourth = 0;
    for (QTextBlock block = m_memo.document()->begin(); block.isValid() && expected.size() < 5;
         block = block.next()) {
      const QTextLayout* layout = block.layout();
      for (int i = 0; i < layout->lineCount() && expected.size() < 5; ++i) {
        const QTextLine line = layout->lineAt(i);
        expected << block.text().mid(line.textStart(), line.textLength());
        if (expected.size() == 4)
          endOfFourth = block.position() + line.textStart() + line.textLength();
      }
    }
    ASSERT_EQ(expected.size(), 5) << text.left(40).toStdString();
    QStringList found;
    for (const auto& line : displayedLines(m_memo, 5)) found << line.text;
    EXPECT_EQ(found, expected) << text.left(40).toStdString();

    EXPECT_TRUE(limitDisplayedLines(m_memo, 4));
    EXPECT_EQ(m_memo.toPlainText(), text.left(endOfFourth)) << text.left(40).toStdString();
    EXPECT_EQ(texts(), expected.mid(0, 4));
    EXPECT_FALSE(limitDisplayedLines(m_memo, 4));  // nothing more to cut
  }
}

// A paste into a memo that keeps four lines ends as the whole text pasted at
// once and then cut would, however long the text. Every handler of a change
// sees the text cut already, and the cut is no change of its own.
TEST(MemoEdit, PasteEndsAsTheWholeTextCutToItsLines) {
  QString lines;
  for (int i = 0; lines.size() < 300000; ++i)
    lines += QString("w%1").arg(i % 997) + (i % 10 == 9 ? "\n" : " ");
  QString paragraph = lines;
  paragraph.replace('\n', ' ');
  QString windowsLines = lines;
  windowsLines.replace("\n", "\r\n");
  struct Case {
    QString before;  // in the memo, the cursor after the first character
    QString pasted;
  };
  const Case cases[] = {
      {"", lines},        {"", paragraph},     {"", windowsLines},       {"ab", paragraph},
      {"a\nb\nc", lines}, {"", "short\ntext"}, {"", QString(20000, 'x')}};
  for (const Case& c : cases) {
    MemoEdit memo;
    memo.setGeometry(0, 0, 264, 60);
    memo.setMaxDisplayedLines(4);
    QObject::connect(&memo, &MemoEdit::linesChanged,
                     [&memo] { EXPECT_LE(displayedLines(memo, 5).size(), 4); });
    memo.setPlainText(c.before);
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(c.before.isEmpty() ? 0 : 1);
    memo.setTextCursor(cursor);
    QApplication::clipboard()->setText(c.pasted);
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);

    // The oracle: the whole text inserted in one step, then cut.
    QPlainTextEdit whole;
    whole.setGeometry(0, 0, 264, 60);
    whole.setPlainText(c.before);
    QTextCursor wholeCursor = whole.textCursor();
    wholeCursor.setPosition(c.before.isEmpty() ? 0 : 1);
    wholeCursor.insertText(c.pasted);
    limitDisplayedLines(whole, 4);
    EXPECT_EQ(memo.toPlainText(), whole.toPlainText()) << c.pasted.left(30).toStdString();
  }

  MemoEdit memo;
  memo.setGeometry(0, 0, 264, 60);
  memo.setMaxDisplayedLines(4);
  int changes = 0;
  QObject::connect(&memo, &MemoEdit::linesChanged, [&changes] { ++changes; });
  memo.setPlainText("1\n2\n3\n4\n5\n6");
  EXPECT_EQ(memo.toPlainText(), "1\n2\n3\n4");
  EXPECT_EQ(changes, 1);
}

TEST(KeyPreview, TheWindowSeesKeysBeforeItsControls) {
  QWidget window;
  auto* edit = new QPlainTextEdit(&window);
  QStringList seen;
  KeyPreview preview(window, [&](QKeyEvent& event) {
    seen << event.text();
    return event.key() == Qt::Key_X;  // swallowed
  });
  QTest::keyClicks(edit, "axb");
  EXPECT_EQ(seen, (QStringList{"a", "x", "b"}));
  EXPECT_EQ(edit->toPlainText(), "ab");
  QWidget other;
  QTest::keyClick(&other, Qt::Key_C);
  EXPECT_EQ(seen.size(), 3);
}

TEST_F(DisplayedLinesTest, ReplacingALineKeepsItsBreakAndMayAddLines) {
  replaceDisplayedLine(m_memo, 0, " ");  // an empty edit still has its first line
  EXPECT_EQ(m_memo.toPlainText(), " ");
  replaceDisplayedLine(m_memo, 0, "Bob\n");
  replaceDisplayedLine(m_memo, 1, "Main St\n");
  EXPECT_EQ(m_memo.toPlainText(), "Bob\nMain St\n");
  replaceDisplayedLine(m_memo, 5, "beyond");  // no such line: nothing changes
  EXPECT_EQ(m_memo.toPlainText(), "Bob\nMain St\n");

  // The wrapped part of a long line is a line of its own; the rest of the
  // paragraph stays and flows on.
  QString longLine;
  for (int i = 0; i < 30; ++i) longLine += QString("w%1 ").arg(i);
  m_memo.setPlainText(longLine + "\nlast");
  QStringList parts = texts();
  ASSERT_GT(parts.size(), 3);
  parts[1] = "X";
  replaceDisplayedLine(m_memo, 1, "X");
  EXPECT_EQ(m_memo.toPlainText(), parts.mid(0, parts.size() - 1).join("") + "\nlast");
}

}  // namespace
}  // namespace kestrel
