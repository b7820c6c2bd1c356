#include "dbase/DateText.h"

#include <cctype>
#include <ctime>
#include <string_view>
#include <vector>

#include "dbase/AsciiText.h"
#include "dbase/EConvertError.h"
#include "dbase/TableWarnings.h"

namespace kestrel {
namespace {

constexpr const char* kInvalidDateMessage = "        Invalid date       ";
constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

struct DateState {
  std::string systemFormat = "M/d/yyyy";
  ProgramDateFormat program;
};

DateState& state() {
  static DateState s;
  return s;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

DateOrder orderOfFormat(const std::string& format) {
  for (char c : format) {
    char l = asciiLower(c);
    if (l == 'd') return DateOrder::DayMonthYear;
    if (l == 'y') return DateOrder::YearMonthDay;
    if (l == 'm') return DateOrder::MonthDayYear;
  }
  return DateOrder::MonthDayYear;
}

// The three numbers of a date text in the given order; parts may be padded
// with blanks and separated by "/", "-" or "." (or, for the system format, by
// the format's own separator).
std::optional<Date> parseNumbers(std::string_view text, DateOrder order,
                                 std::string_view separators) {
  // Three numbers between the separators, blanks around each allowed; read
  // in place, as every date a record gets passes here.
  int values[3] = {0, 0, 0};
  std::size_t digits[3] = {0, 0, 0};
  std::size_t part = 0;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    if (at < text.size() && separators.find(text[at]) == std::string_view::npos) continue;
    if (part == 3) return std::nullopt;
    std::string_view number = text.substr(start, at - start);
    const std::size_t first = number.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    number = number.substr(first, number.find_last_not_of(' ') - first + 1);
    if (number.size() > 4) return std::nullopt;
    for (char c : number) {
      if (!isDigit(c)) return std::nullopt;
      values[part] = values[part] * 10 + (c - '0');
    }
    digits[part] = number.size();
    ++part;
    start = at + 1;
  }
  if (part != 3) return std::nullopt;
  int yearIndex = 2, monthIndex = 0, dayIndex = 1;
  if (order == DateOrder::DayMonthYear) {
    dayIndex = 0;
    monthIndex = 1;
  } else if (order == DateOrder::YearMonthDay) {
    yearIndex = 0;
    monthIndex = 1;
    dayIndex = 2;
  }
  if (digits[monthIndex] > 2 || digits[dayIndex] > 2) return std::nullopt;
  Date date{values[yearIndex], values[monthIndex], values[dayIndex]};
  if (digits[yearIndex] <= 2) date.year = windowedYear(date.year, today().year);
  if (!isValidDate(date.year, date.month, date.day)) return std::nullopt;
  return date;
}

std::string twoDigits(int value) {
  std::string s = std::to_string(value % 100);
  return s.size() < 2 ? "0" + s : s;
}

std::string yearText(int year, bool fourDigits) {
  if (!fourDigits) return twoDigits(year);
  std::string s = std::to_string(year);
  while (s.size() < 4) s = "0" + s;
  return s;
}

}  // namespace

void SetProgramDateFormat(const std::string& systemShortDateFormat) {
  DateState& s = state();
  s.systemFormat = systemShortDateFormat;
  ProgramDateFormat format;
  format.order = DateOrder::MonthDayYear;
  format.separator = '/';
  if (!systemShortDateFormat.empty()) {
    char first = asciiLower(systemShortDateFormat.front());
    if (first == 'd') {
      format.order = DateOrder::DayMonthYear;
      for (char c : systemShortDateFormat) {
        if (std::isalpha(static_cast<unsigned char>(c))) continue;
        format.separator = (c == '-' || c == '.') ? c : '/';
        break;
      }
    } else if (first == 'y') {
      format.order = DateOrder::YearMonthDay;
      format.separator = '.';
    }
  }
  std::string folded;
  for (char c : systemShortDateFormat) folded += asciiLower(c);
  format.fourDigitYear = folded.find("yyyy") != std::string::npos;
  s.program = format;
}

const ProgramDateFormat& programDateFormat() {
  return state().program;
}
const std::string& systemShortDateFormat() {
  return state().systemFormat;
}

bool isValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= days;
}

Date today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

int windowedYear(int twoDigitYear, int currentYear) {
  int start = currentYear - 70;
  int year = start - start % 100 + twoDigitYear;
  if (year < start) year += 100;
  return year;
}

std::string formatProgramDate(const Date& date) {
  const ProgramDateFormat& f = programDateFormat();
  // Written into one buffer: a scan formats a date for every record it reads.
  char text[16];
  char* out = text;
  const auto digits = [&out](int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
      out[i] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
    out += width;
  };
  const auto part = [&](char which) {
    if (which == 'd') {
      digits(date.day, 2);
    } else if (which == 'm') {
      digits(date.month, 2);
    } else {
      digits(f.fourDigitYear ? date.year : date.year % 100, f.fourDigitYear ? 4 : 2);
    }
  };
  const char* const order = f.order == DateOrder::DayMonthYear   ? "dmy"
                            : f.order == DateOrder::YearMonthDay ? "ymd"
                                                                 : "mdy";
  part(order[0]);
  *out++ = f.separator;
  part(order[1]);
  *out++ = f.separator;
  part(order[2]);
  return std::string(text, out);
}

std::string blankDateTemplate() {
  std::string text = formatProgramDate(Date{2000, 1, 1});
  for (char& c : text) {
    if (isDigit(c)) c = ' ';
  }
  return text;
}

std::string formatSystemDate(const Date& date) {
  const std::string& format = systemShortDateFormat();
  std::string out;
  for (std::size_t i = 0; i < format.size();) {
    char l = asciiLower(format[i]);
    std::size_t run = 1;
    while (i + run < format.size() && asciiLower(format[i + run]) == l) ++run;
    if (l == 'd') {
      out += run >= 2 ? twoDigits(date.day) : std::to_string(date.day);
    } else if (l == 'm') {
      std::string name = kMonthNames[date.month - 1];
      if (run >= 4) {
        out += name;
      } else if (run == 3) {
        out += name.substr(0, 3);
      } else {
        out += run == 2 ? twoDigits(date.month) : std::to_string(date.month);
      }
    } else if (l == 'y') {
      out += yearText(date.year, run >= 3);
    } else {
      out.append(run, format[i]);
    }
    i += run;
  }
  return out;
}

bool isBlankDateText(const std::string& text) {
  if (text.find_first_not_of(' ') == std::string::npos) return true;
  return text == blankDateTemplate();
}

std::optional<Date> parseProgramDate(const std::string& text) {
  return parseNumbers(text, programDateFormat().order, "/-.");
}

std::optional<Date> parseSystemDate(const std::string& text) {
  const std::string& format = systemShortDateFormat();
  std::string separators;
  for (char c : format) {
    if (!std::isalpha(static_cast<unsigned char>(c)) && c != ' ' &&
        separators.find(c) == std::string::npos) {
      separators += c;
    }
  }
  if (separators.empty()) return std::nullopt;
  return parseNumbers(text, orderOfFormat(format), separators);
}

std::optional<Date> dateFromFieldText(const std::string& text) {
  if (isBlankDateText(text)) return std::nullopt;
  std::optional<Date> date = parseProgramDate(text);
  if (!date) date = parseSystemDate(text);
  if (!date) throw EConvertError("'" + text + "' is not a valid date");
  if (!parseProgramDate(formatSystemDate(*date))) {
    showTableWarning(kInvalidDateMessage);
    return std::nullopt;
  }
  return date;
}

}  // namespace kestrel
