// Date texts: the program's format from the system's, reading rules, window.
#include <gtest/gtest.h>

#include "DbaseTestSupport.h"
#include "dbase/DateText.h"
#include "dbase/EConvertError.h"

namespace kestrel::test {
namespace {

class DateTextTest : public DbaseTest {};

TEST_F(DateTextTest, ProgramFormatFollowsTheSystemFormat) {
  struct Case {
    const char* system;
    DateOrder order;
    char separator;
    bool fourDigits;
    const char* text;  // 8 December 2026 in the program's format
    const char* blank;
  };
  const Case cases[] = {
      {"M/d/yyyy", DateOrder::MonthDayYear, '/', true, "12/08/2026", "  /  /    "},
      {"M/d/yy", DateOrder::MonthDayYear, '/', false, "12/08/26", "  /  /  "},
      {"dd.MM.yyyy", DateOrder::DayMonthYear, '.', true, "08.12.2026", "  .  .    "},
      {"d-M-YYYY", DateOrder::DayMonthYear, '-', true, "08-12-2026", "  -  -    "},
      {"dd/MM/yy", DateOrder::DayMonthYear, '/', false, "08/12/26", "  /  /  "},
      {"yyyy-MM-dd", DateOrder::YearMonthDay, '.', true, "2026.12.08", "    .  .  "},
  };
  for (const Case& c : cases) {
    SetProgramDateFormat(c.system);
    EXPECT_EQ(programDateFormat().order, c.order) << c.system;
    EXPECT_EQ(programDateFormat().separator, c.separator) << c.system;
    EXPECT_EQ(programDateFormat().fourDigitYear, c.fourDigits) << c.system;
    EXPECT_EQ(formatProgramDate({2026, 12, 8}), c.text) << c.system;
    EXPECT_EQ(blankDateTemplate(), c.blank) << c.system;
    EXPECT_EQ(parseProgramDate(c.text), (Date{2026, 12, 8})) << c.system;
  }
}

TEST_F(DateTextTest, ReadingRules) {
  EXPECT_EQ(parseProgramDate("12/8/2026"), (Date{2026, 12, 8}));
  EXPECT_EQ(parseProgramDate(" 1 - 2 . 2027 "), (Date{2027, 1, 2}));
  EXPECT_EQ(parseProgramDate("2/29/2000"), (Date{2000, 2, 29}));
  EXPECT_FALSE(parseProgramDate("2/29/1900"));
  EXPECT_FALSE(parseProgramDate("2/29/2026"));
  EXPECT_FALSE(parseProgramDate("13/1/2026"));
  EXPECT_FALSE(parseProgramDate("4/31/2026"));
  EXPECT_FALSE(parseProgramDate("123/1/2026"));
  EXPECT_FALSE(parseProgramDate("1/2"));
  EXPECT_FALSE(parseProgramDate("a/b/c"));
  EXPECT_TRUE(isBlankDateText(""));
  EXPECT_TRUE(isBlankDateText("     "));
  EXPECT_TRUE(isBlankDateText("  /  /    "));
  EXPECT_FALSE(isBlankDateText("  /  /"));
}

TEST_F(DateTextTest, TwoDigitYearsFallInTheWindowStartingSeventyYearsBack) {
  EXPECT_EQ(windowedYear(56, 2026), 1956);
  EXPECT_EQ(windowedYear(99, 2026), 1999);
  EXPECT_EQ(windowedYear(0, 2026), 2000);
  EXPECT_EQ(windowedYear(55, 2026), 2055);
  EXPECT_EQ(windowedYear(69, 2040), 2069);
  EXPECT_EQ(windowedYear(70, 2040), 1970);
  const int year = today().year;
  EXPECT_EQ(parseProgramDate("1/1/" + std::to_string((year - 70) % 100 + 100).substr(1))->year,
            year - 70);
}

TEST_F(DateTextTest, FieldTextFallsBackToSystemFormatAndWarnsWhenUnreadable) {
  WarningRecorder warnings;
  EXPECT_FALSE(dateFromFieldText("  /  /    ").has_value());
  EXPECT_EQ(dateFromFieldText("12/8/2026"), (Date{2026, 12, 8}));
  EXPECT_THROW(dateFromFieldText("31/12/2026"), EConvertError);
  EXPECT_TRUE(warnings.texts().empty());

  // A system format whose texts the program's format cannot read back.
  SetProgramDateFormat("d MMM yyyy");
  EXPECT_EQ(formatSystemDate({2026, 12, 8}), "8 Dec 2026");
  EXPECT_FALSE(dateFromFieldText("8.12.2026").has_value());
  ASSERT_EQ(warnings.texts().size(), 1u);
  EXPECT_EQ(warnings.texts()[0], "        Invalid date       ");
}

}  // namespace
}  // namespace kestrel::test
