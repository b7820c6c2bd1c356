#include "platform/MemoEdit.h"

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

}  // namespace kestrel
