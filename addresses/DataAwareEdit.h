#pragma once

#include <QString>
#include <string>

#include "addresses/DataAwareControl.h"
#include "platform/MaskedEdit.h"

namespace kestrel {

// A one-line edit bound to a character field of the current record. With an
// edit mask it reads and stores the masked text (literals kept as the mask
// says, empty positions as blanks).
//
// The edit may accept more characters than it stores: what is stored is cut
// to the stored limit, or to the field's width when that is smaller, and the
// edit shows the stored value once the record is posted or left.
class DataAwareEdit : public MaskedEdit, public DataAwareControl {
  Q_OBJECT
 public:
  explicit DataAwareEdit(QWidget* parent = nullptr);

  // Characters stored at most (0: as many as the field holds).
  void setStoredLimit(int characters) { m_storedLimit = characters; }

  // The number of characters the current field can keep.
  int storedLength(int fieldWidth) const;

  void loadFromRecord(DataSet* dataSet) override;
  void storeIntoRecord(DataSet& dataSet) override;

 private:
  void textEdited();

  int m_storedLimit = 0;
};

}  // namespace kestrel
