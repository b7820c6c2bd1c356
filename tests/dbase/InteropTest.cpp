// Independent readers and writers as oracles: python3-dbfread, python3-dbf and
// Perl's XBase (dbf_dump). Tables we write must read the same there, and
// tables they write must read the same here.
#include <gtest/gtest.h>

#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

// Prints every record as "[*]|value|value..." with texts in UTF-8 (trailing
// blanks and memo padding removed), dates YYYYMMDD, numbers as Python prints
// them, logicals T/F, empty values empty.
constexpr const char* kReaderScript = R"PY(
import sys, datetime
reader, path = sys.argv[1], sys.argv[2]
def show(v):
    if v is None: return ''
    if isinstance(v, bool): return 'T' if v else 'F'
    if isinstance(v, (datetime.date,)): return v.strftime('%Y%m%d')
    if isinstance(v, bytes): v = v.decode('cp437')
    if isinstance(v, str): return v.rstrip(' \x00').replace('\r\n', '/')
    return repr(v)
if reader == 'dbfread':
    import dbfread
    t = dbfread.DBF(path, encoding='cp437', load=True)
    rows = [('', r) for r in t.records] + [('*', r) for r in t.deleted]
    for flag, r in rows:
        print('|'.join([flag] + [show(v) for v in r.values()]))
else:
    import dbf
    t = dbf.Table(path, codepage='cp437')
    t.open(dbf.READ_ONLY)
    for r in t:
        print('|'.join(['*' if dbf.is_deleted(r) else ''] + [show(r[i]) for i in range(len(r))]))
    t.close()
)PY";

// Writes tables with python3-dbf: a dBASE III table with memo, a FoxPro table.
constexpr const char* kWriterScript = R"PY(
import sys, datetime, dbf
kind, path = sys.argv[1], sys.argv[2]
if kind == 'db3':
    t = dbf.Table(path, 'name C(20); born D; qty N(5,1); ok L; note M', dbf_type='db3', codepage='cp437')
else:
    t = dbf.Table(path, 'name C(20); note M', dbf_type='fp', codepage='cp437')
t.open(dbf.READ_WRITE)
if kind == 'db3':
    t.append(('Zoé', datetime.date(1999, 12, 31), 12.5, True, 'first memo\r\nwith é'))
    t.append(('Gone', None, None, False, ''))
    t.append(('Long', datetime.date(2000, 2, 29), -3.0, False, 'x' * 1500))
    dbf.delete(t[1])
else:
    t.append(('Fox', 'fox memo é'))
    t.append(('Fox2', ''))
    dbf.delete(t[1])
t.close()
)PY";

class InteropTest : public DbaseTest {
 protected:
  std::string run(const char* script, const std::vector<std::string>& args) {
    const std::string file = m_dir.file("oracle.py");
    writeBytes(file, script);
    std::string command = std::string(kSystemPython) + " " + shellQuote(file);
    for (const std::string& a : args) command += " " + shellQuote(a);
    auto [status, output] = runCommand(command + " 2>&1");
    EXPECT_EQ(status, 0) << output;
    return output;
  }
  std::string dbfDump(const std::string& path) {
    auto [status, output] = runCommand("dbf_dump --fs '|' " + shellQuote(path) + " 2>&1");
    EXPECT_EQ(status, 0) << output;
    return output;
  }
  // Three records through the program's own calls; the second one deleted.
  void writeTable(const std::string& path, bool withMemo) {
    std::vector<std::string> defs = {"city,C,20,0", "when,D,8,0", "amount,N,8,2", "ok,L,1,0"};
    if (withMemo) defs.insert(defs.begin(), "address,M,10,0");
    TTzDbf table("ours");
    table.SetDbfFileName(path);
    table.SetDbfFields(defs);
    table.Open();
    auto add = [&](const std::string& memo, const std::string& city, const std::string& when,
                   const std::string& amount, const std::string& ok) {
      table.ClearRecord();
      if (withMemo) table.SetFieldText("address", memo);
      table.SetFieldText("city", city);
      table.SetFieldText("when", when);
      table.SetFieldText("amount", amount);
      table.SetFieldText("ok", ok);
      ASSERT_TRUE(table.ALock());
      table.AppendRec();
      table.UnLock();
    };
    add("Jane Doe\r\n12 Main St", "Zo\xE9", "12/8/2026", "12.5", "T");
    add("", "Bob", "", "", "F");
    add(std::string(1500, 'y') + "\xE9", "\xC4rger", "2/29/2000", "-3", "T");
    table.SetExclusive(true);
    table.First();
    table.Next();
    table.DeleteRec();
    table.Close();
  }
};

TEST_F(InteropTest, Dbase4TableWithMemoReadsTheSameInDbfreadAndDbfDump) {
  const std::string path = m_dir.file("ours.dbf");
  writeTable(path, true);
  const std::string longMemo = std::string(1500, 'y') + "\xC3\xA9";
  EXPECT_EQ(run(kReaderScript, {"dbfread", path}),
            "|Jane Doe/12 Main St|Zo\xC3\xA9|20261208|12.5|T\n"
            "|" +
                longMemo +
                "|\xC3\x84rger|20000229|-3.0|T\n"
                "*||Bob|||F\n");
  // dbf_dump leaves out deleted records and prints the stored (OEM) bytes.
  EXPECT_EQ(dbfDump(path), "Jane Doe\r\n12 Main St|Zo\x82|20261208|12.5|1\n" +
                               std::string(1500, 'y') + "\x82|\x8Erger|20000229|-3|1\n");
}

TEST_F(InteropTest, Dbase3TableReadsTheSameInAllThreeReaders) {
  const std::string path = m_dir.file("plain.dbf");
  writeTable(path, false);
  const std::string expected =
      "|Zo\xC3\xA9|20261208|12.5|T\n"
      "|\xC3\x84rger|20000229|-3.0|T\n"
      "*|Bob|||F\n";
  EXPECT_EQ(run(kReaderScript, {"dbfread", path}), expected);
  // python3-dbf visits in file order.
  EXPECT_EQ(run(kReaderScript, {"dbf", path}),
            "|Zo\xC3\xA9|20261208|12.5|T\n"
            "*|Bob|||F\n"
            "|\xC3\x84rger|20000229|-3.0|T\n");
  EXPECT_EQ(dbfDump(path), "Zo\x82|20261208|12.5|1\n\x8Erger|20000229|-3|1\n");
}

TEST_F(InteropTest, TablesOthersWriteReadCorrectlyHere) {
  const std::string db3 = m_dir.file("py3.dbf");
  const std::string fox = m_dir.file("fox.dbf");
  run(kWriterScript, {"db3", db3});
  run(kWriterScript, {"fp", fox});

  TTzDbf table("theirs");
  table.SetDbfFileName(db3);
  table.Open();
  EXPECT_EQ(table.versionByte(), 0x83);
  EXPECT_EQ(table.RecordCount(), 3u);
  EXPECT_EQ(table.GetFieldText("name"), "Zo\xE9" + std::string(17, ' '));
  EXPECT_EQ(table.GetFieldText("born"), "12/31/1999");
  EXPECT_EQ(table.GetFieldText("qty"), " 12.5");
  EXPECT_EQ(table.GetFieldText("ok"), "T");
  EXPECT_EQ(table.GetFieldText("note"), "first memo\r\nwith \xE9");
  table.Next();
  EXPECT_TRUE(table.Deleted());
  EXPECT_EQ(table.GetFieldText("note"), "");
  EXPECT_EQ(table.GetFieldText("born"), "  /  /    ");
  table.Next();
  EXPECT_EQ(table.GetFieldText("born"), "02/29/2000");
  EXPECT_EQ(table.GetFieldText("note"), std::string(1500, 'x'));
  table.Close();

  table.SetDbfFileName(fox);
  table.Open();
  EXPECT_EQ(table.versionByte(), 0xF5);
  EXPECT_EQ(table.GetFieldText("note"), "fox memo \xE9");
  table.Next();
  EXPECT_TRUE(table.Deleted());
  table.Close();

  // Perl's XBase writing a dBASE IV table with its memo file.
  const std::string perl = m_dir.file("perl4.dbf");
  auto [status, output] = runCommand(
      "perl -MXBase -e '"
      "my $t = XBase->create(name => $ARGV[0], field_names => [\"NAME\",\"NOTE\",\"BORN\"],"
      " field_types => [\"C\",\"M\",\"D\"], field_lengths => [20,10,8],"
      " field_decimals => [0,0,0], version => 0x0B) or die XBase->errstr;"
      " $t->set_record(0, \"Zo\\x82\", \"perl memo\\r\\nline 2\", \"19991231\");"
      " $t->set_record(1, \"Bob\", undef, undef); $t->delete_record(1); $t->close;' " +
      shellQuote(perl) + " 2>&1");
  ASSERT_EQ(status, 0) << output;
  table.SetDbfFileName(perl);
  table.Open();
  EXPECT_EQ(table.versionByte(), 0x8B);
  EXPECT_EQ(table.GetFieldText("note"), "perl memo\r\nline 2");
  EXPECT_EQ(table.GetFieldText("name").substr(0, 3), "Zo\xE9");
  table.Next();
  EXPECT_TRUE(table.Deleted());
}

TEST_F(InteropTest, MemosWeAddToTheirTablesReadBackThere) {
  const std::string db3 = m_dir.file("py3.dbf");
  const std::string fox = m_dir.file("fox.dbf");
  run(kWriterScript, {"db3", db3});
  run(kWriterScript, {"fp", fox});
  for (const std::string& path : {db3, fox}) {
    TTzDbf table("ours");
    table.SetDbfFileName(path);
    table.Open();
    table.ClearRecord();
    table.SetFieldText("name", "Added");
    table.SetFieldText("note", "added memo \xE9\r\nsecond line");
    ASSERT_TRUE(table.ALock());
    table.AppendRec();
    table.Close();
  }
  const std::string added = "|Added|added memo \xC3\xA9/second line";
  EXPECT_NE(
      run(kReaderScript, {"dbfread", db3}).find("|Added||||added memo \xC3\xA9/second line\n"),
      std::string::npos);
  EXPECT_NE(run(kReaderScript, {"dbf", db3}).find("|Added||||added memo \xC3\xA9/second line\n"),
            std::string::npos);
  EXPECT_NE(run(kReaderScript, {"dbfread", fox}).find(added + "\n"), std::string::npos);
  EXPECT_NE(run(kReaderScript, {"dbf", fox}).find(added + "\n"), std::string::npos);
  EXPECT_NE(dbfDump(fox).find("Added|added memo \x82\r\nsecond line\n"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::test
