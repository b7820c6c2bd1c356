#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/KeyPreview.h"
#include "platform/MemoLines.h"

namespace kestrel {
namespace {

class MemoLinesTest : public ::testing::Test {
 protected:
  MemoLinesTest() {
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

TEST_F(MemoLinesTest, ParagraphsAndWrappedPartsCountAsDisplayed) {
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

TEST_F(MemoLinesTest, DeletingALineLeavesNoGap) {
  m_memo.setPlainText("a\nb\nc\nd\ne");
  deleteDisplayedLine(m_memo, 4);
  EXPECT_EQ(m_memo.toPlainText(), "a\nb\nc\nd");
  deleteDisplayedLine(m_memo, 1);
  EXPECT_EQ(m_memo.toPlainText(), "a\nc\nd");
  m_memo.setPlainText("1\n2\n3\n4\n5\n6\n7");
  limitDisplayedLines(m_memo, 4);
  EXPECT_EQ(m_memo.toPlainText(), "1\n2\n3\n4");
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

TEST_F(MemoLinesTest, ReplacingALineKeepsItsBreakAndMayAddLines) {
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
