#include "app/FeeRules.h"

#include "core/Money.h"

namespace kestrel {

std::string NormalizedFeeText(const std::string& text) {
  const auto amount = ReadAmount(text);
  if (amount && *amount > 0) return FormatMoney(*amount);
  return " ";
}

double FeeTotal(const std::vector<std::string>& feeTexts) {
  double total = 0;
  for (const std::string& text : feeTexts) {
    if (const auto amount = ReadAmount(NormalizedFeeText(text))) total += *amount;
  }
  return total;
}

}  // namespace kestrel
