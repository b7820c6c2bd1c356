#pragma once

#include <string>
#include <vector>

namespace kestrel {

// The rules behind the fee fields of the main window.

// The text a fee field shows once it is left: the MoneyText of its amount when
// that is a number greater than 0, otherwise a single blank.
std::string NormalizedFeeText(const std::string& text);

// The sum of the fees as the fields stand: every text that reads as an amount
// counts (a negative or zero one too, while it is still in its field); the
// others are skipped without a message.
double FeeTotal(const std::vector<std::string>& feeTexts);

}  // namespace kestrel
