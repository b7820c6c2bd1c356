#include "platform/DisplayedLines.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace kestrel {
namespace {

// The width QPlainTextEdit lays its blocks out in: the viewport less the
// document margin on both sides. The viewport fills the contents rectangle
// because the memos have no scroll bars showing.
qreal layoutWidth(const QPlainTextEdit& memo) {
  const qreal width = memo.contentsRect().width() - 2 * memo.document()->documentMargin();
  return width > 1 ? width : 1;
}

// The characters of a paragraph laid out first when only some of its lines
// are wanted; doubled until enough lines are settled. A memo line holds far
// fewer.
constexpr int kFirstPrefix = 512;

// Appends the displayed lines of one paragraph, at most `wanted` of them when
// that is not negative.
//
// A pasted paragraph can be a megabyte long, and laying all of it out to find
// its first lines would cost seconds. Wrapping is greedy: a line ends at the
// last break that fits, decided by the text up to the start of the next line.
// So when only a prefix of the paragraph is laid out, every line but the last
// is the line the whole paragraph has; the prefix grows until enough lines
// are settled or it is the whole paragraph.
void appendParagraphLines(const QTextBlock& block, const QFont& font, const QTextOption& option,
                          qreal width, int wanted, QList<DisplayedLine>& lines) {
  const QString text = block.text();
  qsizetype prefix = wanted < 0 ? text.size() : std::min<qsizetype>(text.size(), kFirstPrefix);
  for (;;) {
    const bool whole = prefix == text.size();
    QTextLayout layout(whole ? text : text.left(prefix), font);
    layout.setTextOption(option);
    layout.beginLayout();
    QList<DisplayedLine> found;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      found.append({block.position() + line.textStart(), line.textLength(),
                    text.mid(line.textStart(), line.textLength())});
      if (wanted >= 0 && found.size() > wanted) break;  // the extra line settles the others
    }
    layout.endLayout();
    if (found.isEmpty()) found.append({block.position(), 0, QString()});  // an empty paragraph

    const qsizetype settled = whole ? found.size() : found.size() - 1;
    if (whole || settled >= wanted) {
      const qsizetype take = wanted < 0 ? settled : std::min<qsizetype>(settled, wanted);
      lines.append(found.mid(0, take));
      return;
    }
    prefix = std::min<qsizetype>(text.size(), prefix * 2);
  }
}

// A part is at least this long and ends after a blank or line break; a part
// without one ends at twice this length.
constexpr qsizetype kPartLength = 4096;

qsizetype partEnd(const QString& text, qsizetype from) {
  if (text.size() - from <= 2 * kPartLength) return text.size();
  for (qsizetype i = from + kPartLength; i < from + 2 * kPartLength; ++i) {
    if (!text[i].isSpace()) continue;
    // CR LF is one line break: never split it between parts.
    const bool crLf = text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n');
    return i + (crLf ? 2 : 1);
  }
  return from + 2 * kPartLength;
}

}  // namespace

void insertInParts(QPlainTextEdit& memo, QTextCursor& cursor, const QString& text) {
  bool cut = false;
  // The cursor has already moved to the start of a removal that reached it.
  const auto watch = QObject::connect(memo.document(), &QTextDocument::contentsChange, &memo,
                                      [&](int position, int removed, int) {
                                        if (removed > 0 && position <= cursor.position())
                                          cut = true;
                                      });
  for (qsizetype from = 0; from < text.size() && !cut;) {
    const qsizetype to = partEnd(text, from);
    cursor.insertText(text.mid(from, to - from));
    from = to;
  }
  QObject::disconnect(watch);
}

QList<DisplayedLine> displayedLines(const QPlainTextEdit& memo, int maxLines) {
  QList<DisplayedLine> lines;
  const QTextDocument& document = *memo.document();
  const qreal width = layoutWidth(memo);
  QTextOption option = document.defaultTextOption();
  option.setWrapMode(memo.wordWrapMode());
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (maxLines >= 0 && lines.size() >= maxLines) break;
    const int wanted = maxLines < 0 ? -1 : maxLines - static_cast<int>(lines.size());
    appendParagraphLines(block, memo.font(), option, width, wanted, lines);
  }
  // The document of an empty edit still has one empty block: that is no line.
  if (lines.size() == 1 && document.isEmpty()) lines.clear();
  return lines;
}

QString displayedLine(const QPlainTextEdit& memo, int index) {
  if (index < 0) return {};
  const QList<DisplayedLine> lines = displayedLines(memo, index + 1);
  return index < lines.size() ? lines[index].text : QString();
}

void deleteDisplayedLine(QPlainTextEdit& memo, int index) {
  if (index < 0) return;
  const QList<DisplayedLine> lines = displayedLines(memo, index + 2);
  if (index >= lines.size()) return;
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
  if (index < 0) return;
  const QList<DisplayedLine> lines = displayedLines(memo, index + 1);
  int from = 0;
  int to = 0;
  if (index < lines.size()) {
    from = lines[index].start;
    to = from + lines[index].length;
  } else if (index != 0 || !lines.isEmpty()) {
    return;
  }
  QTextCursor cursor(memo.document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  insertInParts(memo, cursor, text);
}

int heightForDisplayedLines(const QPlainTextEdit& memo, int count) {
  const qreal lines = count * QFontMetricsF(memo.font()).height();
  const int frame = memo.frameWidth() * 2;
  return static_cast<int>(std::ceil(lines + 2 * memo.document()->documentMargin())) + frame;
}

bool limitDisplayedLines(QPlainTextEdit& memo, int maxLines) {
  maxLines = std::max(maxLines, 0);
  const QList<DisplayedLine> lines = displayedLines(memo, maxLines + 1);
  if (lines.size() <= maxLines) return false;
  const int from = maxLines == 0 ? 0 : lines[maxLines - 1].start + lines[maxLines - 1].length;
  QTextCursor cursor(memo.document());
  cursor.setPosition(from);
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  // A line pushed below the view had scrolled it down by a line; with that
  // line gone every kept line fits again, the first one included.
  memo.verticalScrollBar()->setValue(0);
  return true;
}

}  // namespace kestrel
