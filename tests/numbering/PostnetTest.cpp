#include <gtest/gtest.h>

#include <string>

#include "numbering/Postnet.h"

namespace kestrel {
namespace {

std::string barsText(const std::vector<bool>& bars) {
  std::string text;
  for (bool full : bars) text += full ? '1' : '0';
  return text;
}

TEST(Postnet, DigitPatternsOfTheUspsTable) {
  // USPS: weights 7 4 2 1 0, two full bars per digit, 0 = 7 + 4. Each digit
  // alone is framed with its check digit, so bars 1-5 are the digit.
  const char* patterns[10] = {"11000", "00011", "00101", "00110", "01001",
                              "01010", "01100", "10001", "10010", "10100"};
  for (int digit = 0; digit < 10; ++digit) {
    const std::string bars = barsText(postnetBars(std::string(1, static_cast<char>('0' + digit))));
    EXPECT_EQ(bars.substr(1, 5), patterns[digit]) << digit;
  }
}

TEST(Postnet, CheckDigitMakesTheSumAMultipleOfTen) {
  EXPECT_EQ(postnetCheckDigit("12345"), 5);      // 15
  EXPECT_EQ(postnetCheckDigit("123456789"), 5);  // 45
  EXPECT_EQ(postnetCheckDigit("55555"), 5);      // 25
  EXPECT_EQ(postnetCheckDigit("19"), 0);         // 10: zero, never ten
  EXPECT_EQ(postnetCheckDigit("00000"), 0);
}

TEST(Postnet, FramedSymbolsOfFiveAndNineDigits) {
  // 12345 with check 5: frame, 1 2 3 4 5 5, frame.
  EXPECT_EQ(barsText(postnetBars("12345")),
            "1"
            "00011"
            "00101"
            "00110"
            "01001"
            "01010"
            "01010"
            "1");
  EXPECT_EQ(postnetBars("12345").size(), 32u);
  EXPECT_EQ(postnetBars("123456789").size(), 52u);
  EXPECT_EQ(postnetBars("12345678901").size(), 62u);
  EXPECT_TRUE(postnetBars("").empty());
}

}  // namespace
}  // namespace kestrel
