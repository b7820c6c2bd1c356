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
//
// With a line limit set, whatever reaches a displayed line beyond it (by
// Enter, by wrapping, or by a change the program makes) is deleted at once
// with its text, so the memo never keeps more lines than the form prints.
class MemoEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit MemoEdit(QWidget* parent = nullptr);

  // Displayed lines kept at most (0: no limit).
  void setMaxDisplayedLines(int lines);

 signals:
  // The text changed and the line limit has been applied. Once per change:
  // the cut is itself a change of the text, but part of the one that
  // caused it.
  void linesChanged();

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void keepDisplayedLines();

  int m_maxLines = 0;
  bool m_cutting = false;
};

}  // namespace kestrel
