#include "mailer/FeeRules.h"

#include "core/Money.h"

namespace kestrel {

std::string normalizedFeeText(const std::string& text) {
  const auto amount = readAmount(text);
  if (amount && *amount > 0) return FormatMoney(*amount);
  return " ";
}

double feeTotal(const std::vector<std::string>& feeTexts) {
  double total = 0;
  for (const std::string& text : feeTexts) {
    if (const auto amount = readAmount(normalizedFeeText(text))) total += *amount;
  }
  return total;
}

}  // namespace kestrel
