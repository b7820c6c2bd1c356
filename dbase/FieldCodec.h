#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dbase/DateText.h"
#include "dbase/FieldDescriptor.h"

namespace kestrel {

// Encoding of field values inside a record buffer (record length bytes, byte
// 0 the deletion flag). Buffers hold the program's text; code-page conversion
// happens on the whole record when it is read or written.

std::string fieldBytes(const std::string& record, const FieldDescriptor& field);
// The same bytes in place, valid while the record is not changed.
inline std::string_view fieldView(const std::string& record, const FieldDescriptor& field) {
  if (field.offset >= record.size()) return {};
  return std::string_view(record).substr(field.offset, static_cast<std::size_t>(field.length));
}

// Character: cut to the field length, padded with blanks.
void putText(std::string& record, const FieldDescriptor& field, const std::string& text);
// Date: YYYYMMDD, or 8 blanks for the blank date.
void putDate(std::string& record, const FieldDescriptor& field, const std::optional<Date>& date);
std::optional<Date> readDate(std::string_view bytes);
// Numeric: right-aligned with exactly the field's decimals; a value that does
// not fit fills the field with "*".
void putNumber(std::string& record, const FieldDescriptor& field, double value);
double readDouble(const std::string& bytes);
std::int32_t readInteger(const std::string& bytes);
// Logical: "T" or "F"; true for T, t, Y, y.
void putLogical(std::string& record, const FieldDescriptor& field, bool value);
bool readLogical(std::string_view bytes);
// Memo: the first block number, right-aligned; 0 written as nine blanks and "0".
void putMemoBlock(std::string& record, const FieldDescriptor& field, std::uint32_t block);
std::uint32_t readMemoBlock(std::string_view bytes);

// Parses a number text as the field setter reads it (blanks around it
// allowed, "." as decimal point). Throws EConvertError when it is none.
double parseNumberText(const std::string& text);

}  // namespace kestrel
