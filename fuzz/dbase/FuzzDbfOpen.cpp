// Opens arbitrary bytes as a table with its memo file and visits every record,
// reading every field; then appends one record with a memo to the same files. Input: 2 bytes
// (little-endian) giving the length of the table part, the table bytes, then the memo bytes
// (written as both .DBT and .FPT, so every memo layout is reached).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "dbase/EConvertError.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"
#include "dbase/TableWarnings.h"

namespace {

const std::string& workFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/kestrel-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) std::abort();
    kestrel::SetWarningHandler([](const std::string&, const std::string&) {});
    return std::string(made);
  }();
  return folder;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::size_t tableSize = data[0] | (data[1] << 8);
  data += 2;
  size -= 2;
  if (tableSize > size) tableSize = size;
  const std::string base = workFolder() + "/t";
  writeFile(base + ".dbf", data, tableSize);
  writeFile(base + ".DBT", data + tableSize, size - tableSize);
  writeFile(base + ".FPT", data + tableSize, size - tableSize);

  kestrel::TTzDbf table("fuzz");
  table.SetCreateIfNotFound(false);
  table.SetDbfFileName(base + ".dbf");
  try {
    table.Open();
    std::size_t visited = 0;
    for (table.First(); !table.Eof() && visited < 100000; table.Next(), ++visited) {
      for (const kestrel::FieldDescriptor& field : table.fields()) {
        try {
          (void)table.GetFieldText(field.name);
        } catch (const kestrel::ETableError&) {
        }
      }
      (void)table.Deleted();
    }
    (void)table.RecordCount();
    table.Close();

    // The write paths on the same files: header rewrite, record and memo append.
    table.SetExclusive(true);
    table.Open();
    table.ClearRecord();
    for (const kestrel::FieldDescriptor& field : table.fields()) {
      const char* text = field.type == 'D'   ? "1/2/2003"
                         : field.type == 'N' ? "1.5"
                         : field.type == 'F' ? "-2"
                         : field.type == 'L' ? "T"
                         : field.type == 'M' ? "memo text"
                                             : "x";
      table.SetFieldText(field.name, text);
    }
    table.AppendRec();
    (void)table.GetFieldText(table.fields().front().name);
    table.Close();
  } catch (const kestrel::ETableError&) {
  } catch (const kestrel::EConvertError&) {
  }
  return 0;
}
