#pragma once

#include <string>
#include <vector>

namespace kestrel {

// A report layout as the layout file describes it (see report/FORMAT.md).
// Lengths are in inches from the sheet's top-left corner; font sizes in
// points. Nothing here knows which table a report is run over: columns name
// fields, and the fields are looked up when the report runs.

struct ReportColumn {
  std::string field;    // the data field shown, as the layout spells it
  double left = 0;      // inches from the left margin
  double width = 0;     // inches
  std::string heading;  // printed above the column on every page
  bool alignRight = false;
  bool sum = false;  // the column's numbers are totalled at the end
  int line = 0;      // the layout file's line, for errors found at run time
};

// A drawn shape at the foot of every page: the parts of a paper form that
// are written or stamped on by hand (a box for a count, a rule to sign on,
// room for a postmark). Positions are inches: `left` from the left margin,
// `top` from the top of the foot, just under the rule that opens it.
struct ReportShape {
  enum class Kind { Box, Rule };
  Kind kind = Kind::Box;
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;    // a box's; a rule is a horizontal line
  std::string caption;  // a box's, printed small inside at its top left
  int line = 0;         // the layout file's line
};

// One line of each record's block, with its columns from left to right.
struct ReportRow {
  std::vector<ReportColumn> columns;
};

struct ReportDefinition {
  std::string name;
  std::string title;
  // Named parameters, each printed on a line of its own under the title.
  std::vector<std::string> parameters;
  std::string countCaption;  // printed before the record count at the end
  std::string fontFace;
  double fontSize = 0;  // points
  std::vector<ReportRow> rows;
  // Printed before "N of M" at the top right of every page.
  std::string pageLabel = "Page";
  // A fixed number of record blocks on every page (0: as many as fit).
  // Forms that are handed over on paper need it: the unused blocks of the
  // last page are struck through so that nothing can be added later.
  int sheetLines = 0;
  // Lines at the foot of every page, under the records (and the totals);
  // "%n" stands for the number of records on that page.
  std::vector<std::string> footers;
  // Boxes and rules at the foot of every page, beside the footer lines.
  std::vector<ReportShape> footShapes;
  int line = 0;  // where the report starts in the file
};

struct ReportLayout {
  std::string path;        // the file it was read from
  std::string connection;  // the data connection every report reads from
  double pageWidth = 8.5, pageHeight = 11;
  double marginLeft = 0.5, marginTop = 0.5, marginRight = 0.5, marginBottom = 0.5;
  std::vector<ReportDefinition> reports;

  // The report of that name (exact, case-sensitive), or nullptr.
  const ReportDefinition* find(const std::string& name) const;
};

// Reads a layout file. Throws ReportError naming the file (and the line,
// for a malformed one) when it cannot be read or is not a valid layout.
ReportLayout loadReportLayout(const std::string& path);

// The same rules over text already in memory; `path` only names it in errors.
ReportLayout parseReportLayout(const std::string& text, const std::string& path);

}  // namespace kestrel
