#pragma once

#include <string>
#include <vector>

#include "dbase/DataSet.h"

namespace kestrel::test {

// A data set held in memory, for tests of the code that walks or edits one
// (the report engine, the data-aware controls) without touching files. It
// behaves as the table component does in the calls of DataSet: the same
// positions after each move, the same automatic post or cancel on a move,
// character fields padded and cut to their widths, deleted records visited.
class MemoryDataSet : public DataSet {
 public:
  struct Field {
    std::string name;  // stored in upper case
    char type = 'C';
    int length = 10;
  };

  explicit MemoryDataSet(std::vector<Field> fields);

  void Open() override;
  void Close() override;
  bool Active() const override { return m_active; }

  void First() override;
  void Next() override;
  void Prior() override;
  void Last() override;
  bool Eof() const override { return m_eof; }
  bool Bof() const override { return m_bof; }
  std::uint32_t RecNo() const override { return m_recNo; }
  std::uint32_t RecordCount() override;

  int FieldCount() const override { return static_cast<int>(m_fields.size()); }
  std::string FieldName(int index) const override { return m_fields.at(index).name; }
  char FieldType(int index) const override { return m_fields.at(index).type; }
  int FieldLength(int index) const override { return m_fields.at(index).length; }

  std::string GetFieldText(const std::string& fieldName) override;
  void SetFieldText(const std::string& fieldName, const std::string& text) override;
  void GetMField(const std::string& fieldName, std::vector<std::string>& lines) override;
  void SetMField(const std::string& fieldName, const std::vector<std::string>& lines) override;

  TDataSetState State() const override { return m_state; }
  void Insert() override;
  void Edit() override;
  void Post() override;
  void Cancel() override;
  void Delete() override;
  bool Deleted() const override { return m_buffer.deleted; }

 private:
  struct Row {
    bool deleted = false;
    std::vector<std::string> values;              // character fields, padded
    std::vector<std::vector<std::string>> memos;  // memo fields as lines
    bool operator==(const Row&) const = default;
  };

  void checkActive() const;
  int fieldAt(const std::string& name) const;
  Row blankRow() const;
  void checkBrowseMode();
  void beginEdit();
  void positionOn(std::uint32_t recNo);

  std::vector<Field> m_fields;
  std::vector<Row> m_rows;
  bool m_active = false;
  TDataSetState m_state = TDataSetState::dsInactive;
  Row m_buffer;
  Row m_before;
  std::uint32_t m_recNo = 0;
  bool m_bof = true;
  bool m_eof = true;
};

}  // namespace kestrel::test
