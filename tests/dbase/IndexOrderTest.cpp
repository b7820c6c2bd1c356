// Visiting a table in the order of a single-field index built by IndexOnOne.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "ChildProcess.h"
#include "DbaseTestSupport.h"
#include "MdxTestSupport.h"
#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/OsFile.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

class IndexOrderTest : public DbaseTest {
 protected:
  std::string logPath() const { return m_dir.file("report3.dbf"); }

  void openLog(TTzDbf& table, bool exclusive = true) {
    table.SetDbfFileName(logPath());
    table.SetDbfFields(mailingLogFields());
    table.SetExclusive(exclusive);
    table.Open();
  }

  // Appends one record per row; each row is (field, text) pairs.
  static void addRows(TTzDbf& table,
                      const std::vector<std::vector<std::pair<std::string, std::string>>>& rows) {
    for (const auto& row : rows) {
      table.Insert();
      for (const auto& [field, text] : row) table.SetFieldText(field, text);
      table.Post();
    }
  }

  // The physical record numbers in the order the table visits them.
  static std::vector<std::uint32_t> visit(TTzDbf& table) {
    std::vector<std::uint32_t> order;
    for (table.First(); !table.Eof(); table.Next()) order.push_back(table.RecNo());
    return order;
  }
};

TEST_F(IndexOrderTest, CharacterKeysInByteOrderEqualKeysByRecordNumberDeletedIncluded) {
  std::filesystem::create_directory(m_dir.path() / "Reports");
  TTzDbf table("tzLog");
  table.SetDbfFileName(m_dir.file("Reports/report3.dbf"));
  table.SetDbfFields(mailingLogFields());
  table.SetExclusive(true);
  table.Open();
  addRows(table, {{{"mailernum", "9214 0000 0003"}},
                  {{"mailernum", "9214 0000 0001"}},
                  {{"mailernum", "a lower case"}},
                  {{"mailernum", "9214 0000 0003"}},
                  {{"mailernum", "Z upper"}},
                  {{"mailernum", ""}}});
  table.First();
  table.Next();  // record 2 goes, but stays in its place in the order
  table.Delete();

  ASSERT_TRUE(table.IndexOnOne("mailernum", "mailernum"));
  EXPECT_TRUE(std::filesystem::exists(m_dir.path() / "Reports" / "mailernum.MDX"));
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{6, 2, 1, 4, 5, 3}));
  EXPECT_EQ(table.RecordCount(), 6u);
  table.First();
  table.Next();
  EXPECT_EQ(table.RecNo(), 2u);
  EXPECT_TRUE(table.Deleted());

  // The packaged reader of the published layout walks the same entries.
  const auto walked = perlWalk(m_dir.file("Reports/mailernum.MDX"), 27);
  ASSERT_EQ(walked.size(), 6u);
  EXPECT_EQ(walked[0].second, 6u);
  EXPECT_EQ(walked[1].first, "9214 0000 0001             ");

  // Backwards in key order.
  table.Last();
  EXPECT_EQ(table.RecNo(), 3u);
  table.Prior();
  EXPECT_EQ(table.RecNo(), 5u);
  table.Next();
  EXPECT_EQ(table.RecNo(), 3u);

  table.SetHideDeletedRecs(true);
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{6, 1, 4, 5, 3}));
  table.First();
  table.Next();
  table.Prior();  // past the hidden record 2
  EXPECT_EQ(table.RecNo(), 6u);
  EXPECT_FALSE(table.Bof());
  table.Prior();
  EXPECT_EQ(table.RecNo(), 6u);
  EXPECT_TRUE(table.Bof());
}

TEST_F(IndexOrderTest, DatesChronologicallyWithBlankDatesLast) {
  TTzDbf table("tzLog");
  openLog(table);
  addRows(table, {{{"rdate", ""}},
                  {{"rdate", "12/31/1999"}},
                  {{"rdate", "1/1/2000"}},
                  {{"rdate", ""}},
                  {{"rdate", "2/29/1904"}},
                  {{"rdate", "12/31/1999"}}});
  ASSERT_TRUE(table.IndexOnOne("rdate", "rdate"));
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{5, 2, 6, 3, 1, 4}));
}

TEST_F(IndexOrderTest, NumbersByValue) {
  TTzDbf table;
  table.SetDbfFileName(m_dir.file("amounts.dbf"));
  table.SetDbfFields({"amount,N,9,2", "name,C,5,0"});
  table.SetExclusive(true);
  table.Open();
  addRows(table, {{{"amount", "10.5"}},
                  {{"amount", "-3"}},
                  {{"amount", "2"}},
                  {{"amount", "-20.25"}},
                  {{"amount", "2.00"}},
                  {{"amount", "0"}},
                  {{"amount", "100"}}});
  ASSERT_TRUE(table.IndexOnOne("AMOUNT", "amounts"));
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{4, 2, 6, 3, 5, 1, 7}));
}

TEST_F(IndexOrderTest, EmptyTableIsAtEofAtOnceAndSecondSortSwitchesOrder) {
  TTzDbf table("tzLog");
  openLog(table);
  ASSERT_TRUE(table.IndexOnOne("mailernum", "mailernum"));
  table.First();
  EXPECT_TRUE(table.Eof());

  addRows(table, {{{"zip", "30000"}, {"sentname0", "B"}}, {{"zip", "10000"}, {"sentname0", "A"}}});
  ASSERT_TRUE(table.IndexOnOne("zip", "zip"));
  EXPECT_TRUE(std::filesystem::exists(m_dir.path() / "mailernum.MDX"));
  EXPECT_EQ(table.indexPath(), m_dir.file("zip.MDX"));
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{2, 1}));

  // The order ends with the table; the file stays.
  table.Close();
  table.Open();
  EXPECT_FALSE(table.hasIndexOrder());
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{1, 2}));
  EXPECT_TRUE(std::filesystem::exists(m_dir.path() / "zip.MDX"));
}

TEST_F(IndexOrderTest, AppendAndRewriteKeepTheOpenIndexRight) {
  TTzDbf table("tzLog");
  openLog(table);
  addRows(table, {{{"sentname0", "M"}}, {{"sentname0", "C"}}});
  ASSERT_TRUE(table.IndexOnOne("sentname0", "name"));
  addRows(table, {{{"sentname0", "A"}}});
  table.First();  // record 3 ("A")
  table.Next();   // record 2 ("C")
  table.Edit();
  table.SetFieldText("sentname0", "Z");
  table.Post();
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{3, 1, 2}));
}

TEST_F(IndexOrderTest, FieldsThatCannotBeIndexedAreRefused) {
  TTzDbf table;
  table.SetDbfFileName(m_dir.file("book.dbf"));
  table.SetDbfFields({"address,M,10,0", "ok,L,1,0", "city,C,35,0"});
  table.Open();
  try {
    table.IndexOnOne("address", "address");
    FAIL() << "a memo key was accepted";
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 254);
    EXPECT_EQ(error.detail(), "Wrong parser return type [AddIndexTag()]");
  }
  EXPECT_THROW(table.IndexOnOne("ok", "ok"), ETableError);
  EXPECT_THROW(table.IndexOnOne("nosuch", "nosuch"), ETableError);
  // The table is still open, without an order.
  EXPECT_TRUE(table.Active());
  EXPECT_FALSE(table.hasIndexOrder());
}

TEST_F(IndexOrderTest, CorruptedIndexIsErrorNotCrash) {
  TTzDbf table("tzLog");
  openLog(table);
  addRows(table, {{{"zip", "1"}}, {{"zip", "2"}}});
  ASSERT_TRUE(table.IndexOnOne("zip", "zip"));
  // The root node's key count far beyond what a node can hold.
  OsFile file;
  ASSERT_EQ(file.open(m_dir.file("zip.MDX"), OsFile::Access::ReadWrite), 0);
  const unsigned char huge[4] = {0xFF, 0xFF, 0, 0};
  ASSERT_EQ(file.writeAt(2048, huge, sizeof huge), 0);
  try {
    table.First();
    FAIL() << "a corrupted index was walked";
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 222);
  }
}

// A table that needs three index levels, sorted through the temporary
// file: 30-byte keys (28 to a node) and a budget far below the keys' size.
TEST_F(IndexOrderTest, LargeTableThreeLevelsThroughTheExternalMerge) {
  const std::string path = m_dir.file("big.dbf");
  constexpr std::uint32_t kCount = 200000;
  {
    TTzDbf table;
    table.SetDbfFileName(path);
    table.SetDbfFields({"name,C,30,0"});
    table.SetExclusive(true);
    table.Open();
  }
  {
    // Records written in one piece: the append path is tested elsewhere.
    std::string bytes = readBytes(path);
    bytes.pop_back();  // the end-of-file byte
    std::uint32_t state = 12345;
    for (std::uint32_t i = 0; i < kCount; ++i) {
      state = state * 1103515245u + 12345u;
      char name[31];
      std::snprintf(name, sizeof name, "%-30u", (state >> 8) % 50000);  // duplicates
      bytes += (i % 97 == 0) ? '*' : ' ';
      bytes.append(name, 30);
    }
    bytes += static_cast<char>(dbf::kEndOfFile);
    for (int k = 0; k < 4; ++k) bytes[4 + k] = static_cast<char>((kCount >> (8 * k)) & 0xFF);
    writeBytes(path, bytes);
  }
  TTzDbf table;
  table.SetDbfFileName(path);
  table.SetExclusive(true);
  table.Open();
  table.setIndexMemoryBudget(std::size_t{256} << 10);
  table.setIndexTempFolder(m_dir.path().string());
  ASSERT_TRUE(table.IndexOnOne("name", "name"));

  std::vector<bool> seen(kCount + 1, false);
  std::string previous;
  std::uint32_t previousRecNo = 0;
  std::uint32_t visited = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    const std::string name = table.GetFieldText("name");
    const std::uint32_t recNo = table.RecNo();
    ASSERT_TRUE(std::tie(previous, previousRecNo) < std::tie(name, recNo)) << recNo;
    ASSERT_FALSE(seen[recNo]);
    seen[recNo] = true;
    previous = name;
    previousRecNo = recNo;
    ++visited;
  }
  EXPECT_EQ(visited, kCount);
  // 200,000 keys, 28 to a leaf: 7,143 leaves and 247 branches above them
  // come before the root, which is the last node written.
  const std::uint32_t root = MdxReader(m_dir.file("name.MDX")).tagHeader().rootPage;
  EXPECT_GT(root, 4u + 2u * (7143u + 247u));
  // The run file is gone.
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "big.dbf" || name == "name.MDX") << name;
  }
}

TEST_F(IndexOrderTest, SharedTableLogsOnToTheSemaphoreFileUntilClosed) {
  TTzDbf table("tzLog");
  openLog(table, false);
  addRows(table, {{{"zip", "2"}}, {{"zip", "1"}}});
  ASSERT_TRUE(table.IndexOnOne("zip", "zip"));
  const std::string semaphore = m_dir.file("report3.@S@");
  ASSERT_TRUE(std::filesystem::exists(semaphore));
  EXPECT_EQ(readBytes(semaphore), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{2, 1}));
  EXPECT_EQ(readBytes(semaphore)[1], '\0');  // no reader left counted
  // A change of the open index is marked and unmarked in the same byte.
  addRows(table, {{{"zip", "0"}}});
  EXPECT_EQ(readBytes(semaphore), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{3, 2, 1}));
  table.Close();
  EXPECT_FALSE(std::filesystem::exists(semaphore));
}

TEST_F(IndexOrderTest, SecondProcessSortingNeedsExclusiveUse) {
  TTzDbf table("tzLog");
  openLog(table, false);
  addRows(table, {{{"zip", "2"}}, {{"zip", "1"}}});
  ASSERT_TRUE(table.IndexOnOne("zip", "zip"));

  // While this process has the index open, another one cannot erase the
  // file, and cannot have the table to itself either.
  ChildProcess refused([&](ChildProcess&) {
    TTzDbf other("other");
    other.SetDbfFileName(logPath());
    other.Open();
    try {
      other.IndexOnOne("zip", "zip");
      return 1;
    } catch (const ETableError& error) {
      if (error.code() != 225) return 2;
      if (error.detail() != logPath() + " MakeIndex(" + m_dir.file("zip.MDX") + ")") return 3;
    }
    return other.Active() && !other.Exclusive() && !other.hasIndexOrder() ? 0 : 4;
  });
  EXPECT_EQ(refused.wait(), 0);
  table.Close();

  // Another program holding only the index file: the build takes the table
  // exclusively and gives it back shared.
  ChildProcess holder([&](ChildProcess& self) {
    OsFile index;
    if (index.open(m_dir.file("zip.MDX"), OsFile::Access::ReadOnly) != 0) return 1;
    if (index.tryLock(dbf::kShareLockOffset, 1, OsFile::LockKind::Shared) != 0) return 2;
    self.send('h');
    self.receive();
    return 0;
  });
  ASSERT_EQ(holder.receive(), 'h');
  openLog(table, false);
  ASSERT_TRUE(table.IndexOnOne("zip", "zip"));
  EXPECT_FALSE(table.Exclusive());
  EXPECT_EQ(visit(table), (std::vector<std::uint32_t>{2, 1}));
  holder.send('g');
  EXPECT_EQ(holder.wait(), 0);
}

TEST_F(IndexOrderTest, SecondSortBySameFieldFailsWhileTheFirstBuildsAndTheFirstStandsWhole) {
  // Enough records that the first build lasts while the second one tries.
  constexpr std::uint32_t kRecords = 150000;
  {
    TTzDbf table("tzLog");
    openLog(table);
    table.Close();
  }
  {
    TTzDbf table("tzLog");
    openLog(table);
    const std::size_t length = table.recordLength();
    const FieldDescriptor& zip = table.fields()[static_cast<std::size_t>(table.fieldIndex("zip"))];
    std::string bytes = readBytes(logPath()).substr(0, table.headerLength());
    table.Close();
    std::string records(kRecords * length, ' ');
    for (std::uint32_t i = 0; i < kRecords; ++i) {
      const std::string key = std::to_string(10000 + (i * 7919u) % 90000u);
      records.replace(i * length + zip.offset, key.size(), key);
    }
    for (int b = 0; b < 4; ++b) bytes[4 + b] = static_cast<char>(kRecords >> (8 * b));
    writeBytes(logPath(), bytes + records + "\x1A");
  }

  ChildProcess first([&](ChildProcess& self) {
    TTzDbf table("first");
    openLog(table, false);
    table.setIndexMemoryBudget(std::size_t{1} << 20);  // sorts in runs: a longer build
    std::uint32_t visited = 0;
    bool ordered = true;
    try {
      table.IndexOnOne("zip", "zip");
      std::string previous;
      for (table.First(); !table.Eof(); table.Next()) {
        const std::string key = table.GetFieldText("zip");
        ordered = ordered && previous <= key;
        previous = key;
        ++visited;
      }
    } catch (const ETableError&) {
      visited = 0;
    }
    self.send(visited == kRecords && ordered ? 'd' : 'x');
    self.receive();
    return 0;
  });
  const std::string index = m_dir.file("zip.MDX");
  for (int waited = 0; !std::filesystem::exists(index) && waited < 20000; ++waited) {
    ::usleep(1000);
  }
  // The file appears under its name already claimed (made and locked under
  // another name first), so the first process holds it from here on.
  TTzDbf second("second");
  openLog(second, false);
  int refusal = 0;
  try {
    second.IndexOnOne("zip", "zip");
  } catch (const ETableError& error) {
    refusal = error.code();
  }
  EXPECT_EQ(refusal, 225);
  EXPECT_EQ(first.receive(), 'd');
  first.send('g');
  EXPECT_EQ(first.wait(), 0);
}

}  // namespace
}  // namespace kestrel::test
