#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <string>

#include "numbering/Code128.h"

namespace kestrel {
namespace {

std::string widthsText(int value) {
  std::string text;
  for (int w : code128Widths(value)) text += static_cast<char>('0' + w);
  return text;
}

std::string modulesText(const std::vector<std::uint8_t>& modules) {
  std::string text;
  for (std::uint8_t m : modules) text += m ? '1' : '0';
  return text;
}

TEST(Code128Patterns, EverySymbolIsElevenModulesOfThreeBarsAndAllDiffer) {
  // ISO/IEC 15417: 11 modules, three bars and three spaces of 1-4 modules.
  std::set<std::string> seen;
  for (int value = 0; value < kCode128Stop; ++value) {
    const std::vector<int> widths = code128Widths(value);
    ASSERT_EQ(widths.size(), 6u) << value;
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), kCode128SymbolModules) << value;
    for (int w : widths) EXPECT_TRUE(w >= 1 && w <= 4) << value;
    // Bars add up to an even number of modules (the standard's parity rule).
    EXPECT_EQ((widths[0] + widths[2] + widths[4]) % 2, 0) << value;
    EXPECT_TRUE(seen.insert(widthsText(value)).second) << "duplicate pattern " << value;
  }
  const std::vector<int> stop = code128Widths(kCode128Stop);
  EXPECT_EQ(std::accumulate(stop.begin(), stop.end(), 0), kCode128StopModules);
  EXPECT_THROW(code128Widths(107), std::out_of_range);
  EXPECT_THROW(code128Widths(-1), std::out_of_range);
}

TEST(Code128Patterns, FixedSymbolsOfTheStandard) {
  // ISO/IEC 15417 symbol character table.
  EXPECT_EQ(widthsText(kCode128StartA), "211412");
  EXPECT_EQ(widthsText(kCode128StartB), "211214");
  EXPECT_EQ(widthsText(kCode128StartC), "211232");
  EXPECT_EQ(widthsText(kCode128Stop), "2331112");
  EXPECT_EQ(widthsText(0), "212222");
  EXPECT_EQ(widthsText(102), "411131");
}

TEST(Code128Symbols, MailerNumberIsStartCElevenPairsCheckStop) {
  // Check by hand: 105 + 92*1 + 14*2 + 71*3 + 23*4 + 45*5 + 67*6 + 89*7 + 15*11
  // = 1945 = 18 * 103 + 91.
  const std::vector<int> expected = {105, 92, 14, 71, 23, 45, 67, 89, 0, 0, 0, 15, 91, 106};
  EXPECT_EQ(code128Symbols("9214712345678900000015"), expected);
  const std::vector<std::uint8_t> modules = code128Modules(expected);
  EXPECT_EQ(modules.size(), 156u);  // 13 * 11 + 13; with quiet zones 176
  EXPECT_EQ(modulesText(modules).substr(0, 11), "11010011100");  // Start C
  EXPECT_EQ(modulesText(modules).substr(143), "1100011101011");  // Stop
}

TEST(Code128Symbols, TAndFNumbersDifferInPrefixPairsCheckDigitAndCheckCharacter) {
  const std::vector<int> t = code128Symbols("9214712345678900000015");
  const std::vector<int> f = code128Symbols("9290912345678900000019");
  ASSERT_EQ(t.size(), f.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    const bool differs = i == 2 || i == 3 || i == 11 || i == 12;
    EXPECT_EQ(t[i] != f[i], differs) << "symbol " << i;
  }
  EXPECT_EQ(f[2], 90);
  EXPECT_EQ(f[3], 91);
}

TEST(Code128Symbols, CodeSetChoices) {
  struct Case {
    std::string text;
    std::vector<int> data;  // between the start character and the check character
    int start;
  };
  const Case cases[] = {
      {"12", {12}, kCode128StartC},
      {"1", {17}, kCode128StartB},
      {"12345", {12, 34, kCode128CodeB, 21}, kCode128StartC},
      {"abc", {65, 66, 67}, kCode128StartB},
      {"AB", {33, 34}, kCode128StartB},
      {"ab1234cd", {65, 66, kCode128CodeC, 12, 34, kCode128CodeB, 67, 68}, kCode128StartB},
      {"a12345", {65, 17, kCode128CodeC, 23, 45}, kCode128StartB},
      {"a123", {65, 17, 18, 19}, kCode128StartB},
      {"\x01"
       "A",
       {65, 33},
       kCode128StartA},
      {"a\x01", {65, kCode128CodeA, 65}, kCode128StartB},
      {"1234\ta", {12, 34, kCode128CodeA, 73, kCode128CodeB, 65}, kCode128StartC},
      // Character 128: FNC4 then NUL, both in code set A.
      {"\x80", {101, 64}, kCode128StartA},
      {"a\x80", {65, kCode128CodeA, 101, 64}, kCode128StartB},
  };
  for (const Case& c : cases) {
    std::vector<int> expected = {c.start};
    expected.insert(expected.end(), c.data.begin(), c.data.end());
    expected.push_back(code128CheckCharacter(expected));
    expected.push_back(kCode128Stop);
    EXPECT_EQ(code128Symbols(c.text), expected) << c.text;
  }
  EXPECT_TRUE(code128Symbols("").empty());
}

TEST(Code128Symbols, CheckCharacterFromTheStandardsRule) {
  // Start B, "AIM": 104 + 33*1 + 41*2 + 45*3 = 354 = 3 * 103 + 45.
  EXPECT_EQ(code128CheckCharacter({104, 33, 41, 45}), 45);
  // Weights past 103 wrap: 103 data characters of value 1 after Start C add
  // (1 + ... + 103) = 5356 = 52 * 103, leaving 105 mod 103 = 2.
  std::vector<int> values(104, 1);
  values[0] = kCode128StartC;
  EXPECT_EQ(code128CheckCharacter(values), 2);
}

}  // namespace
}  // namespace kestrel
