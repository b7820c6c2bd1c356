#include "dbase/RecordSnapshot.h"

#include <stdexcept>

namespace kestrel {

namespace {

[[noreturn]] void readOnly() {
  throw std::logic_error("A copy of selected records cannot be edited.");
}

}  // namespace

RecordSnapshot::RecordSnapshot(DataSet& source) {
  for (int i = 0; i < source.FieldCount(); ++i) {
    if (source.FieldType(i) == 'M') continue;
    m_names.push_back(source.FieldName(i));
    m_types.push_back(source.FieldType(i));
    m_lengths.push_back(source.FieldLength(i));
  }
}

void RecordSnapshot::addCurrentRecord(DataSet& source) {
  Record record;
  record.recNo = source.RecNo();
  for (const std::string& name : m_names) record.values.push_back(source.GetFieldText(name));
  m_records.push_back(std::move(record));
}

int RecordSnapshot::fieldIndex(const std::string& fieldName) const {
  for (std::size_t i = 0; i < m_names.size(); ++i)
    if (sameFieldName(m_names[i], fieldName)) return static_cast<int>(i);
  return -1;
}

void RecordSnapshot::Open() {
  Notice notice(*this, DataSetEvent::Opened);
  m_active = true;
  First();
}

void RecordSnapshot::Close() {
  Notice notice(*this, DataSetEvent::Closed);
  m_active = false;
}

void RecordSnapshot::First() {
  Notice notice(*this, DataSetEvent::Scrolled);
  m_position = 0;
  m_bof = true;
  m_eof = m_records.empty();
}

void RecordSnapshot::Next() {
  Notice notice(*this, DataSetEvent::Scrolled);
  m_bof = false;
  if (m_records.empty() || m_position + 1 >= m_records.size()) {
    m_eof = true;
    return;
  }
  ++m_position;
}

void RecordSnapshot::Prior() {
  Notice notice(*this, DataSetEvent::Scrolled);
  m_eof = false;
  if (m_position == 0) {
    m_bof = true;
    return;
  }
  --m_position;
}

void RecordSnapshot::Last() {
  Notice notice(*this, DataSetEvent::Scrolled);
  m_eof = true;
  m_bof = m_records.empty();
  m_position = m_records.empty() ? 0 : m_records.size() - 1;
}

std::uint32_t RecordSnapshot::RecNo() const {
  return m_records.empty() ? 0 : m_records[m_position].recNo;
}

std::string RecordSnapshot::GetFieldText(const std::string& fieldName) {
  const int field = fieldIndex(fieldName);
  if (field < 0) throw std::invalid_argument("Field \"" + fieldName + "\" not found.");
  if (m_records.empty()) return {};
  return m_records[m_position].values[static_cast<std::size_t>(field)];
}

void RecordSnapshot::SetFieldText(const std::string&, const std::string&) {
  readOnly();
}
void RecordSnapshot::GetMField(const std::string&, std::vector<std::string>& lines) {
  lines.clear();
}
void RecordSnapshot::SetMField(const std::string&, const std::vector<std::string>&) {
  readOnly();
}
void RecordSnapshot::Insert() {
  readOnly();
}
void RecordSnapshot::Edit() {
  readOnly();
}
void RecordSnapshot::Post() {
  readOnly();
}
void RecordSnapshot::Delete() {
  readOnly();
}

}  // namespace kestrel
