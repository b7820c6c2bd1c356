#include "platform/MemoEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextCursor>

#include "platform/DisplayedLines.h"

namespace kestrel {

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
  // Connected first, so that every other handler of a change sees the text
  // already cut.
  connect(this, &QPlainTextEdit::textChanged, this, &MemoEdit::keepDisplayedLines);
}

void MemoEdit::setMaxDisplayedLines(int lines) {
  m_maxLines = lines;
}

void MemoEdit::keepDisplayedLines() {
  if (m_cutting) return;
  if (m_maxLines > 0) {
    const QScopedValueRollback cutting(m_cutting, true);
    limitDisplayedLines(*this, m_maxLines);
  }
  emit linesChanged();
}

void MemoEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly() || source == nullptr || !source->hasText()) return;
  QTextCursor cursor = textCursor();
  cursor.removeSelectedText();
  insertInParts(*this, cursor, source->text());
  setTextCursor(cursor);
  ensureCursorVisible();
}

void MemoEdit::keyPressEvent(QKeyEvent* event) {
  const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (lineBreak && event->isAutoRepeat()) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace kestrel
