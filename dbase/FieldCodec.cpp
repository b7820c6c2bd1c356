#include "dbase/FieldCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "dbase/AsciiText.h"
#include "dbase/EConvertError.h"

namespace kestrel {
namespace {

// Cut to the field length and padded with blanks, written in place (every
// field of every appended record passes here).
void putBytes(std::string& record, const FieldDescriptor& field, std::string_view bytes) {
  const std::size_t length = static_cast<std::size_t>(field.length);
  if (field.offset + length > record.size()) return;
  const std::size_t copied = std::min(bytes.size(), length);
  char* out = record.data() + field.offset;
  std::copy_n(bytes.data(), copied, out);
  std::fill(out + copied, out + length, ' ');
}

void putRightAligned(std::string& record, const FieldDescriptor& field, const std::string& text) {
  const std::size_t width = static_cast<std::size_t>(field.length);
  if (text.size() > width) {
    putBytes(record, field, std::string(width, '*'));
  } else {
    putBytes(record, field, std::string(width - text.size(), ' ') + text);
  }
}

}  // namespace

std::string fieldBytes(const std::string& record, const FieldDescriptor& field) {
  return std::string(fieldView(record, field));
}

void putText(std::string& record, const FieldDescriptor& field, const std::string& text) {
  putBytes(record, field, text);
}

void putDate(std::string& record, const FieldDescriptor& field, const std::optional<Date>& date) {
  if (!date) {
    putBytes(record, field, std::string());
    return;
  }
  char text[16];
  auto digits = [&](int value, int width, char* out) {
    for (int i = width - 1; i >= 0; --i) {
      out[i] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
  };
  digits(date->year, 4, text);
  digits(date->month, 2, text + 4);
  digits(date->day, 2, text + 6);
  putBytes(record, field, std::string(text, 8));
}

std::optional<Date> readDate(std::string_view bytes) {
  if (bytes.size() != 8) return std::nullopt;
  int values[3] = {0, 0, 0};
  const int widths[3] = {4, 2, 2};
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < widths[i]; ++k, ++at) {
      char c = bytes[at];
      if (c < '0' || c > '9') return std::nullopt;
      values[i] = values[i] * 10 + (c - '0');
    }
  }
  if (!isValidDate(values[0], values[1], values[2])) return std::nullopt;
  return Date{values[0], values[1], values[2]};
}

void putNumber(std::string& record, const FieldDescriptor& field, double value) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                              field.decimals);
  if (result.ec != std::errc() || !std::isfinite(value)) {
    putBytes(record, field, std::string(static_cast<std::size_t>(field.length), '*'));
    return;
  }
  putRightAligned(record, field, std::string(buffer, result.ptr));
}

double readDouble(const std::string& bytes) {
  std::string text = trimSpaces(bytes);
  double value = 0.0;
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

std::int32_t readInteger(const std::string& bytes) {
  double value = std::trunc(readDouble(bytes));
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

void putLogical(std::string& record, const FieldDescriptor& field, bool value) {
  putBytes(record, field, value ? "T" : "F");
}

bool readLogical(std::string_view bytes) {
  return !bytes.empty() && std::string_view("TtYy").find(bytes[0]) != std::string_view::npos;
}

void putMemoBlock(std::string& record, const FieldDescriptor& field, std::uint32_t block) {
  putRightAligned(record, field, std::to_string(block));
}

std::uint32_t readMemoBlock(std::string_view bytes) {
  const std::string text = trimSpaces(std::string(bytes));
  std::uint32_t block = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), block);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return 0;
  return block;
}

double parseNumberText(const std::string& text) {
  std::string t = trimSpaces(text);
  if (t.empty()) return 0.0;
  std::string digits = t[0] == '+' ? t.substr(1) : t;
  double value = 0.0;
  auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size() ||
      !std::isfinite(value)) {
    throw EConvertError("'" + text + "' is not a valid floating point value");
  }
  return value;
}

}  // namespace kestrel
