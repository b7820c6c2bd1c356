#include "report/ReportLayout.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "dbase/MessagePath.h"
#include "report/ReportError.h"

namespace kestrel {

namespace {

constexpr const char* kMagic = "kestrel-report-layout";
constexpr const char* kVersion = "1";

// The file is edited by hand, so every byte of it is outside input. These
// bounds keep a hostile or damaged file from costing more memory or time
// than a layout can use, and keep every size the pages are computed from
// far inside the ranges of the numbers they are computed in. The shipped
// layout is a few kilobytes and stays far below each of them.
constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr std::size_t kMaxLineBytes = 1000;
constexpr std::size_t kMaxReports = 100;
constexpr std::size_t kMaxRows = 100;
constexpr std::size_t kMaxColumns = 500;  // in all rows of a report
constexpr std::size_t kMaxItems = 100;    // parameters, footer lines, boxes and rules each
constexpr double kMaxInches = 100;        // any length: page, margins, columns, shapes
constexpr double kMinFontSize = 1;        // points
constexpr double kMaxFontSize = 200;
// A word of the file quoted in a message: long words are cut and control
// bytes shown as "?", so that a binary file still gives a readable message.
constexpr std::size_t kMaxQuotedBytes = 40;

std::string shown(const std::string& word) {
  std::string text = word.substr(0, kMaxQuotedBytes);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return word.size() > kMaxQuotedBytes ? text + "..." : text;
}

// Splits one line into words: blanks separate them, a word in double quotes
// may hold blanks ("" inside it is one quote), and "#" outside quotes starts
// a comment. Returns false for a quote left open.
bool splitWords(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      std::string word;
      ++i;
      for (;;) {
        if (i >= line.size()) return false;
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            word += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        word += line[i++];
      }
      words.push_back(word);
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
      words.push_back(line.substr(start, i - start));
    }
  }
  return true;
}

class Parser {
 public:
  Parser(std::string path) : m_layout{} { m_layout.path = std::move(path); }

  ReportLayout run(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    std::vector<std::string> words;
    bool sawMagic = false;
    if (text.size() > kMaxFileBytes)
      fail("the file is larger than " + std::to_string(kMaxFileBytes) + " bytes");
    while (std::getline(lines, line)) {
      ++m_line;
      if (line.size() > kMaxLineBytes)
        fail("the line is longer than " + std::to_string(kMaxLineBytes) + " characters");
      if (!splitWords(line, words)) fail("a quoted text is not closed");
      if (words.empty()) continue;
      if (!sawMagic) {
        if (words.size() != 2 || words[0] != kMagic)
          fail(std::string("the file does not start with \"") + kMagic + " " + kVersion + "\"");
        if (words[1] != kVersion) fail("layout version " + shown(words[1]) + " is not supported");
        sawMagic = true;
        continue;
      }
      if (m_report) {
        reportStatement(words);
      } else {
        topStatement(words);
      }
    }
    if (!sawMagic)
      fail(std::string("the file is empty; it must start with \"") + kMagic + " " + kVersion +
           "\"");
    if (m_report) {
      m_line = m_report->line;
      fail("the report \"" + shown(m_report->name) + "\" has no \"end\"");
    }
    if (m_layout.connection.empty()) {
      m_line = 0;
      fail("the file names no data connection");
    }
    return std::move(m_layout);
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    if (m_line > 0)
      throw ReportError("The report layout file \"" + messagePath(m_layout.path) +
                        "\" is not valid: line " + std::to_string(m_line) + ": " + what + ".");
    throw ReportError("The report layout file \"" + messagePath(m_layout.path) +
                      "\" is not valid: " + what + ".");
  }

  void expectCount(const std::vector<std::string>& words, std::size_t count, const char* form) {
    if (words.size() != count) fail(std::string("expected \"") + form + "\"");
  }

  double number(const std::string& word, const char* what) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (word.empty() || end != word.c_str() + word.size() || errno != 0 || !std::isfinite(value) ||
        value < 0)
      fail(std::string(what) + " \"" + shown(word) + "\" is not a number of zero or more");
    return value;
  }

  // A length in inches: zero or more, and within kMaxInches.
  double inches(const std::string& word, const char* what) {
    const double value = number(word, what);
    if (value > kMaxInches)
      fail(std::string(what) + " \"" + shown(word) + "\" is more than " +
           std::to_string(static_cast<int>(kMaxInches)) + " inches");
    return value;
  }

  double positiveInches(const std::string& word, const char* what) {
    const double value = inches(word, what);
    if (value <= 0) fail(std::string(what) + " must be greater than zero");
    return value;
  }

  double fontSize(const std::string& word) {
    const double value = number(word, "the font size");
    if (value < kMinFontSize || value > kMaxFontSize)
      fail("the font size must be from " + std::to_string(static_cast<int>(kMinFontSize)) + " to " +
           std::to_string(static_cast<int>(kMaxFontSize)) + " points");
    return value;
  }

  // One more of something the file may hold at most `most` of.
  void countOne(std::size_t already, std::size_t most, const std::string& what) {
    if (already >= most) fail(what + " " + std::to_string(most));
  }

  void topStatement(const std::vector<std::string>& words) {
    const std::string& keyword = words[0];
    if (keyword == "page") {
      expectCount(words, 3, "page WIDTH HEIGHT");
      m_layout.pageWidth = positiveInches(words[1], "the page width");
      m_layout.pageHeight = positiveInches(words[2], "the page height");
      checkReportsAcross();
    } else if (keyword == "margins") {
      expectCount(words, 5, "margins LEFT TOP RIGHT BOTTOM");
      m_layout.marginLeft = inches(words[1], "the left margin");
      m_layout.marginTop = inches(words[2], "the top margin");
      m_layout.marginRight = inches(words[3], "the right margin");
      m_layout.marginBottom = inches(words[4], "the bottom margin");
      checkReportsAcross();
    } else if (keyword == "connection") {
      expectCount(words, 2, "connection NAME");
      m_layout.connection = words[1];
    } else if (keyword == "font") {
      expectCount(words, 3, "font FACE SIZE");
      m_fontFace = words[1];
      m_fontSize = fontSize(words[2]);
    } else if (keyword == "report") {
      expectCount(words, 2, "report NAME");
      if (m_layout.find(words[1])) fail("the report \"" + shown(words[1]) + "\" is defined twice");
      countOne(m_layout.reports.size(), kMaxReports, "the file may hold no more reports than");
      checkRoom();
      m_layout.reports.push_back(ReportDefinition{});
      m_report = &m_layout.reports.back();
      m_report->name = words[1];
      m_report->fontFace = m_fontFace;
      m_report->fontSize = m_fontSize;
      m_report->line = m_line;
    } else {
      fail("unknown statement \"" + shown(keyword) + "\"");
    }
  }

  void checkRoom() {
    if (m_layout.pageWidth <= m_layout.marginLeft + m_layout.marginRight ||
        m_layout.pageHeight <= m_layout.marginTop + m_layout.marginBottom)
      fail("the margins leave no room on the page");
  }

  // Whether something `left` inches from the left margin and `width` wide
  // stays inside the right margin, with a thousandth of an inch of slack for
  // decimal fractions in the file.
  bool fitsAcross(double left, double width) const { return left + width <= bodyWidth() + 0.001; }

  // A page or margins statement after a report has to leave room for what
  // the reports before it already placed: the sheet is one for all reports.
  void checkReportsAcross() {
    if (m_layout.reports.empty()) return;
    checkRoom();
    for (const ReportDefinition& report : m_layout.reports) {
      for (const ReportRow& row : report.rows)
        for (const ReportColumn& column : row.columns)
          if (!fitsAcross(column.left, column.width))
            fail("the column of line " + std::to_string(column.line) +
                 " would reach past the right margin");
      for (const ReportShape& shape : report.footShapes)
        if (!fitsAcross(shape.left, shape.width))
          fail(std::string("the ") + (shape.kind == ReportShape::Kind::Box ? "box" : "rule") +
               " of line " + std::to_string(shape.line) + " would reach past the right margin");
    }
  }

  double positive(const std::string& word, const char* what) {
    const double value = number(word, what);
    if (value <= 0) fail(std::string(what) + " must be greater than zero");
    return value;
  }

  void reportStatement(const std::vector<std::string>& words) {
    const std::string& keyword = words[0];
    if (keyword == "title") {
      expectCount(words, 2, "title TEXT");
      m_report->title = words[1];
    } else if (keyword == "parameter") {
      expectCount(words, 2, "parameter NAME");
      countOne(m_report->parameters.size(), kMaxItems, "a report may have no more parameters than");
      m_report->parameters.push_back(words[1]);
    } else if (keyword == "pagelabel") {
      expectCount(words, 2, "pagelabel TEXT");
      m_report->pageLabel = words[1];
    } else if (keyword == "sheet") {
      expectCount(words, 2, "sheet LINES");
      const double lines = positive(words[1], "the number of lines");
      // The bound first: a number past an int's range has no int to compare.
      if (lines > 1000 || lines != std::floor(lines))
        fail("the number of lines must be a whole number up to 1000");
      m_report->sheetLines = static_cast<int>(lines);
    } else if (keyword == "footer") {
      expectCount(words, 2, "footer TEXT");
      countOne(m_report->footers.size(), kMaxItems, "a report may have no more footer lines than");
      m_report->footers.push_back(words[1]);
    } else if (keyword == "box" || keyword == "rule") {
      shape(words);
    } else if (keyword == "count") {
      expectCount(words, 2, "count TEXT");
      m_report->countCaption = words[1];
    } else if (keyword == "font") {
      expectCount(words, 3, "font FACE SIZE");
      m_report->fontFace = words[1];
      m_report->fontSize = fontSize(words[2]);
    } else if (keyword == "row") {
      expectCount(words, 1, "row");
      if (!m_report->rows.empty() && m_report->rows.back().columns.empty())
        fail("the row before has no column");
      countOne(m_report->rows.size(), kMaxRows, "a report may have no more rows than");
      m_report->rows.emplace_back();
    } else if (keyword == "column") {
      column(words);
    } else if (keyword == "end") {
      expectCount(words, 1, "end");
      if (m_report->rows.empty() || m_report->rows.back().columns.empty())
        fail("the report \"" + shown(m_report->name) + "\" ends with a row that has no column");
      m_report = nullptr;
    } else {
      fail("unknown statement \"" + shown(keyword) + "\" in the report \"" + shown(m_report->name) +
           "\"");
    }
  }

  void column(const std::vector<std::string>& words) {
    const char* form = "column FIELD LEFT WIDTH HEADING [right] [sum]";
    if (words.size() < 5 || words.size() > 7) fail(std::string("expected \"") + form + "\"");
    if (m_report->rows.empty()) fail("a column comes before the first \"row\"");
    std::size_t columns = 0;
    for (const ReportRow& row : m_report->rows) columns += row.columns.size();
    countOne(columns, kMaxColumns, "a report may have no more columns than");
    ReportColumn c;
    c.field = words[1];
    c.left = inches(words[2], "the column's left edge");
    c.width = positiveInches(words[3], "the column's width");
    c.heading = words[4];
    c.line = m_line;
    for (std::size_t i = 5; i < words.size(); ++i) {
      if (words[i] == "right")
        c.alignRight = true;
      else if (words[i] == "sum")
        c.sum = true;
      else
        fail("unknown column option \"" + shown(words[i]) + "\"");
    }
    if (!fitsAcross(c.left, c.width)) fail("the column reaches past the right margin");
    m_report->rows.back().columns.push_back(std::move(c));
  }

  void shape(const std::vector<std::string>& words) {
    countOne(m_report->footShapes.size(), kMaxItems,
             "a report may have no more boxes and rules than");
    ReportShape s;
    s.line = m_line;
    if (words[0] == "box") {
      if (words.size() != 5 && words.size() != 6)
        fail("expected \"box LEFT TOP WIDTH HEIGHT [CAPTION]\"");
      s.kind = ReportShape::Kind::Box;
      s.height = positiveInches(words[4], "the box's height");
      if (words.size() == 6) s.caption = words[5];
    } else {
      expectCount(words, 4, "rule LEFT TOP WIDTH");
      s.kind = ReportShape::Kind::Rule;
    }
    s.left = inches(words[1], "the left edge");
    s.top = inches(words[2], "the top edge");
    s.width = positiveInches(words[3], "the width");
    // How far down the foot may reach is checked with the rest of the
    // page when the report runs; across, the margins hold as for columns.
    if (!fitsAcross(s.left, s.width))
      fail(std::string("the ") + words[0] + " reaches past the right margin");
    m_report->footShapes.push_back(std::move(s));
  }

  double bodyWidth() const {
    return m_layout.pageWidth - m_layout.marginLeft - m_layout.marginRight;
  }

  ReportLayout m_layout;
  ReportDefinition* m_report = nullptr;
  std::string m_fontFace = "Arial";
  double m_fontSize = 8;
  int m_line = 0;
};

}  // namespace

const ReportDefinition* ReportLayout::find(const std::string& name) const {
  for (const ReportDefinition& report : reports)
    if (report.name == name) return &report;
  return nullptr;
}

ReportLayout parseReportLayout(const std::string& text, const std::string& path) {
  return Parser(path).run(text);
}

ReportLayout loadReportLayout(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw ReportError("The report layout file \"" + messagePath(path) +
                      "\" cannot be read: " + std::generic_category().message(errno) + ".");
  // One byte past the bound is enough for the reader to refuse the file;
  // a huge file is never read whole.
  std::string text(kMaxFileBytes + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad())
    throw ReportError("The report layout file \"" + messagePath(path) + "\" cannot be read.");
  text.resize(static_cast<std::size_t>(file.gcount()));
  return parseReportLayout(text, path);
}

}  // namespace kestrel
