#pragma once

#include <QPointer>
#include <string>

#include "addresses/DataSource.h"

namespace kestrel {

class DataSet;

// What a DataSource asks of each control bound to one field of its data set.
// A control shows the current record's value (reloaded after every move,
// post, cancel or insert) and keeps what the user typed to itself until the
// source asks it to store the value in the record buffer: before a post and
// before every move. Storing on every key would add a memo block per key.
class DataAwareControl {
 public:
  virtual ~DataAwareControl();

  // Binds the control to `fieldName` of the source's data set.
  void bind(DataSource& source, std::string fieldName);

  // Shows the value of the current record; nothing when `dataSet` is null or
  // closed. Loading is not a change by the user.
  virtual void loadFromRecord(DataSet* dataSet) = 0;
  // Writes the shown value into the record buffer (the data set is in edit
  // or insert state).
  virtual void storeIntoRecord(DataSet& dataSet) = 0;
  // Whether the shown value was changed since it was loaded.
  bool modified() const { return m_modified; }

 protected:
  // The control's text changed, and not by loading: tells the source.
  void changedByEditing();

  const std::string& fieldName() const { return m_fieldName; }
  bool m_loading = false;

 private:
  friend class DataSource;
  // The source may go first (the window's members go before its child
  // widgets); the control then stands unbound.
  QPointer<DataSource> m_source;
  std::string m_fieldName;
  bool m_modified = false;
};

}  // namespace kestrel
