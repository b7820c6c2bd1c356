#include <gtest/gtest.h>

#include "app/FeeRules.h"
#include "app/RecipientPaste.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitClipboardLines, BreaksAtPairsOnly) {
  EXPECT_EQ(SplitClipboardLines("a\r\nb\r\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitClipboardLines("a\n\rb\n\r"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitClipboardLines("a\nb\r\nc"), (Lines{"a\nb", "c"}));  // a lone LF stays
  EXPECT_EQ(SplitClipboardLines("a\r\n\r\n"), (Lines{"a", ""}));      // trailing empty line
  EXPECT_EQ(SplitClipboardLines(""), Lines{});
}

TEST(SplitClipboardLines, TextEndingInALoneBreakCanYieldNoLine) {
  EXPECT_EQ(SplitClipboardLines("\r"), Lines{});
  EXPECT_EQ(SplitClipboardLines("abc\n"), Lines{});
  EXPECT_EQ(SplitClipboardLines("a\r\nb\n"), Lines{"a"});  // what follows the last pair is dropped
}

TEST(SplitClipboardLines, CopesWithManyAndLongLines) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += std::string(3000, 'x') + "\r\n";
  const Lines lines = SplitClipboardLines(text);
  ASSERT_EQ(lines.size(), 5000u);
  EXPECT_EQ(lines.back().size(), 3000u);
}

struct CityCase {
  const char* line;
  const char* city;
  const char* state;
  const char* zip;
};

TEST(ParseCityLine, ReadsCityStateAndZip) {
  const CityCase cases[] = {
      {"Springfield, IL 62701-1234", "Springfield", "IL", "62701-1234"},
      {"Springfield, IL 62701", "Springfield", "IL", "62701"},
      {"Springfield IL  62701", "Springfield", "IL", "62701"},
      // A hyphen in the city name no longer passes for the ZIP Code's.
      {"Wilkes-Barre, PA 18701", "Wilkes-Barre", "PA", "18701"},
      {"Wilkes-Barre, PA 18701-0001", "Wilkes-Barre", "PA", "18701-0001"},
      // Trailing blanks stay out of the ZIP Code.
      {"Springfield, IL 62701   ", "Springfield", "IL", "62701"},
      {"", "", "", ""},
      // Without a ZIP Code at the end the older rule still holds.
      {"Springfield, IL", "Springfi", "el", "d, IL"},
      {"Paris TX 7546-0", "Paris", "TX", " 7546-0"},
  };
  for (const CityCase& c : cases) {
    const CityLineParts parts = ParseCityLine(c.line);
    EXPECT_EQ(parts.city, c.city) << c.line;
    EXPECT_EQ(parts.state, c.state) << c.line;
    EXPECT_EQ(parts.zip, c.zip) << c.line;
  }
}

TEST(ParseCityLine, ScansStopAtTheFirstCharacter) {
  const CityCase cases[] = {
      {"62701", "", "", "62701"},   {"     62701", "", "", "62701"},
      {"X62701", "", "X", "62701"}, {" ,IL 62701", "", "IL", "62701"},
      {"-", "", "", "-"},
  };
  for (const CityCase& c : cases) {
    const CityLineParts parts = ParseCityLine(c.line);
    EXPECT_EQ(parts.city, c.city) << c.line;
    EXPECT_EQ(parts.state, c.state) << c.line;
    EXPECT_EQ(parts.zip, c.zip) << c.line;
  }
}

TEST(FeeRules, LeftFieldsAreNormalisedAndTheTotalCountsWhatReads) {
  EXPECT_EQ(NormalizedFeeText("5"), std::string(10, ' ') + "5.00");
  EXPECT_EQ(NormalizedFeeText("10.5"), std::string(8, ' ') + "10.50");
  for (const char* text : {"abc", "0", "-3", "", " ", "12,5"}) {
    EXPECT_EQ(NormalizedFeeText(text), " ") << text;
  }
  // A negative amount still in its field counts until the field is left.
  EXPECT_DOUBLE_EQ(FeeTotal({"-1", "2.40", "", "1.85"}), 3.25);
  EXPECT_DOUBLE_EQ(FeeTotal({"abc", "2.40", " ", "1.85"}), 4.25);
  EXPECT_DOUBLE_EQ(FeeTotal({"1e300", "1e300", "", ""}), 2e300);
}

}  // namespace
}  // namespace kestrel
