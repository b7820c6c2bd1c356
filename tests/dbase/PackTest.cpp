// Pack: deleted records removed, memos of kept records kept, others dropped.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "ChildProcess.h"
#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "dbase/ETableError.h"
#include "dbase/MemoFile.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

class PackTest : public DbaseTest {
 protected:
  std::string bookPath() const { return m_dir.file("book.dbf"); }
  std::string memoPath() const { return MemoFile::memoPathFor(bookPath(), MemoLayout::Dbase4); }
  void openBook(TTzDbf& table, bool exclusive) {
    table.SetDbfFileName(bookPath());
    table.SetDbfFields({"address,M,10,0", "city,C,10,0"});
    table.SetExclusive(exclusive);
    table.Open();
  }
  static void add(TTzDbf& table, const std::string& address, const std::string& city) {
    table.Insert();
    if (!address.empty()) table.SetFieldText("address", address);
    table.SetFieldText("city", city);
    table.Post();
  }
  // Marks the records of these numbers deleted.
  static void remove(TTzDbf& table, const std::vector<std::uint32_t>& recNos) {
    for (table.First(); !table.Eof(); table.Next()) {
      if (std::find(recNos.begin(), recNos.end(), table.RecNo()) != recNos.end()) table.Delete();
    }
  }
  std::string dbfread(const std::string& path) {
    return readWithDbfread(path, m_dir.path().string());
  }
};

TEST_F(PackTest, AllDeletedLeavesHeaderAndEndOfFileByte) {
  TTzDbf table;
  openBook(table, true);
  add(table, "", "a");
  add(table, "", "b");
  remove(table, {1, 2});
  ASSERT_TRUE(table.Pack());
  EXPECT_EQ(table.RecordCount(), 0u);
  EXPECT_TRUE(table.Eof());
  const std::uint32_t headerLength = table.headerLength();
  table.Close();
  const std::string bytes = readBytes(bookPath());
  ASSERT_EQ(bytes.size(), headerLength + 1);
  EXPECT_EQ(bytes.back(), '\x1A');
  EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0'));
}

TEST_F(PackTest, KeptRecordsCloseUpAndOnlyTheirMemosStay) {
  TTzDbf table;
  openBook(table, false);
  add(table, "first memo", "one");
  add(table, "dropped memo", "two");
  add(table, "", "three");
  add(table, "replaced memo", "four");
  add(table, "fifth memo", "five");
  table.First();
  table.Next();
  table.Next();
  table.Next();
  table.Edit();  // record 4's first memo is left behind, unreferenced
  table.SetFieldText("address", "fourth memo");
  table.Post();
  remove(table, {2});
  const auto memoSizeBefore = std::filesystem::file_size(memoPath());

  ASSERT_TRUE(table.Pack());
  EXPECT_FALSE(table.Exclusive());
  EXPECT_EQ(table.RecordCount(), 4u);
  EXPECT_EQ(table.RecNo(), 1u);
  table.Close();

  EXPECT_EQ(dbfread(bookPath()),
            "|first memo|one\n|None|three\n|fourth memo|four\n|fifth memo|five\n");
  const std::string memo = readBytes(memoPath());
  EXPECT_LT(memo.size(), memoSizeBefore);
  EXPECT_EQ(memo.find("dropped memo"), std::string::npos);
  EXPECT_EQ(memo.find("replaced memo"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("book.$$$")));
}

TEST_F(PackTest, AnOpenIndexIsRebuiltForTheKeptRecords) {
  TTzDbf table;
  openBook(table, false);
  for (const char* city : {"d", "c", "b", "a"}) add(table, "", city);
  ASSERT_TRUE(table.IndexOnOne("city", "city"));
  remove(table, {2});
  ASSERT_TRUE(table.Pack());
  ASSERT_TRUE(table.hasIndexOrder());
  std::string order;
  for (table.First(); !table.Eof(); table.Next()) order += table.GetFieldText("city").substr(0, 1);
  EXPECT_EQ(order, "abd");
}

TEST_F(PackTest, SharedTableAnotherProcessHasOpenIsLeftAsItWas) {
  TTzDbf table;
  openBook(table, false);
  add(table, "memo", "a");
  add(table, "", "b");
  remove(table, {1});
  const std::string before = readBytes(bookPath());
  ChildProcess other([&](ChildProcess& self) {
    TTzDbf user("other");
    user.SetDbfFileName(bookPath());
    user.Open();
    self.send('o');
    self.receive();
    return 0;
  });
  ASSERT_EQ(other.receive(), 'o');
  EXPECT_FALSE(table.Pack());
  EXPECT_TRUE(table.Active());
  EXPECT_FALSE(table.Exclusive());
  EXPECT_EQ(readBytes(bookPath()), before);
  other.send('g');
  EXPECT_EQ(other.wait(), 0);
}

// A memo pack that runs out of room keeps the packed records with their old
// memos, readable as before.
TEST_F(PackTest, FullDiskDuringTheMemoPackLosesNothing) {
  {
    TTzDbf table;
    openBook(table, true);
    for (int i = 0; i < 40; ++i)
      add(table, std::string(3000, static_cast<char>('a' + i % 26)), std::to_string(i));
    remove(table, {1, 2});
  }
  ChildProcess packer([&](ChildProcess&) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{32768, 32768};  // far below the new memo file
    ::setrlimit(RLIMIT_FSIZE, &limit);
    TTzDbf table("packer");
    openBook(table, true);
    try {
      table.Pack();
    } catch (const ETableError&) {
      return 0;
    }
    return 1;
  });
  ASSERT_EQ(packer.wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("book.$$$")));
  TTzDbf table;
  openBook(table, true);
  EXPECT_EQ(table.RecordCount(), 38u);
  int i = 2;
  for (table.First(); !table.Eof(); table.Next(), ++i) {
    EXPECT_EQ(table.GetFieldText("city"),
              std::to_string(i) + std::string(10 - std::to_string(i).size(), ' '));
    EXPECT_EQ(table.GetFieldText("address"), std::string(3000, static_cast<char>('a' + i % 26)));
  }
  EXPECT_EQ(i, 40);
}

}  // namespace
}  // namespace kestrel::test
