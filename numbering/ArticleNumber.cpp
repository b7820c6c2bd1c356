#include "numbering/ArticleNumber.h"

#include "numbering/MailerNumber.h"

namespace kestrel {

namespace {

constexpr std::string_view kSymbologyIdentifier = "]C1";  // GS1-128, as scanners announce it
constexpr char kGroupSeparator = 29;
constexpr std::string_view kRoutingPrefix = "420";  // GS1 application identifier: ship-to ZIP
constexpr std::size_t kLongFormLength = 26;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The routing prefix carries a 5- or 9-digit ZIP Code; anything else before
// the 22 digits is not a prefix we may drop.
std::string withoutRoutingPrefix(const std::string& digits) {
  for (std::size_t zipLength : {5u, 9u}) {
    const std::size_t prefixLength = kRoutingPrefix.size() + zipLength;
    if (digits.size() == prefixLength + kMailerNumberLength && digits.starts_with(kRoutingPrefix))
      return digits.substr(prefixLength);
  }
  return digits;
}

}  // namespace

ArticleNumberReading readArticleNumber(std::string_view typed) {
  if (typed.starts_with(kSymbologyIdentifier)) typed.remove_prefix(kSymbologyIdentifier.size());
  ArticleNumberReading reading;
  bool onlyDigits = true;
  for (char c : typed) {
    if (c == ' ' || c == kGroupSeparator) continue;
    onlyDigits = onlyDigits && isDigit(c);
    reading.digits += c;
  }
  if (!onlyDigits) {
    reading.problem = ArticleNumberProblem::NotDigits;
    return reading;
  }
  reading.digits = withoutRoutingPrefix(reading.digits);
  if (reading.digits.size() < kMailerNumberLength)
    reading.problem = ArticleNumberProblem::TooFewDigits;
  else if (reading.digits.size() == kLongFormLength)
    reading.problem = ArticleNumberProblem::LongForm;
  else if (reading.digits.size() > kMailerNumberLength)
    reading.problem = ArticleNumberProblem::TooManyDigits;
  else if (mailerCheckDigit(std::string_view(reading.digits).substr(0, kMailerNumberLength - 1)) !=
           reading.digits.back())
    reading.problem = ArticleNumberProblem::WrongCheckDigit;
  return reading;
}

std::string articleNumberProblemText(const ArticleNumberReading& reading) {
  const std::string count = std::to_string(reading.digits.size());
  switch (reading.problem) {
    case ArticleNumberProblem::None:
      return {};
    case ArticleNumberProblem::NotDigits:
      return "The mailer number may hold only digits and blanks, but \"" + reading.digits +
             "\" holds other characters. Please enter the 22 digits printed on the form.";
    case ArticleNumberProblem::TooFewDigits:
      return "The mailer number has only " + count +
             " digits. Please enter all 22 digits printed on the form.";
    case ArticleNumberProblem::TooManyDigits:
      return "The mailer number has " + count +
             " digits, more than the 22 printed on the form. Please enter the 22 digits only.";
    case ArticleNumberProblem::LongForm:
      return "The mailer number has 26 digits: this long form does not fit the mailing log. "
             "Please enter the 22-digit number printed on the form.";
    case ArticleNumberProblem::WrongCheckDigit:
      return "The mailer number " + GroupMailerNumber(reading.digits) +
             " is mistyped: its last digit, the check digit, does not agree with the other "
             "digits. Please compare the number with the one printed on the form.";
  }
  return {};
}

std::string describeArticleNumber(std::string_view digits) {
  const std::string_view channel = digits.substr(0, 2);
  std::string kind;
  if (channel == "91")
    kind = "older USPS number";
  else if (channel == "92")
    kind = "your Mailer ID";
  else if (channel == "93")
    kind = "6-digit Mailer ID";
  else if (channel == "94")
    kind = "USPS online label";
  else if (channel == "95")
    kind = "USPS retail form";
  else
    kind = "channel " + std::string(channel);
  const std::size_t serialAt = kMailerNumberLength - kSerialLength - 1;
  return kind + ", serial " + std::string(digits.substr(serialAt, kSerialLength));
}

}  // namespace kestrel
