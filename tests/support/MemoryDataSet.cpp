#include "MemoryDataSet.h"

#include <algorithm>
#include <stdexcept>

#include "dbase/AsciiText.h"

namespace kestrel::test {

MemoryDataSet::MemoryDataSet(std::vector<Field> fields) : m_fields(std::move(fields)) {
  for (Field& field : m_fields) field.name = asciiUpper(field.name);
  m_buffer = blankRow();
}

void MemoryDataSet::checkActive() const {
  if (!m_active) throw std::logic_error("Database is not open");
}

int MemoryDataSet::fieldAt(const std::string& name) const {
  const std::string key = asciiUpper(name);
  for (std::size_t i = 0; i < m_fields.size(); ++i)
    if (m_fields[i].name == key) return static_cast<int>(i);
  throw std::invalid_argument("Field not found: " + name);
}

MemoryDataSet::Row MemoryDataSet::blankRow() const {
  Row row;
  for (const Field& field : m_fields) {
    row.values.push_back(field.type == 'M' ? std::string() : std::string(field.length, ' '));
    row.memos.emplace_back();
  }
  return row;
}

void MemoryDataSet::Open() {
  const Notice notice(*this, DataSetEvent::Opened);
  if (m_active) return;
  m_active = true;
  m_state = TDataSetState::dsBrowse;
  m_recNo = 0;
  m_buffer = blankRow();
  m_bof = m_eof = true;
  positionOn(1);
}

void MemoryDataSet::Close() {
  const Notice notice(*this, DataSetEvent::Closed);
  m_active = false;
  m_state = TDataSetState::dsInactive;
}

std::uint32_t MemoryDataSet::RecordCount() {
  checkActive();
  return static_cast<std::uint32_t>(m_rows.size());
}

// On the record, or past the end (Eof, the position kept).
void MemoryDataSet::positionOn(std::uint32_t recNo) {
  if (recNo >= 1 && recNo <= m_rows.size()) {
    m_recNo = recNo;
    m_buffer = m_rows[recNo - 1];
    m_bof = m_eof = false;
  } else {
    m_eof = true;
  }
}

void MemoryDataSet::First() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive();
  checkBrowseMode();
  m_bof = m_eof = false;
  positionOn(1);
  if (m_eof) {
    m_recNo = 0;
    m_buffer = blankRow();
  }
  m_bof = true;
}

void MemoryDataSet::Next() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive();
  checkBrowseMode();
  if (m_eof) return;
  positionOn(m_recNo + 1);
}

void MemoryDataSet::Prior() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive();
  checkBrowseMode();
  if (m_bof || m_recNo <= 1) {
    m_bof = true;
    return;
  }
  positionOn(m_recNo - 1);
}

void MemoryDataSet::Last() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive();
  checkBrowseMode();
  m_bof = m_eof = false;
  if (m_rows.empty()) {
    m_bof = m_eof = true;
    m_recNo = 0;
    m_buffer = blankRow();
    return;
  }
  positionOn(static_cast<std::uint32_t>(m_rows.size()));
}

std::string MemoryDataSet::GetFieldText(const std::string& fieldName) {
  checkActive();
  return m_buffer.values[fieldAt(fieldName)];
}

void MemoryDataSet::SetFieldText(const std::string& fieldName, const std::string& text) {
  checkActive();
  const int at = fieldAt(fieldName);
  beginEdit();
  const auto width = static_cast<std::size_t>(m_fields[at].length);
  std::string value = text.substr(0, width);
  value.resize(width, ' ');
  m_buffer.values[at] = value;
}

void MemoryDataSet::GetMField(const std::string& fieldName, std::vector<std::string>& lines) {
  checkActive();
  lines = m_buffer.memos[fieldAt(fieldName)];
}

void MemoryDataSet::SetMField(const std::string& fieldName, const std::vector<std::string>& lines) {
  checkActive();
  const int at = fieldAt(fieldName);
  beginEdit();
  m_buffer.memos[at] = lines;
}

void MemoryDataSet::checkBrowseMode() {
  if (m_state != TDataSetState::dsEdit && m_state != TDataSetState::dsInsert) return;
  if (m_buffer == m_before) {
    Cancel();
  } else {
    Post();
  }
}

void MemoryDataSet::beginEdit() {
  if (m_state == TDataSetState::dsBrowse) Edit();
}

void MemoryDataSet::Insert() {
  const Notice notice(*this, DataSetEvent::StateChanged);
  checkActive();
  checkBrowseMode();
  m_state = TDataSetState::dsInsert;
  m_buffer = blankRow();
  m_before = m_buffer;
}

void MemoryDataSet::Edit() {
  const Notice notice(*this, DataSetEvent::StateChanged);
  checkActive();
  if (m_state != TDataSetState::dsBrowse) return;
  if (m_recNo == 0 || m_rows.empty()) {
    Insert();
    return;
  }
  m_state = TDataSetState::dsEdit;
  m_before = m_buffer;
}

void MemoryDataSet::Post() {
  const Notice notice(*this, DataSetEvent::RecordChanged);
  checkActive();
  if (m_state == TDataSetState::dsInsert) {
    m_rows.push_back(m_buffer);
    m_recNo = static_cast<std::uint32_t>(m_rows.size());
    m_bof = m_eof = false;
  } else if (m_state == TDataSetState::dsEdit) {
    m_rows[m_recNo - 1] = m_buffer;
  } else {
    return;
  }
  m_state = TDataSetState::dsBrowse;
}

void MemoryDataSet::Cancel() {
  const Notice notice(*this, DataSetEvent::StateChanged);
  checkActive();
  if (m_state == TDataSetState::dsBrowse) return;
  m_state = TDataSetState::dsBrowse;
  m_buffer = (m_recNo >= 1 && m_recNo <= m_rows.size()) ? m_rows[m_recNo - 1] : blankRow();
}

void MemoryDataSet::Delete() {
  const Notice notice(*this, DataSetEvent::RecordChanged);
  checkActive();
  if (m_state != TDataSetState::dsBrowse) Cancel();
  if (m_recNo == 0 || m_recNo > m_rows.size()) return;
  m_rows[m_recNo - 1].deleted = true;
  m_buffer.deleted = true;
}

}  // namespace kestrel::test
