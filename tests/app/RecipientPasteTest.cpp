#include <gtest/gtest.h>

#include "app/RecipientPaste.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitClipboardLines, EveryLineEndEndsALine) {
  struct Case {
    const char* text;
    Lines lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\nc", {"a", "b", "c"}},
      {"a\n\rb\n\r", {"a", "b"}},
      // Text copied on Linux: bare line feeds, with or without one at the end.
      {"Bob\n12 Main St\nSpringfield, IL 62701", {"Bob", "12 Main St", "Springfield, IL 62701"}},
      {"Bob\n12 Main St\nSpringfield, IL 62701\n", {"Bob", "12 Main St", "Springfield, IL 62701"}},
      {"abc\n", {"abc"}},
      {"a\rb\r", {"a", "b"}},  // bare carriage returns
      {"a\nb\r\nc", {"a", "b", "c"}},
      // Two equal breaks in a row leave an empty line between them.
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\n\n", {"a", ""}},
      {"\r", {""}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitClipboardLines(c.text), c.lines) << c.text;
}

TEST(SplitClipboardLines, CopesWithManyAndLongLines) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += std::string(3000, 'x') + "\r\n";
  const Lines lines = splitClipboardLines(text);
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
    const CityLineParts parts = parseCityLine(c.line);
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
    const CityLineParts parts = parseCityLine(c.line);
    EXPECT_EQ(parts.city, c.city) << c.line;
    EXPECT_EQ(parts.state, c.state) << c.line;
    EXPECT_EQ(parts.zip, c.zip) << c.line;
  }
}

}  // namespace
}  // namespace kestrel
