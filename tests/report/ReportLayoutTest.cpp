// The layout file: the shipped layout loads with both reports, and every
// kind of malformed file fails with one error that names the file and the
// line at fault.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <fstream>

#include "MemoryDataSet.h"
#include "report/ReportDocument.h"
#include "report/ReportError.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"

namespace kestrel {
namespace {

constexpr const char* kHead =
    "kestrel-report-layout 1\n"
    "connection Data\n";

// The text is refused with the message that names the file, and `expected`
// (its line and reason) within it.
void expectRefused(const std::string& text, const std::string& expected) {
  try {
    parseReportLayout(text, "/x/Kestrel3.rav");
    ADD_FAILURE() << "no error";
  } catch (const ReportError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("The report layout file \"/x/Kestrel3.rav\" is not valid: "),
              std::string::npos)
        << message;
    EXPECT_NE(message.find(expected), std::string::npos) << message;
  }
}

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
      {"empty row before the last",
       std::string(kHead) + "report R\nrow\nrow\ncolumn a 0 1 A\nend\n",
       "line 5: the row before has no column"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectRefused(c.text, c.expected);
  }
}

// Files the fuzz target found or was given as hostile input: sizes far out
// of any page's range overflowed the page count, a page or margins statement
// after a report left its columns outside the sheet, and a binary or huge
// file is refused with a readable message before it costs time or memory.
TEST(ReportLayoutTest, HostileFilesAreBoundedWithAMessageNamingTheLine) {
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  };
  const std::string column = "report R\nrow\ncolumn a 0 1 A\n";
  const auto repeated = [](const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
  };
  const Case cases[] = {
      {"page of 1e300 inches", std::string(kHead) + "page 8.5 1e300\n" + column + "end\n",
       "line 3: the page height \"1e300\" is more than 100 inches"},
      {"page without width", std::string(kHead) + "page 0 11\n",
       "line 3: the page width must be greater than zero"},
      {"column of 1e299 inches", std::string(kHead) + "report R\nrow\ncolumn a 0 1e299 A\nend\n",
       "line 5: the column's width \"1e299\" is more than 100 inches"},
      {"margin of 1e300", std::string(kHead) + "margins 0 1e300 0 0\n",
       "line 3: the top margin \"1e300\" is more than 100 inches"},
      {"box of 1e300", std::string(kHead) + column + "box 0 0 1 1e300\nend\n",
       "line 6: the box's height \"1e300\" is more than 100 inches"},
      {"font of 1e-300 points", std::string(kHead) + "font Arial 1e-300\n" + column + "end\n",
       "line 3: the font size must be from 1 to 200 points"},
      {"font of 1e30 points", std::string(kHead) + column + "font Arial 1e30\nend\n",
       "line 6: the font size must be from 1 to 200 points"},
      {"margins after the report", std::string(kHead) + column + "end\nmargins 5 5 5 5\n",
       "line 7: the margins leave no room on the page"},
      {"narrower page after the report",
       std::string(kHead) + "report R\nrow\ncolumn a 0 7 A\nbox 6 0 1 1\nend\npage 4 11\n",
       "line 8: the column of line 5 would reach past the right margin"},
      {"long line", std::string(kHead) + "report R\ntitle \"" + std::string(2000, 'x') + "\"\n",
       "line 4: the line is longer than 1000 characters"},
      // Found by the fuzz target: the count was made an int before its bound
      // was checked.
      {"sheet of 2^98 lines", std::string(kHead) + "report R\nsheet 0x1p98\n",
       "line 4: the number of lines must be a whole number up to 1000"},
      {"binary first line",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\n",
                   9),
       "line 1: the file does not start with \"kestrel-report-layout 1\""},
      {"binary statement", std::string(kHead) + "\x01\x02" + std::string(60, 'z') + " 1\n",
       "line 3: unknown statement \"??" + std::string(38, 'z') + "...\""},
      {"1 MB of comments", std::string(kHead) + repeated(std::string(99, '#') + "\n", 10486),
       "not valid: the file is larger than 1048576 bytes"},
      {"101 reports",
       std::string(kHead) +
           [&] {
             std::string all;
             for (int i = 0; i <= 100; ++i)
               all += "report R" + std::to_string(i) + "\nrow\ncolumn a 0 1 A\nend\n";
             return all;
           }(),
       "line 403: the file may hold no more reports than 100"},
      {"101 rows", std::string(kHead) + "report R\n" + repeated("row\ncolumn a 0 1 A\n", 101),
       "line 204: a report may have no more rows than 100"},
      {"501 columns", std::string(kHead) + "report R\nrow\n" + repeated("column a 0 1 A\n", 501),
       "line 505: a report may have no more columns than 500"},
      {"101 parameters", std::string(kHead) + column + repeated("parameter P\n", 101),
       "line 106: a report may have no more parameters than 100"},
      {"101 footers", std::string(kHead) + column + repeated("footer F\n", 101),
       "line 106: a report may have no more footer lines than 100"},
      {"101 shapes", std::string(kHead) + column + repeated("rule 0 0 1\n", 101),
       "line 106: a report may have no more boxes and rules than 100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectRefused(c.text, c.expected);
  }

  // A huge file is refused without being read whole.
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("Kestrel3.rav")).toStdString();
  std::ofstream(path) << kHead << std::string(2 << 20, '\n');
  EXPECT_THROW(
      {
        try {
          loadReportLayout(path);
        } catch (const ReportError& error) {
          EXPECT_NE(std::string(error.what()).find("the file is larger than 1048576 bytes"),
                    std::string::npos)
              << error.what();
          throw;
        }
      },
      ReportError);
}

// The bounds keep every size the pages are computed from in range: the
// largest page with the smallest font (thousands of records a page) and the
// narrowest page with the largest font run, and their pages draw.
TEST(ReportLayoutTest, LayoutsAtTheBoundsRunAndDraw) {
  for (const char* geometry : {"page 100 100\nfont Arial 1\n", "page 0.1 100\nfont Arial 200\n"}) {
    SCOPED_TRACE(geometry);
    const ReportLayout layout = parseReportLayout(
        std::string(kHead) + geometry +
            "margins 0 0 0 0\nreport R\nsheet 1000\nrow\ncolumn a 0 0.1 A sum\n"
            "footer \"%n\"\nbox 0 100 0.1 100\nend\nreport S\nrow\ncolumn a 0 0.1 A\nend\n",
        "x.rav");
    test::MemoryDataSet data({{"A", 'C', 10}});
    data.Open();
    for (const char* fee : {"1.5", "2.25", "x"}) {
      data.Insert();
      data.SetFieldText("a", fee);
      data.Post();
    }
    // A sheet of 1000 lines and a foot 200 inches tall leave no room.
    EXPECT_THROW(ReportDocument(layout, layout.reports[0], {}, data), ReportError);
    ReportDocument document(layout, layout.reports[1], {}, data);
    ASSERT_TRUE(document.generate());
    EXPECT_EQ(document.pageCount(), 1);
    EXPECT_EQ(document.recordCount(), 3u);
    QPicture picture;
    QPainter painter(&picture);
    drawReportPage(painter, document, 0, 600, 600);
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
