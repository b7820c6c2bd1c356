#pragma once

#include <string>
#include <vector>

namespace kestrel {

// The rules behind the fee fields of the main window.

// The text a fee field shows once it is left: the MoneyText of its amount when
// that is a number greater than 0, otherwise a single blank.
std::string normalizedFeeText(const std::string& text);

// The sum of the fees as the fields show them once normalised: each text
// counts with the amount of its normalised form, so a negative, zero or
// unreadable text counts nothing even while it is still in the field being
// left. The total then always equals the fees the fields show and print.
double feeTotal(const std::vector<std::string>& feeTexts);

}  // namespace kestrel
