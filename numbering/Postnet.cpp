#include "numbering/Postnet.h"

namespace kestrel {

namespace {

// The USPS digit patterns, leftmost bar first, 1 = full bar. The bars weigh
// 7, 4, 2, 1, 0 and the two full bars add up to the digit, 0 being 7 + 4.
constexpr const char* kDigitPatterns[10] = {
    "11000", "00011", "00101", "00110", "01001", "01010", "01100", "10001", "10010", "10100",
};

void appendDigit(std::vector<bool>& bars, int digit) {
  for (const char* p = kDigitPatterns[digit]; *p != '\0'; ++p) bars.push_back(*p == '1');
}

}  // namespace

int postnetCheckDigit(std::string_view digits) {
  int sum = 0;
  for (char c : digits) sum += c - '0';
  return (10 - sum % 10) % 10;
}

std::vector<bool> postnetBars(std::string_view digits) {
  if (digits.empty()) return {};
  std::vector<bool> bars;
  bars.reserve(kPostnetFrameBars + kPostnetBarsPerDigit * (digits.size() + 1));
  bars.push_back(true);
  for (char c : digits) appendDigit(bars, c - '0');
  appendDigit(bars, postnetCheckDigit(digits));
  bars.push_back(true);
  return bars;
}

}  // namespace kestrel
