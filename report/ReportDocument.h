#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "report/ReportLayout.h"
#include "report/ReportSpool.h"

namespace kestrel {

class DataSet;
class ShapedTexts;

// One run of one report: the records read from the data set in its current
// order, cut into pages, with the record count and the column totals. The
// records are read as the pages are needed (the first page is up at once,
// however long the data) and wait in a work file (ReportSpool); a page is
// read back only when it is drawn, so preview, printer and PDF all draw
// from the same pages and memory does not grow with the page count.
//
// The data set's record count when the run begins fixes the pages: a data
// set in record order is read no further, so records that another copy of
// the program appends meanwhile wait for the next run.
//
// Vertical sizes are fixed by the layout (font sizes times a line factor),
// never measured on a device, so that a report has the same pages on the
// screen, on paper and in a PDF.
class ReportDocument {
 public:
  // Called as each new page is reached while reading; returns false to stop.
  using Progress = std::function<bool(int page)>;

  // Requires: the data set is open. Throws ReportError when a column names
  // a field the data set lacks or a record block does not fit on a page.
  ReportDocument(const ReportLayout& layout, const ReportDefinition& report,
                 std::map<std::string, std::string> parameters, DataSet& data);
  ~ReportDocument();
  ReportDocument(const ReportDocument&) = delete;
  ReportDocument& operator=(const ReportDocument&) = delete;

  // Starts the run at the data set's first record and counts the pages.
  void begin();
  // Reads the records up to the end of the page (0-based); the last page
  // reads every record left, for the totals. False when `progress` asked to
  // stop; what was read stays, and a later call goes on from there.
  // Requires: begin.
  bool readThrough(int page, const Progress& progress = {});
  bool isRead(int page) const;
  // begin and readThrough of the last page.
  bool generate(const Progress& progress = {});

  int pageCount() const { return m_pageCount; }
  std::uint32_t recordCount() const { return m_recordCount; }
  // The total of a summed column as printed ("" for a column not summed,
  // and for one in which no record has a number).
  std::string totalText(std::size_t row, std::size_t column) const;

  // The records of a page (0-based), each as the texts of its columns in
  // row order. Requires: readThrough(page).
  std::vector<std::vector<std::string>> pageRecords(int page);
  bool isLastPage(int page) const { return page == m_pageCount - 1; }

  const ReportLayout& layout() const { return m_layout; }
  const ReportDefinition& report() const { return m_report; }
  // The text of the report's parameter at `index` ("" when not set).
  std::string parameterText(std::size_t index) const;
  // The number of records on a page (0-based). Requires: readThrough(page).
  int pageRecordCount(int page) const;

  // Points (1/72 inch) of the parts of a page.
  double lineHeight() const;
  double titleHeight() const;
  double headerHeight() const;
  double blockHeight() const;
  double summaryHeight() const;
  double footerHeight() const;
  int recordsPerPage() const { return m_perPage; }

  // The texts drawn so far, kept shaped for the pages still to be drawn:
  // most texts of a report come back on every page.
  ShapedTexts& shapedTexts();

 private:
  struct Total {
    std::int64_t millionths = 0;
    int decimals = 0;
    // Whether any record had a number in the column: a fee nobody paid
    // totals blank, as each of its blank fees prints blank.
    bool any = false;
  };

  const ReportLayout& m_layout;
  const ReportDefinition& m_report;
  std::map<std::string, std::string> m_parameters;
  DataSet& m_data;
  std::vector<std::string> m_fields;  // the data set's names of the columns' fields, in order
  std::vector<bool> m_trimLeft;       // right-aligned columns lose leading blanks
  std::vector<bool> m_isDate;         // date fields: blank dates print as nothing
  std::vector<bool> m_isLineNumber;   // the "#" column: the record's number in the run
  std::vector<Total> m_totals;        // one per column, in row order
  std::unique_ptr<ReportSpool> m_spool;
  std::unique_ptr<ShapedTexts> m_shapedTexts;
  int pagesFor(std::uint32_t records) const;
  // Points left on a page for the records and the totals, between the
  // headings and the foot.
  double recordRoom() const;
  void readRecord();

  std::vector<bool> m_summed;  // one per column, in row order
  std::vector<std::string> m_texts;
  int m_perPage = 0;
  int m_pageCount = 0;
  std::uint32_t m_recordCount = 0;  // read so far
  std::uint32_t m_expected = 0;     // the data set's count at begin
  bool m_allRead = false;
};

}  // namespace kestrel
