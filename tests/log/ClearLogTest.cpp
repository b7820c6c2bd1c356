// Report > Clear: every choice of a copy, the saved copy as an independent
// dBASE reader sees it, and every way the copy or the clear can fail leaving
// the log as it was. (The questions that make the choice are the window's.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "ChildProcess.h"
#include "LogFixture.h"
#include "dbase/ETableError.h"
#include "log/ClearLog.h"

namespace kestrel {
namespace {

class ClearLogTest : public test::DbaseTest {
 protected:
  void SetUp() override {
    test::DbaseTest::SetUp();
    m_folder = m_dir.path().string() + "/";
    setUpMailingLog(m_log, m_folder);
    test::writeLog(m_folder, test::madeMailers(5));
    m_before = test::readBytes(logPath());
  }

  std::string logPath() const { return m_folder + kMailingLogFileName; }

  // The records as python3-dbfread reads them (one line each).
  std::vector<std::string> records(const std::string& path) {
    const std::string text = test::readWithDbfread(path, m_dir.path().string());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }

  void expectLogEmptiedWithItsFields() {
    TTzDbf check("check");
    check.SetDbfFileName(logPath());
    check.SetCreateIfNotFound(false);
    check.Open();
    EXPECT_EQ(check.RecordCount(), 0u);
    EXPECT_EQ(check.FieldCount(), 16);
    EXPECT_TRUE(records(logPath()).empty());
  }

  // Clears with the user's choice of a copy: none (Cancel), an empty path
  // (No) or the file to save the records in.
  void clear(std::optional<std::string> copy) {
    clearMailingLog(m_log, [this, copy] {
      ++m_choices;
      return copy;
    });
  }

  std::string m_folder;
  std::string m_before;
  TTzDbf m_log{"MailingLog"};
  int m_choices = 0;
};

TEST_F(ClearLogTest, NoEmptiesTheLogCancelChangesNothingAndAnEmptyLogIsNotAsked) {
  // Cancel, also of the save dialog (which would have lost the copy the
  // user asked for): the log stays byte for byte.
  clear(std::nullopt);
  EXPECT_EQ(test::readBytes(logPath()), m_before);
  EXPECT_FALSE(m_log.Active());
  EXPECT_FALSE(m_log.Exclusive());

  clear(std::string());
  expectLogEmptiedWithItsFields();
  EXPECT_FALSE(m_log.Active());
  EXPECT_FALSE(m_log.Exclusive());

  // Now empty: its own message, nothing asked.
  try {
    clear(std::string());
    ADD_FAILURE() << "no error";
  } catch (const EmptyLogError& error) {
    EXPECT_STREQ(error.what(), "Report is already empty.");
  }
  EXPECT_EQ(m_choices, 2);
  EXPECT_FALSE(m_log.Active());
}

TEST_F(ClearLogTest, YesToANewFileLeavesAByteCopyAnyReaderOpens) {
  const std::string copy = m_dir.file("saved.dbf");
  const std::vector<std::string> logged = records(logPath());
  clear(copy);
  EXPECT_EQ(test::readBytes(copy), m_before);
  EXPECT_EQ(records(copy), logged);
  EXPECT_EQ(logged.size(), 5u);
  expectLogEmptiedWithItsFields();
}

TEST_F(ClearLogTest, YesToAnExistingTableAppendsTheLogAfterItsOwnRecords) {
  const std::string saved = m_dir.file("older/report3.dbf");
  std::filesystem::create_directories(m_dir.file("older"));
  test::writeLog(m_dir.file("older/"), {});
  std::filesystem::rename(m_dir.file("older/Reports/report3.dbf"), saved);
  {
    TTzDbf older("older");
    setUpMailingLog(older, m_dir.file("older/"));
    older.SetDbfFileName(saved);
    older.Open();
    ASSERT_TRUE(older.ALock());
    older.ClearRecord();
    older.SetFieldText("sentname0", "Earlier Mailer");
    older.AppendRec();
    older.UnLock();
  }
  const std::vector<std::string> logged = records(logPath());
  const std::vector<std::string> own = records(saved);
  clear(saved);
  std::vector<std::string> expected = own;
  expected.insert(expected.end(), logged.begin(), logged.end());
  EXPECT_EQ(records(saved), expected);
  EXPECT_EQ(expected.size(), 6u);
  expectLogEmptiedWithItsFields();
}

TEST_F(ClearLogTest, LogHeldOpenByAnotherProcessFailsWith32AndKeepsLogAndCopy) {
  const std::string log = logPath();
  test::ChildProcess other([&](test::ChildProcess& self) {
    TTzDbf table("other");
    table.SetDbfFileName(log);
    table.Open();
    self.send('o');
    self.receive();
    return 0;
  });
  ASSERT_EQ(other.receive(), 'o');
  const std::string copy = m_dir.file("saved.dbf");
  try {
    clear(copy);
    ADD_FAILURE() << "no error";
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 32) << error.what();
  }
  other.send('g');
  EXPECT_EQ(other.wait(), 0);
  EXPECT_EQ(test::readBytes(log), m_before);
  EXPECT_EQ(test::readBytes(copy), m_before);
  EXPECT_FALSE(m_log.Active());
  EXPECT_FALSE(m_log.Exclusive());
}

TEST_F(ClearLogTest, CopyThatCannotBeMadeLeavesTheLogWithAMessage) {
  // An existing table whose append lock another process keeps, a folder
  // that does not exist, a folder that refuses new files (root may write
  // anywhere: then the next test clears as another user), a target that is
  // no table and the log itself.
  const std::string locked = m_dir.file("locked.dbf");
  test::writeLog(m_dir.file("locked/"), {});
  std::filesystem::copy_file(m_dir.file("locked/Reports/report3.dbf"), locked);
  const std::string lockedBefore = test::readBytes(locked);
  test::ChildProcess holder([&](test::ChildProcess& self) {
    TTzDbf table("holder");
    table.SetDbfFileName(locked);
    table.Open();
    if (!table.ALock()) return 1;
    self.send('l');
    self.receive();
    return 0;
  });
  ASSERT_EQ(holder.receive(), 'l');

  std::filesystem::create_directories(m_dir.file("readonly"));
  ::chmod(m_dir.file("readonly").c_str(), 0555);
  test::writeBytes(m_dir.file("notes.dbf"), "not a table at all");
  struct Case {
    const char* name;
    std::string target;
    const char* expected;
  };
  std::vector<Case> cases = {
      {"append lock refused", locked, "Another copy of the program is adding records"},
      {"no such folder", m_dir.file("missing/saved.dbf"), "No such file or directory"},
      {"not a table", m_dir.file("notes.dbf"), "Error # "},
      {"the log itself", logPath(), "Error # 214"},
  };
  if (::geteuid() != 0)
    cases.push_back({"read-only folder", m_dir.file("readonly/saved.dbf"), "Permission denied"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      clear(c.target);
      ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
      EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos) << error.what();
    }
    EXPECT_EQ(test::readBytes(logPath()), m_before);
    EXPECT_FALSE(m_log.Active());
    EXPECT_FALSE(m_log.Exclusive());
  }
  holder.send('g');
  EXPECT_EQ(holder.wait(), 0);
  EXPECT_EQ(test::readBytes(locked), lockedBefore);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("readonly/saved.dbf")));
}

TEST_F(ClearLogTest, ReadOnlyTargetFolderLeavesTheLogWithAMessageForAnOrdinaryUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "covered by the test above";
  // The user "nobody" clears the log that every user may write, into a
  // folder that refuses it new files.
  const std::string folder = m_dir.file("readonly");
  std::filesystem::create_directories(folder);
  for (const std::string& path : {m_dir.path().string(), m_folder + kReportsFolderName})
    ::chmod(path.c_str(), 0777);
  ::chmod(logPath().c_str(), 0666);
  ::chmod(folder.c_str(), 0555);
  test::ChildProcess nobody([&](test::ChildProcess&) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 2;
    try {
      clear(folder + "/saved.dbf");
    } catch (const ClearLogError& error) {
      return std::string(error.what()).find("Permission denied") != std::string::npos ? 0 : 3;
    } catch (...) {
      return 4;
    }
    return 5;  // cleared without the copy
  });
  EXPECT_EQ(nobody.wait(), 0);
  EXPECT_EQ(test::readBytes(logPath()), m_before);
  EXPECT_FALSE(std::filesystem::exists(folder + "/saved.dbf"));
}

}  // namespace
}  // namespace kestrel
