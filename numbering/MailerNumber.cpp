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

// Where the customer ID and counter lie inside MailerNum. A 22-digit number
// is an article number as printed on the form: its first 14 digits (channel,
// service type and mailer or device identifier) are the form's own and stay
// as they are, the serial is digits 15-21 and only the check digit is made
// anew. Recomposing it with our own prefix would log a number that is not
// the one on the form. Every other text (the old 20-digit stock number, the
// default) holds the customer ID at characters 3-11 and the counter at 12-18,
// and is recomposed as a T number. Fields lying past the end of a short text
// are cut or empty.
constexpr std::size_t kArticleHeadLength = kMailerNumberLength - kSerialLength - 1;

bool isDigits(std::string_view text) {
  return text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string cut(const std::string& text, std::size_t first, std::size_t length) {
  return first < text.size() ? text.substr(first, length) : std::string();
}

std::string steppedStockNumber(const std::string& mailerNum, int delta) {
  const bool article = mailerNum.size() == kMailerNumberLength &&
                       isDigits(std::string_view(mailerNum).substr(0, kArticleHeadLength));
  if (article) {
    const std::string body =
        mailerNum.substr(0, kArticleHeadLength) +
        steppedCounter(mailerNum.substr(kArticleHeadLength, kSerialLength), delta);
    return body + mailerCheckDigit(body);
  }
  return ComposeMailerNumber(cut(mailerNum, 2, kCustIdLength),
                             steppedCounter(cut(mailerNum, 11, kSerialLength), delta), "T");
}

void stepMailerNumber(NumberingState& state, int direction) {
  if (state.PrintBarCode) {
    state.SerialNum = steppedCounter(state.SerialNum, direction);
    return;
  }
  state.MailerNum = steppedStockNumber(state.MailerNum, state.Increment ? direction : -direction);
}

}  // namespace

std::string ComposeMailerNumber(const std::string& custId, const std::string& serial,
                                const std::string& kind) {
  const std::string body = std::string(kind == "F" ? kFNumberPrefix : kTNumberPrefix) +
                           numberField(custId, kCustIdLength) + numberField(serial, kSerialLength);
  return body + mailerCheckDigit(body);
}

std::string withoutHyphens(std::string text) {
  std::erase(text, '-');
  return text;
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
