#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbase/DateText.h"
#include "dbase/FieldDescriptor.h"

namespace kestrel {

class OsFile;

enum class TableLayout { Dbase3, Level7, Dbase2 };
enum class MemoLayout { None, Dbase3, Dbase4, FoxPro };

// The header and field descriptors of a table file as read at open.
struct TableHeader {
  unsigned char version = 0;
  TableLayout layout = TableLayout::Dbase3;
  MemoLayout memo = MemoLayout::None;
  std::uint32_t recordCount = 0;  // as the header says
  std::uint32_t headerLength = 0;
  std::uint32_t recordLength = 0;
  // The first 32 bytes as read; a rewrite keeps them except the date, the
  // count and the bytes that other programs own.
  std::array<unsigned char, 32> prologue{};
  std::vector<FieldDescriptor> fields;
};

// Reads and checks a table's header. `path` is the table's full path as
// opened (it appears in error details). `leading`: the file's first bytes
// when the caller has read them already (the header is read from the file
// only as far as they fall short). Throws ETableError with the codes and
// details of a refused file; never trusts a length before checking it
// against `fileSize`.
TableHeader readTableHeader(const OsFile& file, std::int64_t fileSize, const std::string& path,
                            std::string_view leading = {});

// The header of a new table: version 0x03, or 0x8B with a memo field; count 0.
std::string encodeNewTableHeader(const std::vector<FieldDescriptor>& fields, const Date& date);

// The header bytes a rewrite writes at offset 0 (32 bytes; dBASE II: its
// 8-byte prologue). `foreign` are bytes 16-27 as just read from the file.
std::string encodeHeaderRewrite(const TableHeader& header, std::uint32_t recordCount,
                                const Date& date, const unsigned char* foreign);

bool hasMemoFields(const std::vector<FieldDescriptor>& fields);

}  // namespace kestrel
