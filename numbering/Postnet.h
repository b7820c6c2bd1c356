#pragma once

#include <string_view>
#include <vector>

namespace kestrel {

// POSTNET (USPS), encoding only: digits to a sequence of full and half bars.

// Bars per digit, and the frame bars around the digits.
inline constexpr int kPostnetBarsPerDigit = 5;
inline constexpr int kPostnetFrameBars = 2;

// The check digit that makes the digit sum a multiple of 10.
// Requires: `digits` holds decimal digits only.
int postnetCheckDigit(std::string_view digits);

// The bars of the symbol, left to right, true for a full bar and false for a
// half bar: the opening frame bar, five bars per digit, five for the check
// digit, the closing frame bar. Five digits give 32 bars, nine give 52.
// An empty text has no symbol and gives no bars.
// Requires: `digits` holds decimal digits only.
std::vector<bool> postnetBars(std::string_view digits);

}  // namespace kestrel
