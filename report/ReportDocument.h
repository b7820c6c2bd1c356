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

// One run of one report: the records read from the data set in its current
// order, cut into pages, with the record count and the column totals. The
// records wait in a work file (ReportSpool); a page is read back only when
// it is drawn, so preview, printer and PDF all draw from the same pages and
// memory does not grow with the page count.
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

  // Reads every record from the first in the data set's order. False when
  // `progress` asked to stop (the document then holds no pages).
  bool generate(const Progress& progress = {});

  int pageCount() const { return m_pageCount; }
  std::uint32_t recordCount() const { return m_recordCount; }
  // The total of a summed column as printed ("" for a column not summed).
  std::string totalText(std::size_t row, std::size_t column) const;

  // The records of a page (0-based), each as the texts of its columns in
  // row order.
  std::vector<std::vector<std::string>> pageRecords(int page);
  bool isLastPage(int page) const { return page == m_pageCount - 1; }

  const ReportLayout& layout() const { return m_layout; }
  const ReportDefinition& report() const { return m_report; }
  std::string parameterText() const;

  // Points (1/72 inch) of the parts of a page.
  double lineHeight() const;
  double titleHeight() const;
  double headerHeight() const;
  double blockHeight() const;
  double summaryHeight() const;
  int recordsPerPage() const { return m_perPage; }

 private:
  struct Total {
    std::int64_t millionths = 0;
    int decimals = 0;
  };

  const ReportLayout& m_layout;
  const ReportDefinition& m_report;
  std::map<std::string, std::string> m_parameters;
  DataSet& m_data;
  std::vector<std::string> m_fields;  // the data set's names of the columns' fields, in order
  std::vector<bool> m_trimLeft;       // right-aligned columns lose leading blanks
  std::vector<Total> m_totals;        // one per column, in row order
  std::unique_ptr<ReportSpool> m_spool;
  int m_perPage = 0;
  int m_pageCount = 0;
  std::uint32_t m_recordCount = 0;
};

}  // namespace kestrel
