#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

// Amounts as the program shows, prints and logs them ("MoneyText").
//
// The decimal point is always ".", whatever the user's locale: the texts go
// into tables, the settings file and printed forms that other copies of the
// program read back, so they must not change with a regional setting.

// An amount right-aligned by leading blanks (10, 8, 6, 5, 3 or 1 by size;
// negative amounts take 10), written as the shortest decimal text of at most
// 15 significant digits, with at least two decimals. No rounding to cents.
std::string FormatMoney(double amount);

// Two readers of amounts, for two uses. The window reads what the user typed
// into a fee field as a double (readAmount): a fee and the total of four are
// shown again through FormatMoney, which prints the shortest text of at most
// 15 digits, so a double's binary rounding never shows. The log report adds
// up a column over every record of the log (readMillionths): a sum of
// thousands of doubles drifts ("0.1" has no exact binary value), so the
// report adds integer millionths, exactly, and shows the total with the most
// decimals any of its amounts had.

// Reads an amount: blanks around it are allowed, then an optional sign,
// digits with an optional "." and an optional exponent. Anything else, an
// empty text, blanks only, or a value beyond the range of a double, is not a
// number.
std::optional<double> readAmount(const std::string& text);

// Reads "[-]digits[.digits]" (a "+" is taken too) into millionths, and how
// many decimals it had (at most six count; more are cut). Anything else (a
// blank fee, a word, blanks around the text) is not an amount: false, and a
// report total skips it.
bool readMillionths(const std::string& text, std::int64_t& millionths, int& decimals);

}  // namespace kestrel
