#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The 22-digit article number of today's certified forms (the Intelligent
// Mail package barcode): channel (2 digits, 91-95), service type (3), mailer
// or device identifier and serial, and the GS1 mod-10 check digit. What a
// person types or a scanner sends is read here; the numbering steps it.

// Why a text is not an article number. Each has its own message.
enum class ArticleNumberProblem {
  None,
  NotDigits,     // a letter or sign that no form number carries
  TooFewDigits,  // fewer than 22 digits
  TooManyDigits,
  LongForm,  // 26 digits: the older long form, too wide for the log
  WrongCheckDigit,
};

struct ArticleNumberReading {
  std::string digits;  // what remains after the clean-up
  ArticleNumberProblem problem = ArticleNumberProblem::None;

  bool ok() const { return problem == ArticleNumberProblem::None; }
};

// Reads a number as a person types it or a scanner sends it: blanks, a
// leading GS1 symbology identifier "]C1" and group separators (ASCII 29) are
// dropped, and a routing prefix "420" + ZIP (5 or 9 digits) before the 22
// digits is taken off; it is never part of the check digit or the number.
// What remains must be 22 digits whose check digit is right.
ArticleNumberReading readArticleNumber(std::string_view typed);

// The message that tells the user what is wrong with `reading`, naming the
// digits read where that helps. Empty for a good reading.
std::string articleNumberProblemText(const ArticleNumberReading& reading);

// What a whole article number says, for the user to check the form in the
// printer at a glance: its channel ("USPS retail form", "your Mailer ID", ...)
// and its serial (digits 15-21, the part that counts from form to form).
// Requires: 22 digits.
std::string describeArticleNumber(std::string_view digits);

}  // namespace kestrel
