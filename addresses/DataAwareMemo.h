#pragma once

#include <string>

#include "addresses/DataAwareControl.h"
#include "platform/MemoEdit.h"

namespace kestrel {

// A multi-line edit bound to a memo field of the current record: one memo
// line per line of text. Lines wrap at the edit's width; with a line limit
// set, whatever reaches a displayed line beyond it (by Enter, by wrapping, or
// by a program's change) is deleted at once, one line at a time, as the
// recipient memo of the ordinary layout does. Typing and pasting follow that
// memo's rules too (MemoEdit).
class DataAwareMemo : public MemoEdit, public DataAwareControl {
  Q_OBJECT
 public:
  explicit DataAwareMemo(QWidget* parent = nullptr);

  // Displayed lines kept at most (0: no limit).
  void setMaxDisplayedLines(int lines) { m_maxLines = lines; }

  void loadFromRecord(DataSet* dataSet) override;
  void storeIntoRecord(DataSet& dataSet) override;

 private:
  void contentsChanged();

  int m_maxLines = 0;
  bool m_limiting = false;
};

}  // namespace kestrel
