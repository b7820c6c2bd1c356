#pragma once

#include <QPlainTextEdit>

namespace kestrel {

// The multi-line edit of the recipient and sender memos. Their change rule
// keeps the first few displayed lines and cuts the rest; a paste is
// therefore inserted in parts, and the parts after a cut are never inserted:
// they would land behind the cut and be cut as well. Qt itself lays out a
// pasted paragraph whole before any change handler runs, which for a
// megabyte takes longer than a user will wait.
class MemoEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit MemoEdit(QWidget* parent = nullptr);

 protected:
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace kestrel
