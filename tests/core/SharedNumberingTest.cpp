#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/ProfileFile.h"
#include "core/SettingsFile.h"
#include "core/SharedNumbering.h"

namespace kestrel {
namespace {

class SharedNumberingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = std::filesystem::temp_directory_path() /
               ("kestrel-numbering-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    m_path = (m_folder / "Kestrel3.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  // A copy of the program as it starts: the numbering state in memory only.
  static NumberingState barCodeCopy(const std::string& serial) {
    NumberingState state;
    state.PrintBarCode = true;
    state.CustID = "123456789";
    state.SerialNum = serial;
    state.Increment = true;
    state.MailerNum = "71000000000000000000";
    return state;
  }

  std::string storedSerial() const {
    return ProfileFile::load(m_path).readString("Values", "SerialNum", "<none>");
  }

  std::filesystem::path m_folder;
  std::string m_path;
};

// Two copies that each read the state once at start and then print one after
// the other must never use one number twice.
TEST_F(SharedNumberingTest, TwoProcessesAdvancingAThousandTimesNeverShareASerial) {
  constexpr int kEach = 500;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      std::ofstream out(m_folder / ("serials-" + std::to_string(c)));
      NumberingState state = barCodeCopy("0000000");
      int status = 0;
      for (int i = 0; i < kEach; ++i) {
        try {
          out << reserveNextNumber(state, m_path).after.SerialNum << '\n';
        } catch (...) {
          status = 1;
        }
      }
      out.close();
      ::_exit(out ? status : 2);
    }
  }
  for (pid_t child : children) {
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::set<std::string> serials;
  for (int c = 0; c < 2; ++c) {
    std::ifstream in(m_folder / ("serials-" + std::to_string(c)));
    for (std::string line; std::getline(in, line);) serials.insert(line);
  }
  EXPECT_EQ(serials.size(), 2u * kEach);
  EXPECT_EQ(*serials.begin(), "0000001");
  EXPECT_EQ(*serials.rbegin(), "0001000");
  EXPECT_EQ(storedSerial(), "0001000");
}

TEST_F(SharedNumberingTest, AGiveBackSkipsTheNumberWhenAnotherCopyTookALaterOne) {
  NumberingState first = barCodeCopy("0000041");
  NumberingState second = barCodeCopy("0000041");

  const NumberReservation mine = reserveNextNumber(first, m_path);
  EXPECT_EQ(first.SerialNum, "0000042");
  EXPECT_TRUE(giveBackNumber(first, mine, m_path));
  EXPECT_EQ(first.SerialNum, "0000041");
  EXPECT_EQ(storedSerial(), "0000041");

  const NumberReservation again = reserveNextNumber(first, m_path);
  reserveNextNumber(second, m_path);  // reads 0000042 from the file
  EXPECT_EQ(second.SerialNum, "0000043");
  EXPECT_FALSE(giveBackNumber(first, again, m_path));
  EXPECT_EQ(first.SerialNum, "0000043");
  EXPECT_EQ(storedSerial(), "0000043");
}

TEST_F(SharedNumberingTest, ALockHeldElsewhereStopsTheAdvanceAndChangesNothing) {
  NumberingState state = barCodeCopy("0000041");
  storeNumbering(state, m_path);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    // A copy that hangs while it holds the lock.
    SettingsFileLock lock(m_path);
    (void)!::write(ready[1], "x", 1);
    ::sleep(4);
    ::_exit(0);
  }
  char go = 0;
  ASSERT_EQ(::read(ready[0], &go, 1), 1);
  EXPECT_THROW(reserveNextNumber(state, m_path), NumberingFileError);
  EXPECT_EQ(state.SerialNum, "0000041");
  EXPECT_EQ(storedSerial(), "0000041");
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  // A killed holder's lock goes with it.
  EXPECT_EQ(reserveNextNumber(state, m_path).after.SerialNum, "0000042");
}

// The settings written at close or after a mailer must not put back the
// number this copy read at start when another copy has moved on since.
TEST_F(SharedNumberingTest, WritingTheOtherSettingsKeepsTheFilesNumbering) {
  SettingsRecord stale;
  static_cast<NumberingState&>(stale) = barCodeCopy("0000041");
  stale.ProgramFolder = m_folder.string() + "/";
  ASSERT_TRUE(writeSettingsFile(stale, m_path));
  EXPECT_EQ(storedSerial(), "0000041");  // a new file takes ours

  NumberingState other = barCodeCopy("0000041");
  reserveNextNumber(other, m_path);
  stale.Line1 = "Ann Example";
  ASSERT_TRUE(writeSettingsFile(stale, m_path));
  EXPECT_EQ(storedSerial(), "0000042");
  EXPECT_EQ(ProfileFile::load(m_path).readString("YourAddress", "Line1", ""), "Ann Example");
}

TEST_F(SharedNumberingTest, AnUnreadableCounterIsNotNumberedAndNotWritten) {
  NumberingState state = barCodeCopy("0000041");
  storeNumbering(state, m_path);
  ProfileFile file = ProfileFile::load(m_path);
  file.writeString("Values", "SerialNum", "12ab");
  ASSERT_TRUE(file.save(m_path));
  EXPECT_ANY_THROW(reserveNextNumber(state, m_path));
  EXPECT_EQ(state.SerialNum, "0000041");
  EXPECT_EQ(storedSerial(), "12ab");
}

}  // namespace
}  // namespace kestrel
