#include "platform/MemoLines.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace kestrel {
namespace {

// The width QPlainTextEdit lays its blocks out in: the viewport less the
// document margin on both sides. The viewport fills the contents rectangle
// because the memos have no scroll bars showing.
qreal layoutWidth(const QPlainTextEdit& memo) {
  const qreal width = memo.contentsRect().width() - 2 * memo.document()->documentMargin();
  return width > 1 ? width : 1;
}

}  // namespace

QList<DisplayedLine> displayedLines(const QPlainTextEdit& memo) {
  QList<DisplayedLine> lines;
  const QTextDocument& document = *memo.document();
  const qreal width = layoutWidth(memo);
  QTextOption option = document.defaultTextOption();
  option.setWrapMode(memo.wordWrapMode());
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    QTextLayout layout(text, memo.font());
    layout.setTextOption(option);
    layout.beginLayout();
    int count = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      lines.append({block.position() + line.textStart(), line.textLength(),
                    text.mid(line.textStart(), line.textLength())});
      ++count;
    }
    layout.endLayout();
    if (count == 0) lines.append({block.position(), 0, QString()});  // an empty paragraph
  }
  // The document of an empty edit still has one empty block: that is no line.
  if (lines.size() == 1 && document.isEmpty()) lines.clear();
  return lines;
}

QString displayedLine(const QPlainTextEdit& memo, int index) {
  const QList<DisplayedLine> lines = displayedLines(memo);
  return index >= 0 && index < lines.size() ? lines[index].text : QString();
}

void deleteDisplayedLine(QPlainTextEdit& memo, int index) {
  const QList<DisplayedLine> lines = displayedLines(memo);
  if (index < 0 || index >= lines.size()) return;
  int from = lines[index].start;
  int to;
  if (index + 1 < lines.size()) {
    to = lines[index + 1].start;  // through the break, if any, before the next line
  } else {
    to = from + lines[index].length;
    if (index > 0) from = lines[index - 1].start + lines[index - 1].length;  // the break before it
  }
  QTextCursor cursor(memo.document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
}

void replaceDisplayedLine(QPlainTextEdit& memo, int index, const QString& text) {
  const QList<DisplayedLine> lines = displayedLines(memo);
  int from = 0;
  int to = 0;
  if (index >= 0 && index < lines.size()) {
    from = lines[index].start;
    to = from + lines[index].length;
  } else if (index != 0 || !lines.isEmpty()) {
    return;
  }
  QTextCursor cursor(memo.document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  cursor.insertText(text);
}

void limitDisplayedLines(QPlainTextEdit& memo, int maxLines) {
  while (displayedLines(memo).size() > maxLines) deleteDisplayedLine(memo, maxLines);
}

}  // namespace kestrel
