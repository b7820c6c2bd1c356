#include "numbering/IntegerText.h"

#include "numbering/NumberConversionError.h"

namespace kestrel {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Position of the sign or first digit after the leading blanks.
std::size_t skipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  return i;
}

}  // namespace

std::optional<std::int32_t> readInt32(std::string_view text) {
  std::size_t i = skipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  // The magnitude may reach 2^31 for a negative number; accumulating in 64
  // bits and stopping beyond that keeps long digit runs from overflowing.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!isDigit(text[i])) return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t strToInt(const std::string& text) {
  const auto value = readInt32(text);
  if (!value) throw NumberConversionError(text);
  return *value;
}

bool readDigitText(std::string_view text, std::string& digits) {
  if (!readInt32(text)) return false;
  std::size_t i = skipBlanks(text);
  if (text[i] == '-') return false;
  if (text[i] == '+') ++i;
  digits.assign(text.substr(i));
  return true;
}

std::string zeroPadded(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

}  // namespace kestrel
