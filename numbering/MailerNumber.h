#pragma once

#include <string>
#include <string_view>

#include "numbering/NumberingState.h"

namespace kestrel {

// The 22-digit mailer number: prefix (5), customer ID (9), serial (7), check
// digit (1). Kind "F" takes the prefix "92909"; every other kind, the empty
// one included, is the T number with "92147".
inline constexpr std::size_t kMailerNumberLength = 22;
inline constexpr std::size_t kCustIdLength = 9;
inline constexpr std::size_t kSerialLength = 7;
inline constexpr const char* kTNumberPrefix = "92147";
inline constexpr const char* kFNumberPrefix = "92909";

// Composes the number. Never fails: a customer ID or serial that does not read
// as a whole number in the signed 32-bit range, or reads as a negative one,
// is taken as all zeros; shorter ones are zero padded, longer ones cut to
// their first 9 (customer ID) or 7 (serial) characters. Leading blanks and a
// "+" of a text that does read are dropped, so the result is always 22 digits.
std::string ComposeMailerNumber(const std::string& custId, const std::string& serial,
                                const std::string& kind);

// The text with every "-" removed: a customer ID may be stored hyphenated
// ("12-345-6789"), and is composed and printed without them.
std::string withoutHyphens(std::string text);

// The display form: characters 1-4, 5-8, 9-12, 13-16, 17-20 and 21-22 joined
// by single blanks; groups past the end of the text are cut (possibly empty),
// the five blanks are always written.
std::string GroupMailerNumber(const std::string& number);

// Numerical order of two mailer numbers as logged or typed (grouped by
// blanks): only their digits count, leading zeros do not.
bool mailerNumberLess(const std::string& a, const std::string& b);

// GS1 mod-10 check digit of a digit string: weight 3 on the rightmost digit,
// then 1 and 3 alternating. Requires: `body` holds decimal digits only.
char mailerCheckDigit(std::string_view body);

// Moves the numbering state one mailer forward in the mode PrintBarCode
// selects: the serial (bar codes printed) or the counter inside MailerNum
// (no bar codes; up when Increment, else down). 9999999 is followed by
// 0000001 and 0000000 is preceded by 9999999. Throws NumberConversionError,
// leaving the state unchanged, when the serial or counter is not a number.
void AdvanceMailerNumber(NumberingState& state);

// The exact reverse of AdvanceMailerNumber; same failure.
void StepBackMailerNumber(NumberingState& state);

}  // namespace kestrel
