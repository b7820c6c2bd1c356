#pragma once

#include <optional>
#include <string>

namespace kestrel {

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  bool operator==(const Date&) const = default;
};

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The date format the storage layer reads and writes date texts in. It comes
// from the system's short date format, once, at start-up.
struct ProgramDateFormat {
  DateOrder order = DateOrder::MonthDayYear;
  char separator = '/';
  bool fourDigitYear = true;
  bool operator==(const ProgramDateFormat&) const = default;
};

// Hands the system's short date format (for example "M/d/yyyy", "dd.MM.yyyy")
// to the storage layer. Until it is called the American "M/d/yyyy" applies.
void SetProgramDateFormat(const std::string& systemShortDateFormat);
const ProgramDateFormat& programDateFormat();
const std::string& systemShortDateFormat();

bool isValidDate(int year, int month, int day);
Date today();

// A two-digit year placed in the hundred-year window that starts 70 years
// before the current year.
int windowedYear(int twoDigitYear, int currentYear);

// The date in the program's format: 10 characters with a four-digit year,
// 8 with two ("12/08/2026"); the blank template has blanks in place of digits.
std::string formatProgramDate(const Date& date);
std::string blankDateTemplate();
// The date in the system's short date format (the app hands today's date to
// the log in this form).
std::string formatSystemDate(const Date& date);

// Empty, all blanks, or the blank template.
bool isBlankDateText(const std::string& text);
std::optional<Date> parseProgramDate(const std::string& text);
std::optional<Date> parseSystemDate(const std::string& text);

// The value a date field takes from a text: nothing for a blank date. A text
// that neither format reads throws EConvertError. A date whose system-format
// text the program's format cannot read shows "        Invalid date       "
// and becomes the blank date.
std::optional<Date> dateFromFieldText(const std::string& text);

}  // namespace kestrel
