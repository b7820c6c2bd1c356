#include "core/Money.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "dbase/AsciiText.h"

namespace kestrel {
namespace {

int leadingBlanksFor(double amount) {
  if (amount < 10) return 10;
  if (amount < 100) return 8;
  if (amount < 1000) return 6;
  if (amount < 10000) return 5;
  if (amount < 100000) return 3;
  return 1;
}

// The general number format of the original platform: fixed notation while
// the value has at most 15 integer digits and is at least 0.00001, else
// scientific as "1.5E20" / "1E-7" (no plus sign, no leading exponent zeros).
std::string shortestText(double amount) {
  if (amount == 0) return "0";
  // A sum of huge fees can overflow; the general format names what is left.
  if (std::isnan(amount)) return "NAN";
  if (std::isinf(amount)) return amount < 0 ? "-INF" : "INF";
  // to_chars, unlike printf, never uses the locale's decimal separator.
  char buffer[64];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::scientific, 14);
  std::string text(buffer, written.ptr);  // 15 significant digits: d.dddddddddddddde+XX
  const auto ePos = text.find('e');
  std::string mantissa = text.substr(0, ePos);
  const int exponent = std::atoi(text.c_str() + ePos + 1);

  const bool negative = mantissa[0] == '-';
  std::string digits;
  for (char c : mantissa)
    if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string result = negative ? "-" : "";
  if (exponent >= 15 || std::fabs(amount) < 0.00001) {
    result += digits.substr(0, 1);
    if (digits.size() > 1) result += "." + digits.substr(1);
    result += "E" + std::to_string(exponent);
    return result;
  }
  if (exponent < 0) {
    result += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return result;
  }
  const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= integerDigits) {
    result += digits + std::string(integerDigits - digits.size(), '0');
  } else {
    result += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
  }
  return result;
}

}  // namespace

std::string FormatMoney(double amount) {
  std::string text = shortestText(amount);
  const auto point = text.find('.');
  if (point == std::string::npos) {
    text += ".00";
  } else if (text.size() - point - 1 == 1) {
    text += "0";
  }
  return std::string(static_cast<std::size_t>(leadingBlanksFor(amount)), ' ') + text;
}

std::optional<double> readAmount(const std::string& text) {
  const std::string body = trimSpaces(text);

  // Check the whole syntax first: strtod alone would accept "inf", "nan",
  // hexadecimal and a locale's own decimal separator.
  std::size_t i = 0;
  const auto digitsAt = [&body](std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < body.size() && std::isdigit(static_cast<unsigned char>(body[pos]))) ++pos;
    return pos - start;
  };
  if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
  std::size_t mantissaDigits = digitsAt(i);
  if (i < body.size() && body[i] == '.') {
    ++i;
    mantissaDigits += digitsAt(i);
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    if (digitsAt(i) == 0) return std::nullopt;
  }
  if (i != body.size()) return std::nullopt;

  // from_chars reads the syntax checked above whatever the locale; it takes
  // no plus sign, and refuses values beyond the range of a double.
  const std::size_t from = body[0] == '+' ? 1 : 0;
  double value = 0;
  const auto [parsedEnd, error] =
      std::from_chars(body.data() + from, body.data() + body.size(), value);
  if (error != std::errc() || parsedEnd != body.data() + body.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

bool readMillionths(const std::string& text, std::int64_t& millionths, int& decimals) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t whole = 0;
  bool digits = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    if (whole > 1'000'000'000'000) return false;  // beyond any amount a log holds
    whole = whole * 10 + (text[i++] - '0');
    digits = true;
  }
  std::int64_t fraction = 0;
  decimals = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      if (decimals < 6) fraction = fraction * 10 + (text[i] - '0');
      ++decimals;
      ++i;
      digits = true;
    }
  }
  if (!digits || i != text.size()) return false;
  for (int d = std::min(decimals, 6); d < 6; ++d) fraction *= 10;
  decimals = std::min(decimals, 6);
  millionths = whole * 1'000'000 + fraction;
  if (negative) millionths = -millionths;
  return true;
}

}  // namespace kestrel
