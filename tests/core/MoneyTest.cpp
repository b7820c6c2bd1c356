#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>

#include "core/Money.h"

namespace kestrel {
namespace {

std::string blanks(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

TEST(FormatMoney, BlankCountsAndDecimalsFollowTheSizeSteps) {
  struct Case {
    double amount;
    int blanks;
    const char* text;
  };
  const Case cases[] = {
      {0.39, 10, "0.39"},        {2.4, 10, "2.40"},        {12, 8, "12.00"},
      {12.5, 8, "12.50"},        {2.345, 10, "2.345"},     {1234.5, 5, "1234.50"},
      {99999.99, 3, "99999.99"}, {100000, 1, "100000.00"}, {-3, 10, "-3.00"},
      {0.1 + 0.2, 10, "0.30"},   {999.5, 6, "999.50"},     {0, 10, "0.00"},
      {9.999, 10, "9.999"},      {10, 8, "10.00"},         {0.05, 10, "0.05"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatMoney(c.amount), blanks(c.blanks) + c.text) << c.amount;
  }
}

TEST(FormatMoney, HugeAndTinyAmountsUseTheScientificForm) {
  // Fifteen significant digits at most: beyond that the general format
  // switches to an exponent, and the text gets its ".00" appended literally.
  EXPECT_EQ(FormatMoney(1e300), blanks(1) + "1E300.00");
  EXPECT_EQ(FormatMoney(123456789012345.0), blanks(1) + "123456789012345.00");
  EXPECT_EQ(FormatMoney(1234567890123456.0), blanks(1) + "1.23456789012346E15");
  EXPECT_EQ(FormatMoney(0.000001), blanks(10) + "1E-6.00");
  // Two fees near the top of the range add up beyond it.
  EXPECT_EQ(FormatMoney(1e308 + 1e308), blanks(1) + "INF.00");
  EXPECT_EQ(FormatMoney(-1e308 - 1e308), blanks(10) + "-INF.00");
}

TEST(ReadAmount, AcceptsBlanksSignDecimalsAndExponent) {
  EXPECT_EQ(readAmount("  12 "), 12.0);
  EXPECT_EQ(readAmount("1e5"), 100000.0);
  EXPECT_EQ(readAmount("-3"), -3.0);
  EXPECT_EQ(readAmount("+2.5"), 2.5);
  EXPECT_EQ(readAmount(".5"), 0.5);
  EXPECT_EQ(readAmount("5."), 5.0);
  EXPECT_EQ(readAmount("2.5E-1"), 0.25);
}

TEST(ReadAmount, RefusesEverythingElse) {
  for (const char* text : {"", "   ", "abc", "12,5", "1.2.3", "e5", "1e", "1e+", "--1", "+", ".",
                           "inf", "nan", "0x10", "1e400", "12 5", "\t12"}) {
    EXPECT_FALSE(readAmount(text).has_value()) << '"' << text << '"';
  }
}

TEST(ReadAmount, DecimalPointStaysADotUnderACommaLocale) {
  // A regional setting with "," as the decimal separator must change nothing.
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
  EXPECT_EQ(readAmount("12.5"), 12.5);
  EXPECT_FALSE(readAmount("12,5").has_value());
  EXPECT_EQ(FormatMoney(12.5), blanks(8) + "12.50");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

// The two readers side by side on the same texts: the window's takes what a
// user may type (blanks, an exponent), the report's only the plain decimal
// texts the log holds, and sums them exactly, however many records there are.
TEST(ReadMillionths, ReadsTheLogsPlainAmountsExactly) {
  struct Case {
    const char* text;
    bool isAmount;
    std::int64_t millionths;
    int decimals;
  };
  const Case cases[] = {
      {"2.40", true, 2'400'000, 2},
      {"-3", true, -3'000'000, 0},
      {"+0.5", true, 500'000, 1},
      {".25", true, 250'000, 2},
      {"5.", true, 5'000'000, 0},
      {"1.23456789", true, 1'234'567, 6},
      {"", false, 0, 0},
      {" 2.40", false, 0, 0},
      {"1e5", false, 0, 0},
      {"12,5", false, 0, 0},
      {"-", false, 0, 0},
      {"99999999999999999999", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::int64_t millionths = 0;
    int decimals = 0;
    ASSERT_EQ(readMillionths(c.text, millionths, decimals), c.isAmount);
    if (!c.isAmount) continue;
    EXPECT_EQ(millionths, c.millionths);
    EXPECT_EQ(decimals, c.decimals);
  }
  // Ten thousand fees of 0.10: exact in millionths, not in doubles.
  std::int64_t total = 0;
  double doubles = 0;
  for (int k = 0; k < 10000; ++k) {
    std::int64_t millionths = 0;
    int decimals = 0;
    ASSERT_TRUE(readMillionths("0.10", millionths, decimals));
    total += millionths;
    doubles += *readAmount("0.10");
  }
  EXPECT_EQ(total, 1'000'000'000);
  EXPECT_NE(doubles, 1000.0);
}

}  // namespace
}  // namespace kestrel
