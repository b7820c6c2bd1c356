// AppendFrom: all records of another table file, fields matched by name.
#include <gtest/gtest.h>

#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

class AppendFromTest : public DbaseTest {
 protected:
  void make(TTzDbf& table, const std::string& name, const std::vector<std::string>& fields) {
    table.SetDbfFileName(m_dir.file(name));
    table.SetDbfFields(fields);
    table.SetExclusive(true);
    table.Open();
  }
  static void add(TTzDbf& table, const std::vector<std::pair<std::string, std::string>>& values) {
    table.Insert();
    for (const auto& [field, text] : values) table.SetFieldText(field, text);
    table.Post();
  }
  std::string dbfread(const std::string& path) {
    return readWithDbfread(path, m_dir.path().string());
  }
};

TEST_F(AppendFromTest, SameLayoutCopiesRecordsMemosAndDeletedMarks) {
  {
    TTzDbf source("source");
    make(source, "old.dbf", {"address,M,10,0", "city,C,10,0"});
    add(source, {{"address", "12 Main St\r\nApt 4"}, {"city", "Zo\xE9ville"}});
    add(source, {{"city", "no memo"}});
    add(source, {{"address", "gone"}, {"city", "deleted"}});
    source.Last();
    source.Delete();
  }
  TTzDbf target("target");
  make(target, "book.dbf", {"address,M,10,0", "city,C,10,0"});
  add(target, {{"address", "mine"}, {"city", "first"}});
  target.First();
  target.AppendFrom(m_dir.file("old.dbf"));
  EXPECT_EQ(target.RecordCount(), 4u);
  EXPECT_EQ(target.RecNo(), 1u);
  target.Close();
  EXPECT_EQ(dbfread(m_dir.file("book.dbf")),
            "|mine|first\n|12 Main St\r\nApt 4|Zo\xC3\xA9ville\n|None|no memo\n*|gone|deleted\n");
}

TEST_F(AppendFromTest, DifferentLayoutsConvertFieldByField) {
  {
    TTzDbf source("source");
    make(source, "old.dbf",
         {"name,C,12,0", "amount,N,8,2", "paid,L,1,0", "sent,D,8,0", "note,C,20,0", "count,C,6,0",
          "due,C,10,0", "big,N,10,1", "memo,M,10,0", "only,C,3,0"});
    add(source, {{"name", "Jane Doe Jr."},
                 {"amount", "12.5"},
                 {"paid", "T"},
                 {"sent", "12/31/1999"},
                 {"note", "call first"},
                 {"count", " 42"},
                 {"due", "2/29/2000"},
                 {"big", "123456.7"},
                 {"memo", "memo text"}});
    add(source, {{"count", "many"}, {"due", "2/30/2000"}});
  }
  TTzDbf target("target");
  make(target, "new.dbf",
       {"NAME,C,8,0", "amount,C,10,0", "paid,C,1,0", "sent,C,10,0", "note,M,10,0", "count,N,4,0",
        "due,D,8,0", "big,C,5,0", "memo,M,10,0", "paid2,L,1,0"});
  target.AppendFrom(m_dir.file("old.dbf"));
  ASSERT_EQ(target.RecordCount(), 2u);
  EXPECT_EQ(target.RecNo(), 2u);  // there was no current record
  target.First();
  EXPECT_EQ(target.GetFieldText("name"), "Jane Doe");
  EXPECT_EQ(target.GetFieldText("amount"), "12.50     ");
  EXPECT_EQ(target.GetFieldText("paid"), "T");
  EXPECT_EQ(target.GetFieldText("sent"), "12/31/1999");
  EXPECT_EQ(target.GetFieldText("note"), "call first");
  EXPECT_EQ(target.GetFieldText("count"), "  42");
  EXPECT_EQ(target.GetFieldText("due"), "02/29/2000");
  EXPECT_EQ(target.GetFieldText("big"), "*****");
  EXPECT_EQ(target.GetFieldText("memo"), "memo text");
  target.Next();
  EXPECT_EQ(target.GetFieldText("count"), "    ");      // no number
  EXPECT_EQ(target.GetFieldText("due"), "  /  /    ");  // no date
  EXPECT_EQ(target.GetFieldText("note"), "");
  target.Close();
  EXPECT_EQ(dbfread(m_dir.file("new.dbf")),
            "|Jane Doe|12.50|T|12/31/1999|call first|42|2000-02-29|*****|memo text|None\n"
            "|||||None|None|None||None|None\n");
}

TEST_F(AppendFromTest, MissingSelfUnmatchedAndUnlockedSources) {
  TTzDbf target("target");
  make(target, "book.dbf", {"city,C,10,0"});
  add(target, {{"city", "a"}});
  try {
    target.AppendFrom(m_dir.file("nosuch"));
    FAIL();
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 2);
    EXPECT_EQ(error.detail(), "[AppendFrom(" + m_dir.file("nosuch.DBF") + ")]");
  }
  try {
    target.AppendFrom(m_dir.file("book.dbf"));
    FAIL();
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 214);
    EXPECT_EQ(error.detail(),
              "Attempting to append file to itself. [AppendFrom(" + m_dir.file("book.dbf") + ")]");
  }
  {
    TTzDbf other("other");
    make(other, "other.dbf", {"zip,C,10,0"});
    add(other, {{"zip", "1"}});
  }
  target.AppendFrom(m_dir.file("other.dbf"));
  EXPECT_EQ(target.RecordCount(), 1u);

  {
    TTzDbf cities("cities");
    make(cities, "cities.dbf", {"city,C,10,0"});
    add(cities, {{"city", "b"}});
  }
  target.SetExclusive(false);
  try {
    target.AppendFrom(m_dir.file("cities.dbf"));
    FAIL();
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 5);
    EXPECT_EQ(error.detail(),
              "File must be locked to append: " + m_dir.file("book.dbf") + " [APPEND]");
  }
  EXPECT_EQ(target.RecordCount(), 1u);
  ASSERT_TRUE(target.ALock());
  target.AppendFrom(m_dir.file("cities.dbf"));
  target.UnLock();
  EXPECT_EQ(target.RecordCount(), 2u);
}

}  // namespace
}  // namespace kestrel::test
