// Name and address text files: the line splitter and the reader as Import
// reads them, the line Export writes, the names proposed for the files, and
// whole files carried into tables and back, read by independent readers.
#include <gtest/gtest.h>

#include <sstream>

#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "addresses/NameAddressLine.h"
#include "addresses/NameAddressTransfer.h"
#include "addresses/TextLineReader.h"

namespace kestrel::test {
namespace {

TEST(NameAddressLine, SplitsQuotedAndBareFieldsAsImportReadsThem) {
  struct Case {
    const char* line;
    NameAddressFields fields;
    bool malformed;
  };
  const Case cases[] = {
      {R"("Jane Doe","12 Main St","","","Springfield","IL","62701")",
       {"Jane Doe", "12 Main St", "", "", "Springfield", "IL", "62701"},
       false},
      // Quoted first field, three bare empty ones, quoted last three.
      {R"("Jane Doe",,,,"Springfield","IL","62701")",
       {"Jane Doe", "", "", "", "Springfield", "IL", "62701"},
       false},
      {"a,b,c,d,e,f,g", {"a", "b", "c", "d", "e", "f", "g"}, false},
      // Doubled quotes around a word, and a comma inside quotes.
      {R"("The ""Blue"" Inn","Unit 4, Rear",,,"Dover","DE","19901")",
       {"The \"Blue\" Inn", "Unit 4, Rear", "", "", "Dover", "DE", "19901"},
       false},
      {"a,b,c,d,e,f,g,h,i", {"a", "b", "c", "d", "e", "f", "g"}, false},
      {R"("a","b","c","d","e","f","g" trailing)", {"a", "b", "c", "d", "e", "f", ""}, false},
      {"no comma at all", {}, false},
      {"", {}, false},
      {"a,b,c,d,e,f", {}, true},
      // An unclosed quote: its field stays empty and the next character goes.
      {R"("unbalanced,b,c,d,e,f,g)", {"", "nbalanced", "b", "c", "d", "e", "f"}, false},
      {R"("unbalanced,b,c,d,e)", {}, true},
      {" a , b ,,,c,d,e", {" a ", " b ", "", "", "c", "d", "e"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    bool malformed = !c.malformed;
    EXPECT_EQ(splitNameAddressLine(c.line, &malformed), c.fields);
    EXPECT_EQ(malformed, c.malformed);
  }
}

TEST(NameAddressLine, ExportLineQuotesTrimsAndDoublesQuotes) {
  EXPECT_EQ(nameAddressLine({"Jane Doe", "12 Main St"}, "Springfield  ", "IL", "62701"),
            R"("Jane Doe","12 Main St","","","Springfield","IL","62701")");
  const std::string line =
      nameAddressLine({" 12 \"B\" St\",", "a", "b", "c", "fifth is dropped"}, "Caf\xe9", "", "");
  EXPECT_EQ(line, R"("12 ""B"" St"",","a","b","c","Caf)"
                  "\xe9"
                  R"(","","")");
  EXPECT_EQ(splitNameAddressLine(line)[0], "12 \"B\" St\",");
  EXPECT_EQ(importedMemoLines(splitNameAddressLine(R"("A","  ","","D","c","s","z")")),
            (std::vector<std::string>{"A", "D"}));
}

TEST(NameAddressLine, ProposedFileNames) {
  EXPECT_EQ(proposedTableName("/home/a/clients.csv"), "clients.dbf");
  EXPECT_EQ(proposedTableName("/home/a/clients.2024.txt"), "clients.dbf");
  EXPECT_EQ(proposedTableName("clients"), "dbf");
  EXPECT_EQ(proposedTextName("/x/clients.dbf"), "clients.txt");
  EXPECT_EQ(proposedTextName("/x/CLIENTS.DBF"), "CLIENTS.txt");
  EXPECT_EQ(proposedTextName("/x/clients.Dbf"), "clients.Dbf.txt");
  EXPECT_EQ(proposedTextName("clients"), "clients.txt");
}

std::vector<std::string> readLines(const std::string& bytes, bool* utf8 = nullptr) {
  std::istringstream in(bytes);
  TextLineReader reader(in);
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) lines.push_back(line);
  if (utf8) *utf8 = reader.startsWithUtf8Mark();
  return lines;
}

TEST(TextLineReader, LineEndsLoneCarriageReturnsAndCtrlZ) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(readLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(readLines("a\r\n\r\n"), (Lines{"a", ""}));  // an empty last line counts
  EXPECT_EQ(readLines("a\rb\r\n"), (Lines{"ab"}));      // a lone CR is dropped
  EXPECT_EQ(readLines("\r\r\r"), Lines{});
  EXPECT_EQ(readLines("a\nb\x1a"
                      "c\n"),
            (Lines{"a", "b"}));
  EXPECT_EQ(readLines(""), Lines{});
  EXPECT_EQ(readLines(std::string("a\0b\n", 4)), (Lines{std::string("a\0b", 3)}));
  const std::string longLine(3 << 20, 'x');  // longer than any piece read
  EXPECT_EQ(readLines(longLine + "\r\n" + "y"), (Lines{longLine, "y"}));
  bool utf8 = false;
  EXPECT_EQ(readLines("\xEF\xBB\xBFJos\xC3\xA9\r\n", &utf8), (Lines{"Jos\xC3\xA9"}));
  EXPECT_TRUE(utf8);
}

class TransferTest : public DbaseTest {
 protected:
  std::string text() const { return m_dir.file("clients.txt"); }
  std::string table() const { return m_dir.file("clients.dbf"); }
  ImportOutcome import(const std::string& bytes, bool overwrite) {
    writeBytes(text(), bytes);
    return importNameAddressFile(text(), table(), overwrite, [](std::string line) {
      // Enough of UTF-8 for the test: "\xC3\xA9" is e acute.
      for (std::size_t at; (at = line.find("\xC3\xA9")) != std::string::npos;)
        line.replace(at, 2, "\xE9");
      return line;
    });
  }
};

TEST_F(TransferTest, ImportAppendsOrOverwritesAndTellsUnreadableLines) {
  const ImportOutcome first = import(
      "\"Jane Doe\",\"12 Main St\",\"\",\"\",\"Springfield\",\"IL\",\"62701\"\r\n"
      "a,b,c,d,e,f\r\n"
      "\"Jos\xe9\",,,,\"A city longer than twenty\",\"Utah!\",\"84101-12345\"\r\n",
      false);
  EXPECT_EQ(first.records, 3u);
  EXPECT_EQ(first.unreadableCount, 1u);
  EXPECT_EQ(first.unreadableLines, std::vector<std::uint64_t>{2});
  const ImportOutcome second = import("\"Bob\",,,,\"Dover\",\"DE\",\"19901\"\n\n", false);
  EXPECT_EQ(second.records, 2u);

  // Memo lines joined by "\n" by the reader script below.
  const std::string expectedAll =
      "|Jane Doe\\n12 Main St|Springfield|IL|62701\n"
      "||||\n"
      "|Jos\xc3\xa9|A city longer than t|Utah|84101-1234\n"
      "|Bob|Dover|DE|19901\n"
      "||||\n";
  writeBytes(m_dir.file("read.py"), R"(
import sys, dbfread
for r in dbfread.DBF(sys.argv[1], encoding='cp437'):
    v = list(r.values())
    memo = (v[0] or '').strip('\x00\x1a').split('\r\n')
    if memo and memo[-1] == '':
        memo.pop()
    print('|' + '|'.join(['\\n'.join(memo)] + [s.strip() for s in v[1:]]))
)");
  const auto read = [&] {
    auto [status, output] =
        runCommand(std::string(kSystemPython) + " " + shellQuote(m_dir.file("read.py")) + " " +
                   shellQuote(table()) + " 2>&1");
    EXPECT_EQ(status, 0) << output;
    return output;
  };
  EXPECT_EQ(read(), expectedAll);

  import("\xEF\xBB\xBF\"Jos\xC3\xA9\",,,,\"Dover\",\"DE\",\"19901\"\n", true);
  EXPECT_EQ(read(), "|Jos\xc3\xa9|Dover|DE|19901\n");
}

TEST_F(TransferTest, ExportedFileReadsWithSevenFieldsAndImportsBackAsItWas) {
  import(
      "\"  The \"\"Blue\"\" Inn\",\"Unit 4, Rear\",\"\",\"\",\"Caf\xe9 City\",\"DE\",\"19901\"\r\n"
      "\"A\",\"B\",\"C\",\"D\",\"X\",\"Y\",\"Z\"\r\n",
      false);
  const std::string exported = m_dir.file("out.txt");
  EXPECT_EQ(exportNameAddressFile(table(), exported).records, 2u);

  writeBytes(m_dir.file("read_csv.py"), R"(
import csv, sys
with open(sys.argv[1], newline='', encoding='cp1252') as f:
    for row in csv.reader(f):
        print(len(row), '|'.join(row))
)");
  auto [status, output] =
      runCommand(std::string(kSystemPython) + " " + shellQuote(m_dir.file("read_csv.py")) + " " +
                 shellQuote(exported) + " 2>&1");
  ASSERT_EQ(status, 0) << output;
  EXPECT_EQ(output,
            "7 The \"Blue\" Inn|Unit 4, Rear|||Caf\xc3\xa9 City|DE|19901\n"
            "7 A|B|C|D|X|Y|Z\n");

  // Imported back into a new table, the export gives the same file.
  const std::string again = m_dir.file("again.dbf");
  importNameAddressFile(exported, again, true, {});
  exportNameAddressFile(again, m_dir.file("again.txt"));
  EXPECT_EQ(readBytes(m_dir.file("again.txt")), readBytes(exported));
}

TEST_F(TransferTest, ErrorsAreThrownWithTheRecordsSoFarKept) {
  EXPECT_THROW(importNameAddressFile(m_dir.file("missing.txt"), table(), false, {}),
               std::runtime_error);
  EXPECT_THROW(exportNameAddressFile(m_dir.file("missing.dbf"), m_dir.file("x.txt")),
               std::exception);
  import("\"A\",,,,\"c\",\"s\",\"z\"\n", false);
  EXPECT_THROW(exportNameAddressFile(table(), "/dev/full"), std::runtime_error);
  // A table without the address fields.
  TTzDbf other("other");
  other.SetDbfFileName(m_dir.file("other.dbf"));
  other.SetDbfFields({"name,C,10,0"});
  other.Open();
  other.Close();
  EXPECT_THROW(importNameAddressFile(text(), m_dir.file("other.dbf"), false, {}), std::exception);
}

}  // namespace
}  // namespace kestrel::test
