// The layout file: the shipped layout loads with both reports, and every
// kind of malformed file fails with one error that names the file and the
// line at fault.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "report/ReportError.h"
#include "report/ReportLayout.h"

namespace kestrel {
namespace {

constexpr const char* kHead =
    "kestrel-report-layout 1\n"
    "connection Data\n";

TEST(ReportLayoutTest, ShippedLayoutHasBothReportsWithinThePage) {
  const ReportLayout layout = loadReportLayout(KESTREL_REPORT_LAYOUT);
  EXPECT_EQ(layout.connection, "RvDataSetConnection1");
  for (const char* name : {"FullDetail", "ShortDetail"}) {
    SCOPED_TRACE(name);
    const ReportDefinition* report = layout.find(name);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->parameters, std::vector<std::string>{"MyTime"});
    EXPECT_FALSE(report->title.empty());
    int summed = 0;
    for (const ReportRow& row : report->rows)
      for (const ReportColumn& column : row.columns) summed += column.sum;
    EXPECT_EQ(summed, 5);  // postage, certified, restricted, return, total
  }
  // The full report shows each of the log's 16 fields once.
  std::vector<std::string> fields;
  for (const ReportRow& row : layout.find("FullDetail")->rows)
    for (const ReportColumn& column : row.columns) fields.push_back(column.field);
  std::sort(fields.begin(), fields.end());
  EXPECT_EQ(fields, (std::vector<std::string>{"certified", "city", "comments", "mailernum",
                                              "postage", "rdate", "re", "restricted", "return",
                                              "sentname0", "sentname1", "sentname2", "sentname3",
                                              "state", "total", "zip"}));
  EXPECT_EQ(layout.find("fulldetail"), nullptr);  // names are exact
}

TEST(ReportLayoutTest, QuotedTextsKeepBlanksAndDoubledQuotes) {
  const ReportLayout layout = parseReportLayout(std::string(kHead) +
                                                    "report R # a comment\n"
                                                    "  title \"Say \"\"hi\"\"  twice\"\n"
                                                    "  pagelabel Sheet\n"
                                                    "  parameter A\n"
                                                    "  parameter B\n"
                                                    "  sheet 8\n"
                                                    "  footer \"Pieces: %n\"\n"
                                                    "  box 5.5 0 2 1.5 \"Post mark\"\n"
                                                    "  rule 3 0.7 2.2\n"
                                                    "  box 3 0.23 0.6 0.24\n"
                                                    "  row\n"
                                                    "  column name 0 1 \"A heading\" right sum\n"
                                                    "end\n",
                                                "x.rav");
  const ReportDefinition& report = layout.reports.at(0);
  EXPECT_EQ(report.title, "Say \"hi\"  twice");
  EXPECT_EQ(report.pageLabel, "Sheet");
  EXPECT_EQ(report.parameters, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(report.sheetLines, 8);
  EXPECT_EQ(report.footers, std::vector<std::string>{"Pieces: %n"});
  using Kind = ReportShape::Kind;
  ASSERT_EQ(report.footShapes.size(), 3u);
  const ReportShape& stamp = report.footShapes[0];
  EXPECT_EQ(stamp.kind, Kind::Box);
  EXPECT_EQ((std::vector<double>{stamp.left, stamp.top, stamp.width, stamp.height}),
            (std::vector<double>{5.5, 0, 2, 1.5}));
  EXPECT_EQ(stamp.caption, "Post mark");
  const ReportShape& rule = report.footShapes[1];
  EXPECT_EQ(rule.kind, Kind::Rule);
  EXPECT_EQ((std::vector<double>{rule.left, rule.top, rule.width, rule.height}),
            (std::vector<double>{3, 0.7, 2.2, 0}));
  EXPECT_EQ(report.footShapes[2].caption, "");
  EXPECT_EQ(report.footShapes[2].line, 12);
  const ReportColumn& column = report.rows.at(0).columns.at(0);
  EXPECT_EQ(column.heading, "A heading");
  EXPECT_TRUE(column.alignRight);
  EXPECT_TRUE(column.sum);
  EXPECT_EQ(column.line, 14);
}

TEST(ReportLayoutTest, MalformedFilesNameTheFileAndTheLine) {
  struct Case {
    const char* name;
    std::string text;
    const char* expected;  // part of the message after the file's name
  };
  const std::string report = "report R\nrow\ncolumn a 0 1 \"A\"\n";
  const Case cases[] = {
      {"empty file", "", "the file is empty"},
      {"wrong first line", "layout 1\n", "line 1: the file does not start with"},
      {"newer version", "kestrel-report-layout 2\n", "line 1: layout version 2"},
      {"unknown statement", std::string(kHead) + "paper A4\n",
       "line 3: unknown statement \"paper\""},
      {"open quote", std::string(kHead) + "report \"R\n", "line 3: a quoted text is not closed"},
      {"report without end", std::string(kHead) + report,
       "line 3: the report \"R\" has no \"end\""},
      {"column before row", std::string(kHead) + "report R\ncolumn a 0 1 \"A\"\nend\n",
       "line 4: a column comes before the first \"row\""},
      {"width not a number", std::string(kHead) + "report R\nrow\ncolumn a 0 wide \"A\"\nend\n",
       "line 5: the column's width \"wide\" is not a number"},
      {"zero width", std::string(kHead) + "report R\nrow\ncolumn a 0 0 \"A\"\nend\n",
       "line 5: the column's width must be greater than zero"},
      {"past the margin", std::string(kHead) + "report R\nrow\ncolumn a 7 1 \"A\"\nend\n",
       "line 5: the column reaches past the right margin"},
      {"unknown option", std::string(kHead) + "report R\nrow\ncolumn a 0 1 \"A\" bold\nend\n",
       "line 5: unknown column option \"bold\""},
      {"sheet of part lines",
       std::string(kHead) + "report R\nsheet 7.5\nrow\ncolumn a 0 1 \"A\"\nend\n",
       "line 4: the number of lines must be a whole number"},
      {"box past the margin", std::string(kHead) + report + "box 6 0 1.6 1\nend\n",
       "line 6: the box reaches past the right margin"},
      {"flat box", std::string(kHead) + report + "box 0 0 1 0\nend\n",
       "line 6: the box's height must be greater than zero"},
      {"rule with a height", std::string(kHead) + report + "rule 0 0 1 1\nend\n",
       "line 6: expected \"rule LEFT TOP WIDTH\""},
      {"rule above the foot", std::string(kHead) + report + "rule 0 -0.1 1\nend\n",
       "line 6: the top edge \"-0.1\" is not a number of zero or more"},
      {"empty row", std::string(kHead) + report + "row\nend\n",
       "line 7: the report \"R\" ends with a row that has no column"},
      {"twice", std::string(kHead) + report + "end\n" + report + "end\n",
       "line 7: the report \"R\" is defined twice"},
      {"no connection", "kestrel-report-layout 1\n" + report + "end\n",
       "not valid: the file names no data connection"},
      {"margins fill the page", std::string(kHead) + "margins 5 0 4 0\n" + report + "end\n",
       "line 4: the margins leave no room"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      parseReportLayout(c.text, "/x/Kestrel3.rav");
      ADD_FAILURE() << "no error";
    } catch (const ReportError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("\"/x/Kestrel3.rav\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
  }
}

TEST(ReportLayoutTest, MissingFileIsNamed) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("Kestrel3.rav")).toStdString();
  try {
    loadReportLayout(path);
    ADD_FAILURE() << "no error";
  } catch (const ReportError& error) {
    EXPECT_NE(std::string(error.what()).find("\"" + path + "\" cannot be read: No such file"),
              std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace kestrel
