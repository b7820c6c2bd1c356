#pragma once

#include <QList>
#include <QString>

class QPlainTextEdit;
class QTextCursor;

namespace kestrel {

// The lines of a multi-line edit as the user sees them: a long paragraph that
// wraps counts as several lines, as in the memos of the original windows.
// The layout is computed from the edit's font, wrap mode and width, so the
// count is right before the edit is shown and never waits for Qt's lazy
// layout. Requires: the edit wraps at its widget width.
struct DisplayedLine {
  int start = 0;   // position in the document
  int length = 0;  // characters, without the paragraph break
  QString text;
};

// The displayed lines from the top, at most `maxLines` of them when that is
// not negative. Only as much text is laid out as those lines need, so asking
// for the first few lines of a pasted megabyte costs no more than of a page.
QList<DisplayedLine> displayedLines(const QPlainTextEdit& memo, int maxLines = -1);

// The text of the displayed line at index (0-based); empty when absent.
QString displayedLine(const QPlainTextEdit& memo, int index);

// Removes the displayed line at index, with the break that separates it from
// its neighbours, so that no empty line is left behind.
void deleteDisplayedLine(QPlainTextEdit& memo, int index);

// Writes text over the displayed line at index, as assigning one line of the
// original multi-line edits did: the line's characters are replaced, its break
// stays, and a line break inside text adds lines. An empty edit still has its
// line 0; an index beyond the last line changes nothing. The text goes in
// with insertInParts.
void replaceDisplayedLine(QPlainTextEdit& memo, int index, const QString& text);

// Inserts text at the cursor in parts and stops once a change handler of the
// edit has cut text at or before the cursor: the rest would land behind the
// cut and be cut as well. For edits whose change rule keeps only their first
// lines, this ends as inserting the whole text would, without Qt laying out a
// pasted megabyte first. Parts end after a blank or line break, so that no
// word is split and every line wraps as in the whole text.
void insertInParts(QPlainTextEdit& memo, QTextCursor& cursor, const QString& text);

// The height the edit needs to show `count` lines whole, frame included.
int heightForDisplayedLines(const QPlainTextEdit& memo, int count);

// Cuts the edit to its first maxLines displayed lines in one step: the text
// from the end of the last line kept, its break included, is removed. This is
// what deleting the line after the last kept one until none is left comes to,
// without laying the text out again for every line. The edit is scrolled back
// to its top, so that no kept line stays hidden above the view. Returns
// whether anything was cut.
bool limitDisplayedLines(QPlainTextEdit& memo, int maxLines);

}  // namespace kestrel
