#pragma once

#include <string>

#include "addresses/DataAwareControl.h"
#include "platform/MemoEdit.h"

namespace kestrel {

// A multi-line edit bound to a memo field of the current record: one memo
// line per line of text. Lines wrap at the edit's width; the line limit,
// typing and pasting follow the recipient memo of the ordinary layout
// (MemoEdit). A stored memo with more lines is shown cut; the record keeps
// its lines until the memo is edited.
class DataAwareMemo : public MemoEdit, public DataAwareControl {
  Q_OBJECT
 public:
  explicit DataAwareMemo(QWidget* parent = nullptr);

  void loadFromRecord(DataSet* dataSet) override;
  void storeIntoRecord(DataSet& dataSet) override;
};

}  // namespace kestrel
