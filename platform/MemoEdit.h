#pragma once

#include <QPlainTextEdit>

namespace kestrel {

// The multi-line edit of the recipient and sender memos. Their change rule
// keeps the first few displayed lines and cuts the rest; a paste is
// therefore inserted in parts, and the parts after a cut are never inserted:
// they would land behind the cut and be cut as well. Qt itself lays out a
// pasted paragraph whole before any change handler runs, which for a
// megabyte takes longer than a user will wait.
//
// A Return held down breaks the line once. The window system repeats a key
// whose release reaches it late (on a busy machine, or over a remote
// display) as if it were held, and each repeat was an empty line: "New
// Person", two empty lines and "77 New Rd" went into the table, and an empty
// line is where the mailer prints the city line, above the street. Nobody
// needs a run of empty lines in an address of four.
class MemoEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit MemoEdit(QWidget* parent = nullptr);

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kestrel
