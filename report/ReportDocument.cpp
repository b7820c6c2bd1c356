#include "report/ReportDocument.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/Money.h"
#include "dbase/DataSet.h"
#include "dbase/MessagePath.h"
#include "print/ShapedTexts.h"
#include "report/ReportError.h"

namespace kestrel {

namespace {

// Line spacing as a multiple of the font size, and the title's size over
// the body's; the rules under the headings and above the totals take a few
// points of their own.
constexpr double kLineFactor = 1.25;
constexpr double kTitleGrowth = 4;
constexpr double kRuleSpace = 4;
constexpr double kPointsPerInch = 72;
// The field name of a column that shows the record's number in the run
// (1, 2, ...), as forms with numbered lines need.
constexpr const char* kLineNumberField = "#";

std::string trimmed(const std::string& text, bool left) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  std::size_t start = 0;
  if (left)
    while (start < end && text[start] == ' ') ++start;
  return text.substr(start, end - start);
}

}  // namespace

ReportDocument::ReportDocument(const ReportLayout& layout, const ReportDefinition& report,
                               std::map<std::string, std::string> parameters, DataSet& data)
    : m_layout(layout), m_report(report), m_parameters(std::move(parameters)), m_data(data) {
  for (const ReportRow& row : report.rows) {
    for (const ReportColumn& column : row.columns) {
      std::string found;
      bool date = false;
      const bool lineNumber = column.field == kLineNumberField;
      if (lineNumber) found = column.field;
      for (int i = 0; i < data.FieldCount() && found.empty(); ++i) {
        if (sameFieldName(data.FieldName(i), column.field)) {
          found = data.FieldName(i);
          date = data.FieldType(i) == 'D';
        }
      }
      if (found.empty())
        throw ReportError("The report layout file \"" + messagePath(layout.path) +
                          "\" is not valid: line " + std::to_string(column.line) +
                          ": the report \"" + report.name + "\" shows the field \"" + column.field +
                          "\", which its data lacks.");
      m_fields.push_back(found);
      m_trimLeft.push_back(column.alignRight);
      m_isDate.push_back(date);
      m_isLineNumber.push_back(lineNumber);
    }
  }
  m_totals.resize(m_fields.size());
  const double body = recordRoom();
  // The layout file bounds the page and the font sizes; the cap only keeps
  // the count an int for a layout made in code.
  m_perPage = body > 0 ? static_cast<int>(std::min(std::floor(body / blockHeight()), 1e6)) : 0;
  // A sheet of fixed lines holds its lines and the totals on every page;
  // the totals never move to a page of their own.
  const bool fits = report.sheetLines > 0
                        ? report.sheetLines * blockHeight() + summaryHeight() <= body + 0.001
                        : body >= summaryHeight();
  if (report.sheetLines > 0) m_perPage = report.sheetLines;
  if (m_perPage < 1 || !fits)
    throw ReportError("The report layout file \"" + messagePath(layout.path) +
                      "\" is not valid: line " + std::to_string(report.line) +
                      ": a record of the report \"" + report.name + "\" does not fit on a page.");
}

ReportDocument::~ReportDocument() = default;

ShapedTexts& ReportDocument::shapedTexts() {
  if (!m_shapedTexts) m_shapedTexts = std::make_unique<ShapedTexts>();
  return *m_shapedTexts;
}

double ReportDocument::lineHeight() const {
  return m_report.fontSize * kLineFactor;
}

double ReportDocument::titleHeight() const {
  return (m_report.fontSize + kTitleGrowth) * kLineFactor;
}

double ReportDocument::headerHeight() const {
  const double rows = static_cast<double>(m_report.rows.size());
  const double parameters = static_cast<double>(m_report.parameters.size()) * lineHeight();
  return titleHeight() + parameters + lineHeight() / 2 + rows * lineHeight() + kRuleSpace;
}

double ReportDocument::blockHeight() const {
  const double rows = static_cast<double>(m_report.rows.size());
  // Records of more than one line are set apart by half a line.
  return rows * lineHeight() + (rows > 1 ? lineHeight() / 2 : 0);
}

double ReportDocument::summaryHeight() const {
  int summedRows = 0;
  for (const ReportRow& row : m_report.rows)
    summedRows += std::any_of(row.columns.begin(), row.columns.end(),
                              [](const ReportColumn& c) { return c.sum; });
  return kRuleSpace + (summedRows + 1) * lineHeight();
}

double ReportDocument::footerHeight() const {
  // Each footer line has a line of room under it; the shapes lie where the
  // layout puts them, and the foot reaches down to the lowest of either.
  double foot = static_cast<double>(m_report.footers.size()) * 2 * lineHeight();
  for (const ReportShape& shape : m_report.footShapes)
    foot = std::max(foot, (shape.top + shape.height) * kPointsPerInch);
  return m_report.footers.empty() && m_report.footShapes.empty() ? 0 : kRuleSpace + foot;
}

double ReportDocument::recordRoom() const {
  return (m_layout.pageHeight - m_layout.marginTop - m_layout.marginBottom) * kPointsPerInch -
         headerHeight() - footerHeight();
}

std::string ReportDocument::parameterText(std::size_t index) const {
  const auto found = m_parameters.find(m_report.parameters.at(index));
  return found == m_parameters.end() ? std::string() : found->second;
}

int ReportDocument::pageRecordCount(int page) const {
  const std::int64_t before = static_cast<std::int64_t>(page) * m_perPage;
  const std::int64_t left = static_cast<std::int64_t>(m_recordCount) - before;
  return static_cast<int>(std::clamp<std::int64_t>(left, 0, m_perPage));
}

int ReportDocument::pagesFor(std::uint32_t records) const {
  const auto perPage = static_cast<std::uint32_t>(m_perPage);
  const int pages = records == 0 ? 1 : static_cast<int>((records + perPage - 1) / perPage);
  const double body = recordRoom();
  const double onLast =
      static_cast<double>(records) - static_cast<double>(pages - 1) * static_cast<double>(perPage);
  if (m_report.sheetLines > 0) return pages;
  // The totals go on a page of their own when the last records fill theirs.
  return records > 0 && onLast * blockHeight() + summaryHeight() > body ? pages + 1 : pages;
}

void ReportDocument::begin() {
  m_spool = std::make_unique<ReportSpool>();
  m_recordCount = 0;
  m_allRead = false;
  std::fill(m_totals.begin(), m_totals.end(), Total{});
  m_summed.clear();
  for (const ReportRow& row : m_report.rows)
    for (const ReportColumn& column : row.columns) m_summed.push_back(column.sum);
  m_texts.assign(m_fields.size(), std::string());
  m_expected = m_data.RecordCount();
  m_pageCount = pagesFor(m_expected);
  m_data.First();
}

void ReportDocument::readRecord() {
  if (m_recordCount % static_cast<std::uint32_t>(m_perPage) == 0) m_spool->mark();
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    m_texts[i] = m_isLineNumber[i] ? std::to_string(m_recordCount + 1)
                                   : trimmed(m_data.GetFieldText(m_fields[i]), m_trimLeft[i]);
    // A blank date reads as its template ("  /  /    "); the report shows
    // nothing for it.
    if (m_isDate[i] && std::none_of(m_texts[i].begin(), m_texts[i].end(), [](char c) {
          return std::isdigit(static_cast<unsigned char>(c));
        }))
      m_texts[i].clear();
    std::int64_t amount = 0;
    int decimals = 0;
    if (m_summed[i] && readMillionths(trimmed(m_texts[i], true), amount, decimals)) {
      m_totals[i].millionths += amount;
      m_totals[i].decimals = std::max(m_totals[i].decimals, decimals);
      m_totals[i].any = true;
    }
  }
  m_spool->append(m_texts);
  ++m_recordCount;
}

bool ReportDocument::isRead(int page) const {
  if (m_allRead) return true;
  if (page >= m_pageCount - 1) return false;  // the last page needs the totals
  return m_recordCount >=
         static_cast<std::uint32_t>(page + 1) * static_cast<std::uint32_t>(m_perPage);
}

bool ReportDocument::readThrough(int page, const Progress& progress) {
  const auto perPage = static_cast<std::uint32_t>(m_perPage);
  while (!isRead(page)) {
    if (m_recordCount >= m_expected || m_data.Eof()) {
      m_allRead = true;
      m_spool->finish();
      // An index may hold fewer records than the table counted.
      m_pageCount = pagesFor(m_recordCount);
      break;
    }
    if (m_recordCount % perPage == 0 && progress &&
        !progress(static_cast<int>(m_recordCount / perPage) + 1))
      return false;
    readRecord();
    m_data.Next();
  }
  return true;
}

bool ReportDocument::generate(const Progress& progress) {
  begin();
  return readThrough(m_pageCount - 1, progress);
}

std::vector<std::vector<std::string>> ReportDocument::pageRecords(int page) {
  if (!m_spool || page < 0 || page >= m_pageCount) return {};
  m_spool->finish();
  return m_spool->read(static_cast<std::size_t>(page), static_cast<std::size_t>(m_perPage));
}

std::string ReportDocument::totalText(std::size_t row, std::size_t column) const {
  std::size_t index = 0;
  for (std::size_t r = 0; r < row; ++r) index += m_report.rows[r].columns.size();
  index += column;
  if (!m_report.rows[row].columns[column].sum) return {};
  const Total& total = m_totals[index];
  if (!total.any) return {};
  const std::int64_t magnitude = std::llabs(total.millionths);
  std::string text = std::to_string(magnitude / 1'000'000);
  if (total.decimals > 0) {
    std::string fraction = std::to_string(1'000'000 + magnitude % 1'000'000).substr(1);
    text += "." + fraction.substr(0, static_cast<std::size_t>(total.decimals));
  }
  return total.millionths < 0 ? "-" + text : text;
}

}  // namespace kestrel
