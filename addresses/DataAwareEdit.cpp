#include "addresses/DataAwareEdit.h"

#include <algorithm>

#include "addresses/DataSource.h"
#include "dbase/DataSet.h"
#include "platform/AnsiText.h"

namespace kestrel {

namespace {

// Index of a field by name, without regard to case; -1 when absent.
int fieldIndexOf(DataSet& dataSet, const std::string& fieldName) {
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    if (sameFieldName(dataSet.FieldName(i), fieldName)) return i;
  }
  return -1;
}

}  // namespace

DataAwareEdit::DataAwareEdit(QWidget* parent) : MaskedEdit(parent) {
  // Typed or set by the program alike: a Paste into the edit is an edit of
  // the record too.
  connect(this, &QLineEdit::textChanged, this, [this] { textEdited(); });
}

int DataAwareEdit::storedLength(int fieldWidth) const {
  return m_storedLimit > 0 ? std::min(m_storedLimit, fieldWidth) : fieldWidth;
}

void DataAwareEdit::loadFromRecord(DataSet* dataSet) {
  m_loading = true;
  QString shown;
  if (dataSet) {
    // Character fields come padded to their width; the edit shows the value.
    shown = fromAnsi(dataSet->GetFieldText(fieldName()));
    while (shown.endsWith(QLatin1Char(' '))) shown.chop(1);
  }
  setMaskedText(shown);
  // No table behind the edit: nothing to type into.
  setReadOnly(dataSet == nullptr);
  m_loading = false;
}

void DataAwareEdit::storeIntoRecord(DataSet& dataSet) {
  const int index = fieldIndexOf(dataSet, fieldName());
  const int width = index >= 0 ? dataSet.FieldLength(index) : maxLength();
  dataSet.SetFieldText(fieldName(), toAnsi(maskedText().left(storedLength(width))));
}

void DataAwareEdit::textEdited() {
  changedByEditing();
}

}  // namespace kestrel
