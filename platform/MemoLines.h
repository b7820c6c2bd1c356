#pragma once

#include <QList>
#include <QString>

class QPlainTextEdit;

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

QList<DisplayedLine> displayedLines(const QPlainTextEdit& memo);

// The text of the displayed line at index (0-based); empty when absent.
QString displayedLine(const QPlainTextEdit& memo, int index);

// Removes the displayed line at index, with the break that separates it from
// its neighbours, so that no empty line is left behind.
void deleteDisplayedLine(QPlainTextEdit& memo, int index);

// Writes text over the displayed line at index, as assigning one line of the
// original multi-line edits did: the line's characters are replaced, its break
// stays, and a line break inside text adds lines. An empty edit still has its
// line 0; an index beyond the last line changes nothing.
void replaceDisplayedLine(QPlainTextEdit& memo, int index, const QString& text);

// Deletes lines beyond maxLines one at a time, as the memos' change rule does.
void limitDisplayedLines(QPlainTextEdit& memo, int maxLines);

}  // namespace kestrel
