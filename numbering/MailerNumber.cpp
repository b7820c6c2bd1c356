#include "numbering/MailerNumber.h"

#include <cstdint>

#include "numbering/IntegerText.h"

namespace kestrel {

namespace {

// Reads the digits of a customer ID or serial for composition; anything that
// is not a non-negative number becomes zeros, then the field is padded and cut
// to its width.
std::string numberField(const std::string& text, std::size_t width) {
  std::string digits;
  if (!readDigitText(text, digits)) digits.clear();
  return zeroPadded(std::move(digits), width).substr(0, width);
}

// One step of a seven-digit counter. The sum is taken in 64 bits so that the
// largest 32-bit value steps to 2147483648 instead of wrapping to a negative
// number; such a counter fails to read on its next step.
std::string steppedCounter(const std::string& counter, int delta) {
  const std::int64_t next = std::int64_t{strToInt(counter)} + delta;
  std::string text = std::to_string(next);
  if (text == "10000000") text = "0000001";
  if (text == "-1") text = "9999999";
  return zeroPadded(std::move(text), kSerialLength);
}

// Where the customer ID and counter lie inside MailerNum. A 22-character
// number is one of our own compositions and keeps them where composition put
// them (characters 6-14 and 15-21); reading it at the positions of the typed
// 20-digit form would take part of the prefix as customer ID and the counter
// would never move past 1. Every other text (the typed 20-digit stock number,
// the default) holds the customer ID at characters 3-11 and the counter at
// 12-18. Fields lying past the end of a short text are cut or empty.
struct MailerNumFields {
  std::string custId;
  std::string counter;
};

std::string cut(const std::string& text, std::size_t first, std::size_t length) {
  return first < text.size() ? text.substr(first, length) : std::string();
}

MailerNumFields mailerNumFields(const std::string& mailerNum) {
  const bool composed = mailerNum.size() == kMailerNumberLength;
  const std::size_t custIdAt = composed ? 5 : 2;
  const std::size_t counterAt = composed ? 14 : 11;
  return {cut(mailerNum, custIdAt, kCustIdLength), cut(mailerNum, counterAt, kSerialLength)};
}

void stepMailerNumber(NumberingState& state, int direction) {
  if (state.PrintBarCode) {
    state.SerialNum = steppedCounter(state.SerialNum, direction);
    return;
  }
  const MailerNumFields fields = mailerNumFields(state.MailerNum);
  const int delta = state.Increment ? direction : -direction;
  const std::string counter = steppedCounter(fields.counter, delta);
  state.MailerNum = ComposeMailerNumber(fields.custId, counter, "T");
}

}  // namespace

std::string ComposeMailerNumber(const std::string& custId, const std::string& serial,
                                const std::string& kind) {
  const std::string body = std::string(kind == "F" ? kFNumberPrefix : kTNumberPrefix) +
                           numberField(custId, kCustIdLength) + numberField(serial, kSerialLength);
  return body + mailerCheckDigit(body);
}

std::string GroupMailerNumber(const std::string& number) {
  static constexpr std::size_t kGroupStarts[] = {0, 4, 8, 12, 16, 20};
  std::string display;
  for (std::size_t start : kGroupStarts) {
    if (start != 0) display += ' ';
    // The last group holds the two characters 21 and 22.
    display += cut(number, start, start == 20 ? 2 : 4);
  }
  return display;
}

namespace {

std::string significantDigits(const std::string& number) {
  std::string digits;
  for (char c : number)
    if (c >= '0' && c <= '9' && !(digits.empty() && c == '0')) digits += c;
  return digits;
}

}  // namespace

bool mailerNumberLess(const std::string& a, const std::string& b) {
  const std::string x = significantDigits(a);
  const std::string y = significantDigits(b);
  return x.size() != y.size() ? x.size() < y.size() : x < y;
}

char mailerCheckDigit(std::string_view body) {
  int sum = 0;
  int weight = 3;
  for (auto it = body.rbegin(); it != body.rend(); ++it) {
    sum += weight * (*it - '0');
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

void AdvanceMailerNumber(NumberingState& state) {
  stepMailerNumber(state, +1);
}

void StepBackMailerNumber(NumberingState& state) {
  stepMailerNumber(state, -1);
}

}  // namespace kestrel
