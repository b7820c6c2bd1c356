// The table component within one process: records, fields, locks, states.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "DbaseTestSupport.h"
#include "dbase/EConvertError.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

class TableAccessTest : public MailingLogTest {
 protected:
  // The program's log pattern: one record, appended under the append lock.
  void appendLog(const std::string& name, const std::string& date = "12/8/2026") {
    TTzDbf table("tzLog");
    openLog(table);
    table.ClearRecord();
    table.SetFieldText("sentname0", name);
    table.SetFieldText("rdate", date);
    ASSERT_TRUE(table.ALock());
    table.AppendRec();
    table.UnLock();
    table.Close();
  }
  std::string recordBytes(std::uint32_t recNo) {
    return readBytes(logPath()).substr(545 + (recNo - 1) * 340, 340);
  }
};

TEST_F(TableAccessTest, LogPatternStoresFieldsAsSpecified) {
  appendLog("Jos\xE9 Mart\xEDnez, a name longer than thirty characters");
  appendLog("Second", "");
  const std::string bytes = readBytes(logPath());
  ASSERT_EQ(bytes.size(), 545u + 2 * 340 + 1);
  EXPECT_EQ(bytes[4], 2);  // header count written at close
  const std::string first = recordBytes(1);
  EXPECT_EQ(first[0], ' ');
  // Windows 0xE9 and 0xED are stored as code page 437's 0x82 and 0xA1, cut to 30.
  EXPECT_EQ(first.substr(1, 30), "Jos\x82 Mart\xA1nez, a name longer t");
  EXPECT_EQ(first.substr(1 + 30, 30), std::string(30, ' '));
  const std::size_t rdate = 1 + 4 * 30 + 35 + 4 + 10;
  EXPECT_EQ(first.substr(rdate, 8), "20261208");
  EXPECT_EQ(recordBytes(2).substr(rdate, 8), "        ");
  EXPECT_EQ(bytes.back(), '\x1A');

  TTzDbf table("tzLog");
  openLog(table);
  EXPECT_EQ(table.RecordCount(), 2u);
  EXPECT_EQ(table.GetFieldText("SENTNAME0"), "Jos\xE9 Mart\xEDnez, a name longer t");
  EXPECT_EQ(table.GetFieldText("rdate"), "12/08/2026");
  table.Next();
  EXPECT_EQ(table.GetFieldText("rdate"), "  /  /    ");
  EXPECT_EQ(table.GetFieldText("state"), "    ");
  table.Next();
  EXPECT_TRUE(table.Eof());
}

TEST_F(TableAccessTest, NumericLogicalAndDateFieldsRoundTrip) {
  TTzDbf table;
  table.SetDbfFileName(m_dir.file("kinds.dbf"));
  table.SetDbfFields({"amount,N,8,2", "count,N,3,0", "paid,L,1,0", "due,D,8,0", "rate,F,6,3"});
  table.SetExclusive(true);
  table.Open();
  table.ClearRecord();
  table.SetFieldText("amount", " 1234.5 ");
  table.SetFieldText("count", "4567");  // does not fit: filled with "*"
  table.SetFieldText("paid", "y");
  table.SetFieldText("due", " 2 / 29 / 2024 ");
  table.SetFieldText("rate", "-1.2345");
  EXPECT_THROW(table.SetFieldText("amount", "12abc"), EConvertError);
  EXPECT_THROW(table.SetFieldText("due", "2/30/2024"), EConvertError);
  EXPECT_THROW(table.SetFieldText("nosuch", "1"), ETableError);
  table.AppendRec();
  EXPECT_EQ(table.GetFieldText("amount"), " 1234.50");
  EXPECT_EQ(table.GetFieldText("count"), "***");
  EXPECT_EQ(table.GetFieldText("paid"), "T");
  EXPECT_EQ(table.GetFieldText("due"), "02/29/2024");
  EXPECT_EQ(table.GetFieldText("rate"), "-1.234");
  table.ClearRecord();
  EXPECT_EQ(table.GetFieldText("paid"), "F");
  EXPECT_EQ(table.GetFieldText("amount"), "        ");
}

TEST_F(TableAccessTest, AppendNeedsTheLockAndLocksExcludeEachOther) {
  TTzDbf first("first");
  TTzDbf second("second");
  openLog(first);
  openLog(second);
  first.ClearRecord();
  try {
    first.AppendRec();
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 5);
    EXPECT_EQ(e.detail(), "File must be locked to append: " + logPath() + " [APPEND]");
  }
  EXPECT_EQ(readBytes(logPath()).size(), 546u);  // nothing written
  EXPECT_TRUE(first.ALock());
  EXPECT_TRUE(first.ALock());
  // Two tables on one file in one process exclude each other, as two handles do.
  EXPECT_FALSE(second.ALock());
  first.AppendRec();
  EXPECT_EQ(second.RecordCount(), 1u);  // shared: counted from the file size
  first.UnLock();
  EXPECT_TRUE(second.ALock());
  second.UnLock();
  // Closing one table never drops the other's locks.
  EXPECT_TRUE(second.ALock());
  first.Close();
  TTzDbf third("third");
  openLog(third);
  EXPECT_FALSE(third.ALock());
}

TEST_F(TableAccessTest, DeleteRecNeedsARecordLockOrExclusiveUse) {
  appendLog("one");
  appendLog("two");
  TTzDbf table("tzLog");
  openLog(table);
  try {
    table.DeleteRec();
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 1200);
    EXPECT_EQ(e.detail(), logPath() + " Record not locked [DeleteRec]");
  }
  const std::string before = readBytes(logPath());
  table.SetExclusive(true);
  EXPECT_TRUE(table.Active());
  table.First();
  table.Next();
  table.DeleteRec();
  EXPECT_TRUE(table.Deleted());
  table.Close();
  std::string expected = before;
  expected[545 + 340] = '*';
  const std::string after = readBytes(logPath());
  // Only the flag changed, and the header rewrite touched the date alone.
  EXPECT_EQ(after.substr(32), expected.substr(32));
  EXPECT_EQ(after.substr(4, 28), expected.substr(4, 28));
}

TEST_F(TableAccessTest, HeaderRewriteKeepsBytesOtherProgramsOwn) {
  appendLog("one");
  std::string bytes = readBytes(logPath());
  bytes[14] = 0x01;  // read at open and written back as read
  writeBytes(logPath(), bytes);
  TTzDbf table("tzLog");
  openLog(table);
  std::string changed = readBytes(logPath());
  changed[20] = 0x55;  // another program's multi-user area, changed after our open
  changed[29] = 0x1B;
  writeBytes(logPath(), changed);
  table.ClearRecord();
  ASSERT_TRUE(table.ALock());
  table.AppendRec();
  table.Close();
  const std::string after = readBytes(logPath());
  EXPECT_EQ(after[4], 2);
  EXPECT_EQ(after[14], 0x01);
  EXPECT_EQ(after[20], 0x55);
  EXPECT_EQ(after[29], 0);  // bytes outside 16-27 are those read at open
}

TEST_F(TableAccessTest, OperationsOnAClosedTableAreCode1103) {
  TTzDbf table("tzLog");
  try {
    table.ALock();
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 1103);
    EXPECT_STREQ(e.what(),
                 "Error # 1103 (Invalid Operation )\r\nDatabase is not open [tzLog.ALock]");
  }
  EXPECT_THROW(table.RecordCount(), ETableError);
  EXPECT_NO_THROW(table.Close());
  try {
    table.Open();
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Missing DbfFilename property");
  }
}

TEST_F(TableAccessTest, ThirtyThreeWorkAreasAndUniqueAliases) {
  std::vector<std::unique_ptr<TTzDbf>> tables;
  for (int i = 0; i < 33; ++i) {
    auto table = std::make_unique<TTzDbf>("t" + std::to_string(i));
    openLog(*table);
    tables.push_back(std::move(table));
  }
  TTzDbf extra("extra");
  try {
    openLog(extra);
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 220);
    EXPECT_EQ(e.detail(), "No free workarea available [Select(0)]");
  }
  tables.pop_back();
  TTzDbf sameName("T0");
  try {
    openLog(sameName);
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 220);
    EXPECT_EQ(e.detail(), "Alias name \"T0\" already in use. [USE]");
  }
  EXPECT_FALSE(sameName.Active());
  TTzDbf unnamed;
  openLog(unnamed);
  EXPECT_EQ(unnamed.alias(), "REPORT3");
}

TEST_F(TableAccessTest, DataSetProtocolInsertEditDeleteRestore) {
  WarningRecorder warnings;
  TTzDbf table("tzBook");
  table.SetDbfFileName(m_dir.file("book.dbf"));
  table.SetDbfFields(addressBookFields());
  table.Open();
  table.Insert();
  EXPECT_EQ(table.State(), TDataSetState::dsInsert);
  table.Post();  // a new, empty table starts with one blank record
  EXPECT_EQ(table.RecordCount(), 1u);
  EXPECT_EQ(table.RecNo(), 1u);
  EXPECT_FALSE(table.holdsAppendLock());

  table.SetFieldText("city", "Boston");
  EXPECT_EQ(table.State(), TDataSetState::dsEdit);
  table.Post();
  EXPECT_EQ(table.State(), TDataSetState::dsBrowse);
  table.SetFieldText("city", "Dropped");
  table.Cancel();
  EXPECT_EQ(table.GetFieldText("city").substr(0, 6), "Boston");

  // Another table on the file holds the append lock: the insert is refused and dropped.
  TTzDbf holder("holder");
  holder.SetDbfFileName(m_dir.file("book.dbf"));
  holder.Open();
  ASSERT_TRUE(holder.ALock());
  table.Insert();
  table.Post();
  EXPECT_EQ(table.RecordCount(), 1u);
  ASSERT_FALSE(warnings.texts().empty());
  EXPECT_EQ(warnings.texts().back(), "Lock failed [Insert]");
  int asked = 0;
  table.SetOnALockFailedOnInsert([&] {
    holder.UnLock();
    return ++asked == 1;
  });
  table.Insert();
  table.Post();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(table.RecordCount(), 2u);

  table.First();
  table.Delete();
  EXPECT_TRUE(table.Deleted());
  table.Restore();
  EXPECT_FALSE(table.Deleted());
  // Moving on posts a changed record.
  table.SetFieldText("zip", "02134");
  table.Next();
  table.First();
  EXPECT_EQ(table.GetFieldText("zip"), "02134     ");
  EXPECT_EQ(table.GetFieldText("city").substr(0, 6), "Boston");
}

TEST_F(TableAccessTest, RefusedRecordLockShowsLockFailed) {
  WarningRecorder warnings;
  appendLog("one");
  TTzDbf table("a");
  TTzDbf appender("b");
  openLog(table);
  openLog(appender);
  ASSERT_TRUE(appender.ALock());
  table.SetFieldText("city", "Changed");
  // The append lock of one table does not cover the records: the other posts.
  table.Post();
  EXPECT_EQ(table.GetFieldText("city").substr(0, 7), "Changed");
  appender.UnLock();
  // A table that holds the append lock cannot take a record lock.
  ASSERT_TRUE(appender.ALock());
  appender.SetFieldText("city", "Lost");
  appender.Post();
  EXPECT_EQ(warnings.texts().back(), "Lock failed [Post]");
  EXPECT_EQ(appender.GetFieldText("city").substr(0, 7), "Changed");
  appender.Delete();
  EXPECT_EQ(warnings.texts().back(), "Lock failed [Delete]");
  EXPECT_FALSE(appender.Deleted());
}

TEST_F(TableAccessTest, ExclusiveSwitchReopensAndKeepsData) {
  appendLog("one");
  TTzDbf table("tzLog");
  openLog(table);
  table.SetExclusive(true);
  EXPECT_TRUE(table.Active());
  EXPECT_TRUE(table.ALock());
  table.ClearRecord();
  table.AppendRec();
  EXPECT_EQ(table.RecordCount(), 2u);
  TTzDbf shared("shared");
  EXPECT_THROW(openLog(shared), ETableError);  // sharing violation inside one process too
  table.SetExclusive(false);
  EXPECT_EQ(table.RecordCount(), 2u);
  openLog(shared);
  EXPECT_EQ(shared.RecordCount(), 2u);
}

// Runs `body` in a child whose file size limit is `limit` bytes, so that writes
// beyond it fail as on a full disk. Returns the child's exit status.
template <typename Body>
int withFileSizeLimit(rlim_t limit, Body body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    int status = 0;
    try {
      status = body();
    } catch (...) {
      status = 99;
    }
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(TableAccessTest, FailedAppendOnAFullDiskLeavesTheFileAsBefore) {
  appendLog("one");
  const std::string before = readBytes(logPath());
  // Room for a few bytes more than now, not for a whole record.
  int status = withFileSizeLimit(before.size() + 100, [&] {
    TTzDbf table("tzLog");
    openLog(table);
    table.ClearRecord();
    table.SetFieldText("sentname0", "does not fit");
    if (!table.ALock()) return 2;
    try {
      table.AppendRec();
    } catch (const ETableError& e) {
      table.UnLock();
      table.Close();
      return e.code() == 101 ? 0 : 3;
    }
    return 4;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readBytes(logPath()), before);

  // A memo that does not fit leaves the memo file as it was.
  TTzDbf book("tzBook");
  book.SetDbfFileName(m_dir.file("book.dbf"));
  book.SetDbfFields(addressBookFields());
  book.Open();
  book.Close();
  status = withFileSizeLimit(4096, [&] {
    TTzDbf table("tzBook");
    table.SetDbfFileName(m_dir.file("book.dbf"));
    table.Open();
    try {
      table.SetFieldText("address", std::string(8000, 'x'));
    } catch (const ETableError& e) {
      return e.code() == 1005 ? 0 : 3;
    }
    return 4;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readBytes(m_dir.file("book.DBT")).size(), 24u);
}

}  // namespace
}  // namespace kestrel::test
