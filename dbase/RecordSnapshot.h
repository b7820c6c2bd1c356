#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dbase/DataSet.h"

namespace kestrel {

// A read-only copy of chosen records of another data set, in an order of
// the caller's choosing: what a report needs when it lists a selection that
// no index of the table gives (one day's records in numerical order of a
// field). The copy keeps the fields' texts as the source gave them; memo
// fields are not copied. Editing calls throw std::logic_error.
class RecordSnapshot : public DataSet {
 public:
  // Takes the source's structure (without its memo fields). Requires: the
  // source is open.
  explicit RecordSnapshot(DataSet& source);

  // Copies the source's current record to the end of the snapshot.
  void addCurrentRecord(DataSet& source);
  // Reorders the copied records; `less` compares two records' values of
  // the field `fieldName`.
  template <typename Less>
  void sortBy(const std::string& fieldName, Less less);

  void Open() override;
  void Close() override;
  bool Active() const override { return m_active; }

  void First() override;
  void Next() override;
  void Prior() override;
  void Last() override;
  bool Eof() const override { return m_eof; }
  bool Bof() const override { return m_bof; }
  std::uint32_t RecNo() const override;
  std::uint32_t RecordCount() override { return static_cast<std::uint32_t>(m_records.size()); }

  int FieldCount() const override { return static_cast<int>(m_names.size()); }
  std::string FieldName(int index) const override { return m_names.at(index); }
  char FieldType(int index) const override { return m_types.at(index); }
  int FieldLength(int index) const override { return m_lengths.at(index); }

  std::string GetFieldText(const std::string& fieldName) override;
  void SetFieldText(const std::string& fieldName, const std::string& text) override;
  void GetMField(const std::string& fieldName, std::vector<std::string>& lines) override;
  void SetMField(const std::string& fieldName, const std::vector<std::string>& lines) override;

  TDataSetState State() const override { return TDataSetState::dsBrowse; }
  void Insert() override;
  void Edit() override;
  void Post() override;
  void Cancel() override {}
  void Delete() override;
  bool Deleted() const override { return false; }

  // The index of a field by name (regardless of case), or -1.
  int fieldIndex(const std::string& fieldName) const;

 private:
  struct Record {
    std::uint32_t recNo = 0;  // the source's record number
    std::vector<std::string> values;
  };
  std::vector<std::string> m_names;
  std::vector<char> m_types;
  std::vector<int> m_lengths;
  std::vector<Record> m_records;
  std::size_t m_position = 0;
  bool m_active = true;
  bool m_eof = true;
  bool m_bof = true;
};

template <typename Less>
void RecordSnapshot::sortBy(const std::string& fieldName, Less less) {
  const int field = fieldIndex(fieldName);
  if (field < 0) return;
  const auto index = static_cast<std::size_t>(field);
  std::stable_sort(m_records.begin(), m_records.end(), [&](const Record& a, const Record& b) {
    return less(a.values[index], b.values[index]);
  });
  First();
}

}  // namespace kestrel
