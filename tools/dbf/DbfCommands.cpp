#include "tools/dbf/DbfCommands.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "dbase/FieldCodec.h"
#include "dbase/LockRetry.h"
#include "dbase/TTzDbf.h"
#include "tools/dbf/Csv.h"
#include "tools/dbf/Utf8Text.h"

namespace kestrel::tools {
namespace {

// The append lock of a batch is tried for up to a second.
constexpr int kBatchLockAttempts = 50;
constexpr std::chrono::milliseconds kBatchLockPause{20};

// A field's value as the dump shows it: texts without their padding, dates
// as YYYYMMDD (empty when blank), memos in full. Taken from the record's
// bytes where it can: a dump shows every field of every record.
std::string_view dumpValue(TTzDbf& table, int index, std::string& memo) {
  const FieldDescriptor& field = table.fields()[static_cast<std::size_t>(index)];
  const std::string_view bytes = table.fieldView(index);
  switch (field.type) {
    case 'D':
      return readDate(bytes) ? bytes : std::string_view();
    case 'N':
    case 'F': {
      const std::size_t first = bytes.find_first_not_of(' ');
      if (first == std::string_view::npos) return {};
      return bytes.substr(first, bytes.find_last_not_of(' ') - first + 1);
    }
    case 'M':
    case 'L':
      memo = table.GetFieldText(field.name);
      return memo;
    default: {
      const std::size_t last = bytes.find_last_not_of(' ');
      return last == std::string_view::npos ? std::string_view() : bytes.substr(0, last + 1);
    }
  }
}

void openTable(TTzDbf& table, const std::string& path, bool readOnly) {
  table.SetCreateIfNotFound(false);
  table.SetReadOnly(readOnly);
  table.SetDbfFileName(path);
  table.Open();
}

}  // namespace

int infoCommand(const std::string& path, std::ostream& out) {
  TTzDbf table("kestrel-dbf");
  openTable(table, path, true);
  char version[8];
  std::snprintf(version, sizeof version, "0x%02X", table.versionByte());
  out << "version: " << version << '\n'
      << "records: " << table.RecordCount() << '\n'
      << "header length: " << table.headerLength() << '\n'
      << "record length: " << table.recordLength() << '\n'
      << "fields: " << table.fields().size() << '\n';
  for (const FieldDescriptor& field : table.fields()) {
    out << "  " << ansiToUtf8(field.name) << ',' << field.type << ',' << field.length << ','
        << field.decimals << '\n';
  }
  return 0;
}

int dumpCommand(const std::string& path, std::ostream& out, const std::string& orderField) {
  TTzDbf table("kestrel-dbf");
  openTable(table, path, true);
  if (!orderField.empty()) table.IndexOnOne(orderField, orderField);
  // Rows go out a megabyte at a time, built in one buffer.
  constexpr std::size_t kFlushAt = std::size_t{1} << 20;
  const int fieldCount = table.FieldCount();
  std::string rows;
  std::string utf8;
  std::string memo;
  for (table.First(); !table.Eof(); table.Next()) {
    if (table.Deleted()) rows += '*';
    for (int i = 0; i < fieldCount; ++i) {
      rows += ',';
      utf8.clear();
      appendAnsiAsUtf8(utf8, dumpValue(table, i, memo));
      appendCsvField(rows, utf8);
    }
    rows += "\r\n";
    if (rows.size() >= kFlushAt) {
      out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
      rows.clear();
    }
  }
  out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
  out.flush();
  if (!out) throw std::runtime_error("the dump could not be written whole");
  return 0;
}

int createCommand(const std::string& path, const std::vector<std::string>& definitions,
                  std::ostream& err) {
  TTzDbf table("kestrel-dbf");
  table.SetDbfFileName(path);
  if (fileExists(table.DbfFileName())) {
    err << table.DbfFileName() << " already exists\n";
    return 1;
  }
  std::vector<std::string> ansi;
  for (const std::string& d : definitions) ansi.push_back(utf8ToAnsi(d));
  table.SetDbfFields(ansi);
  table.Open();
  table.Close();
  return 0;
}

int appendCommand(const std::string& path, std::istream& in, std::ostream& err) {
  TTzDbf table("kestrel-dbf");
  openTable(table, path, false);
  const auto& fields = table.fields();
  // Every row is read and checked before anything is written, and the append
  // lock is taken once for the batch: a batch goes in whole or not at all, so
  // a caller may simply run it again after a refusal.
  std::vector<std::vector<std::string>> rows;
  while (auto row = readCsvRow(in)) {
    if (row->size() == 1 && row->front().empty()) continue;  // blank line
    if (row->size() > fields.size()) {
      err << "row has " << row->size() << " values, the table " << fields.size() << " fields\n";
      return 1;
    }
    rows.push_back(std::move(*row));
  }
  if (rows.empty()) return 0;
  const bool locked =
      retryLock(kBatchLockAttempts, kBatchLockPause, [&table] { return table.ALock(); });
  if (!locked) {
    err << "append lock refused: " << table.DbfFileName() << '\n';
    return kExitLockRefused;
  }
  for (const auto& row : rows) {
    table.ClearRecord();
    for (std::size_t i = 0; i < row.size(); ++i) {
      table.SetFieldText(fields[i].name, utf8ToAnsi(row[i]));
    }
    table.AppendRec();
  }
  // The header count is written before the lock goes with the close.
  table.Close();
  return 0;
}

int packCommand(const std::string& path, std::ostream& err) {
  TTzDbf table("kestrel-dbf");
  openTable(table, path, false);
  if (!table.Pack()) {
    err << "another process has the table open: " << table.DbfFileName() << '\n';
    return kExitLockRefused;
  }
  table.Close();
  return 0;
}

int appendFromCommand(const std::string& target, const std::string& source, std::ostream& err) {
  TTzDbf table("kestrel-dbf");
  openTable(table, target, false);
  if (!table.ALock()) {
    err << "append lock refused: " << table.DbfFileName() << '\n';
    return kExitLockRefused;
  }
  table.AppendFrom(source);
  table.UnLock();
  table.Close();
  return 0;
}

int holdLockCommand(const std::string& path, double seconds, std::ostream& out, std::ostream& err) {
  TTzDbf table("kestrel-dbf");
  openTable(table, path, false);
  if (!table.ALock()) {
    err << "append lock refused: " << table.DbfFileName() << '\n';
    return kExitLockRefused;
  }
  out << "locked" << std::endl;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  table.UnLock();
  table.Close();
  return 0;
}

}  // namespace kestrel::tools
