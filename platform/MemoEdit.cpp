#include "platform/MemoEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include "platform/DisplayedLines.h"

namespace kestrel {

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {}

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
