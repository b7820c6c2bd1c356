#include "dbase/IndexKey.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "dbase/IndexError.h"
#include "dbase/MdxFormat.h"

namespace kestrel {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// BCD numeric key layout (dbase/MDX.md): byte 0 holds 52 plus the power of
// ten of the first significant digit's place, byte 1 the sign (bit 7), the
// digit count (bits 6-2) and the constant 01 (bits 1-0), bytes 2-11 up to 20
// digits, two per byte, high nibble first.
constexpr int kExponentBias = 52;
constexpr std::size_t kMantissa = 2;
constexpr std::size_t kMaxDigits = 20;
constexpr unsigned char kSignBit = 0x80;
constexpr unsigned char kLowBits = 0x01;

// -1, 0 or 1 for a negative number, zero, a positive number. Zero is every
// key whose digits are all 0, whatever its exponent and sign.
int numericSign(const unsigned char* key) {
  const bool zero = std::all_of(key + kMantissa, key + IndexKey::kNumericLength,
                                [](unsigned char b) { return b == 0; });
  if (zero) return 0;
  return (key[1] & kSignBit) ? -1 : 1;
}

}  // namespace

IndexKey::IndexKey(KeyType type, std::size_t length) : m_type(type), m_length(length) {}

IndexKey IndexKey::forField(char fieldType, std::size_t fieldLength) {
  const auto type = keyTypeForField(fieldType);
  if (!type)
    throw IndexError(IndexError::kWrongKeyType, "Wrong parser return type [AddIndexTag()]");
  std::size_t length = fieldLength;
  if (*type == KeyType::Date) length = kDateLength;
  if (*type == KeyType::Numeric) length = kNumericLength;
  if (length < mdx::kMinKeyLength || length > mdx::kMaxKeyLength)
    throw IndexError(IndexError::kBadKeyLength,
                     "Incorrect key length: Must be 1 to 100. [AddIndexTag()]");
  return IndexKey(*type, length);
}

void IndexKey::encode(std::string_view fieldBytes, unsigned char* out) const {
  switch (m_type) {
    case KeyType::Character: {
      const std::size_t n = std::min(fieldBytes.size(), m_length);
      std::memcpy(out, fieldBytes.data(), n);
      std::memset(out + n, ' ', m_length - n);
      break;
    }
    case KeyType::Date:
      encodeDate(fieldBytes, out);
      break;
    case KeyType::Numeric:
      encodeNumeric(fieldBytes, out);
      break;
  }
}

int IndexKey::compare(const unsigned char* a, const unsigned char* b) const {
  switch (m_type) {
    case KeyType::Character: {
      const int c = std::memcmp(a, b, m_length);
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case KeyType::Date: {
      // Keys from a damaged file may be NaN; they compare equal to everything
      // rather than breaking the ordering the callers rely on.
      const double x = decodeDate(a), y = decodeDate(b);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case KeyType::Numeric:
      return compareNumeric(a, b);
  }
  return 0;
}

std::uint64_t IndexKey::sortPrefix(const unsigned char* key) const {
  switch (m_type) {
    case KeyType::Character: {
      // The first 8 bytes, big-endian.
      std::uint64_t prefix = 0;
      for (std::size_t i = 0; i < 8; ++i) prefix = (prefix << 8) | (i < m_length ? key[i] : 0);
      return prefix;
    }
    case KeyType::Date: {
      // IEEE order as unsigned order: negatives reversed, positives above them.
      const auto bits = std::bit_cast<std::uint64_t>(decodeDate(key));
      return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
    }
    case KeyType::Numeric: {
      // Sign class in the top bits, then exponent and the first 12 digits;
      // for negatives the magnitude is inverted.
      const int sign = numericSign(key);
      if (sign == 0) return std::uint64_t{1} << 62;
      std::uint64_t magnitude = key[0];
      for (std::size_t i = 0; i < 6; ++i) magnitude = (magnitude << 8) | key[kMantissa + i];
      if (sign < 0) return ~magnitude & ((std::uint64_t{1} << 56) - 1);
      return (std::uint64_t{2} << 62) | magnitude;
    }
  }
  return 0;
}

double IndexKey::julianDay(int year, int month, int day) {
  // Proleptic Gregorian calendar to Julian day number (Fliegel and Van
  // Flandern), in integers so that no rounding can creep in.
  const long a = (14 - month) / 12;
  const long y = year + 4800L - a;
  const long m = month + 12 * a - 3;
  return static_cast<double>(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045);
}

void IndexKey::encodeDate(std::string_view text, unsigned char* out) {
  double value = kBlankDate;
  if (text.size() >= 8 && std::all_of(text.begin(), text.begin() + 8, isDigit)) {
    const auto num = [&](std::size_t from, std::size_t n) {
      int v = 0;
      for (std::size_t i = from; i < from + n; ++i) v = v * 10 + (text[i] - '0');
      return v;
    };
    const int year = num(0, 4), month = num(4, 2), day = num(6, 2);
    if (year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month))
      value = julianDay(year, month, day);
  }
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < kDateLength; ++i)
    out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

double IndexKey::decodeDate(const unsigned char* key) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < kDateLength; ++i)
    bits |= static_cast<std::uint64_t>(key[i]) << (8 * i);
  return std::bit_cast<double>(bits);
}

void IndexKey::encodeNumeric(std::string_view text, unsigned char* out) {
  std::memset(out, 0, kNumericLength);
  // Read the text the way dBASE's VAL() does: blanks, a sign, digits, a
  // point, digits; anything else ends the number (a blank field is 0).
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string whole, fraction;
  while (i < text.size() && isDigit(text[i])) whole += text[i++];
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) fraction += text[i++];
  }
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  fraction.erase(std::min(fraction.find_last_not_of('0') + 1, fraction.size()));

  const std::string digits = whole + fraction;
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) {
    out[0] = kExponentBias;
    out[1] = kLowBits;
    return;
  }
  // The point's place relative to the first significant digit: 123.45 is
  // 0.12345E3, 0.05 is 0.5E-1.
  const int exponent = static_cast<int>(whole.size()) - static_cast<int>(first);
  out[0] = static_cast<unsigned char>(std::clamp(kExponentBias + exponent, 0, 255));
  // The count follows the common writers: integer digits without leading
  // zeros plus decimals without trailing zeros. Nothing orders by it.
  const std::size_t count = std::min<std::size_t>(digits.size(), 31);
  out[1] = static_cast<unsigned char>((negative ? kSignBit : 0) | (count << 2) | kLowBits);
  const std::string_view significant = std::string_view(digits).substr(first, kMaxDigits);
  for (std::size_t d = 0; d < significant.size(); ++d) {
    const auto nibble = static_cast<unsigned char>(significant[d] - '0');
    out[kMantissa + d / 2] |= (d % 2 == 0) ? static_cast<unsigned char>(nibble << 4) : nibble;
  }
}

int IndexKey::compareNumeric(const unsigned char* a, const unsigned char* b) {
  const int sa = numericSign(a), sb = numericSign(b);
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  // Same sign: a larger exponent is the larger magnitude, then the digits.
  int c = a[0] != b[0] ? (a[0] < b[0] ? -1 : 1) : 0;
  if (c == 0) {
    const int m = std::memcmp(a + kMantissa, b + kMantissa, kNumericLength - kMantissa);
    c = m < 0 ? -1 : (m > 0 ? 1 : 0);
  }
  return sa < 0 ? -c : c;
}

}  // namespace kestrel
