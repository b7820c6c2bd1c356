#pragma once

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

// Reads an amount: blanks around it are allowed, then an optional sign,
// digits with an optional "." and an optional exponent. Anything else, an
// empty text, blanks only, or a value beyond the range of a double, is not a
// number.
std::optional<double> readAmount(const std::string& text);

}  // namespace kestrel
