#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "MdxTestSupport.h"
#include "dbase/IndexError.h"
#include "dbase/SemaphoreFile.h"

namespace kestrel {
namespace {

const SemaphoreFile::Timing kQuick{5, std::chrono::microseconds(1000),
                                   std::chrono::milliseconds(200)};

class SemaphoreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_table = m_folder.file("report3.dbf");
    std::ofstream(m_table) << "table";
    m_semaphore = SemaphoreFile::pathForTable(m_table);
  }
  // Each open of the table is its own open file description, as another
  // table object or another process would have.
  OsFile& openTable() {
    OsFile& file = m_files.emplace_back();
    EXPECT_EQ(file.open(m_table, OsFile::Access::ReadWrite), 0);
    return file;
  }
  static int errorCode(const std::function<void()>& f, std::string* detail = nullptr) {
    try {
      f();
    } catch (const IndexError& e) {
      if (detail) *detail = e.detail();
      return e.code();
    }
    return 0;
  }

  test::TempFolder m_folder;
  std::string m_table, m_semaphore;
  std::deque<OsFile> m_files;
};

// Runs body in a child process; true when it returned true there.
bool inChild(const std::function<bool()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
    }
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(SemaphoreFileTest, NamesTheFileAfterTheTable) {
  EXPECT_EQ(SemaphoreFile::pathForTable("/p/Reports/report3.dbf"), "/p/Reports/report3.@S@");
  EXPECT_EQ(SemaphoreFile::pathForTable("/p/a.b/log"), "/p/a.b/log.@S@");
}

TEST_F(SemaphoreFileTest, CountsProcessesInAndErasesTheFileAfterTheLast) {
  SemaphoreFile first(m_semaphore, openTable(), kQuick);
  first.logOn();
  ASSERT_EQ(std::filesystem::file_size(m_semaphore), 4u);
  EXPECT_EQ(first.processCount(), 1);
  {
    SemaphoreFile second(m_semaphore, openTable(), kQuick);
    second.logOn();
    EXPECT_EQ(first.processCount(), 2);
    // A process in another program counts too.
    EXPECT_TRUE(inChild([&] {
      SemaphoreFile third(m_semaphore, openTable(), kQuick);
      third.logOn();
      const bool counted = third.processCount() == 3;
      third.logOff();
      return counted;
    }));
    EXPECT_EQ(first.processCount(), 2);
  }  // closing the second logs it off
  EXPECT_EQ(first.processCount(), 1);
  first.logOff();
  EXPECT_FALSE(std::filesystem::exists(m_semaphore));
  first.logOff();  // twice is harmless
}

TEST_F(SemaphoreFileTest, LogOnFailsWhileTheTableByteIsHeld) {
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(m_table.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_start = static_cast<off_t>(SemaphoreFile::kTableLockByte);
    lock.l_len = 1;
    const bool locked = ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
    char c = locked ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    (void)!::read(release[0], &c, 1);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  SemaphoreFile semaphore(m_semaphore, openTable(), kQuick);
  std::string detail;
  EXPECT_EQ(errorCode([&] { semaphore.logOn(); }, &detail), 1202);
  EXPECT_EQ(detail,
            "Cannot lock database for: " + m_semaphore + " Action=LOGIN [Database Semaphore]");
  EXPECT_FALSE(semaphore.loggedOn());
  (void)!::write(release[1], &c, 1);
  ::waitpid(pid, nullptr, 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
  semaphore.logOn();
  EXPECT_TRUE(semaphore.loggedOn());
}

TEST_F(SemaphoreFileTest, AChangeWaitsForReadersAndReadersWaitForAChange) {
  SemaphoreFile reader(m_semaphore, openTable(), kQuick);
  reader.logOn();
  reader.beginRead();
  reader.beginRead();
  EXPECT_EQ(reader.readerByte(), 2);
  reader.endRead();

  // Another process cannot change the index while one read is running.
  std::string expected = "100 second timeout, cannot read: " + m_semaphore +
                         "\r\nPossible cause: Other user's program has terminated abnormally."
                         "\r\nCure: Log all users of this application off the network,"
                         "\r\nthen delete " +
                         m_semaphore;
  EXPECT_TRUE(inChild([&] {
    SemaphoreFile changer(m_semaphore, openTable(), kQuick);
    changer.logOn();
    std::string detail;
    const bool refused = errorCode([&] { changer.beginChange(); }, &detail) == 1202;
    changer.logOff();
    return refused && detail == expected;
  }));
  reader.endRead();
  EXPECT_EQ(reader.readerByte(), 0);

  // Once the reads are over it can, and holds readers off until it is done.
  int marked[2], done[2];
  ASSERT_EQ(::pipe(marked), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    SemaphoreFile changer(m_semaphore, openTable(), kQuick);
    changer.logOn();
    changer.beginChange();
    char c = 'm';
    (void)!::write(marked[1], &c, 1);
    (void)!::read(done[0], &c, 1);
    changer.endChange();
    changer.logOff();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(marked[0], &c, 1), 1);
  EXPECT_EQ(reader.readerByte(), SemaphoreFile::kChangeMark);
  EXPECT_EQ(errorCode([&] { reader.beginRead(); }), 1202);
  (void)!::write(done[1], &c, 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_EQ(status, 0);
  for (int fd : {marked[0], marked[1], done[0], done[1]}) ::close(fd);
  reader.beginRead();
  EXPECT_EQ(reader.readerByte(), 1);
  reader.endRead();
  EXPECT_EQ(reader.processCount(), 1);
}

}  // namespace
}  // namespace kestrel
