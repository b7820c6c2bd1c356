// Sharing a table with real second processes: locks, counts, share modes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "ChildProcess.h"
#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

// kestrel-dbf run as a second program; its first output line tells it is ready.
class ToolProcess {
 public:
  explicit ToolProcess(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(out[1], 1);
      ::close(out[0]);
      std::vector<char*> argv;
      const std::string tool = std::string(kBinaryDir) + "/tools/dbf/kestrel-dbf";
      argv.push_back(const_cast<char*>(tool.c_str()));
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(tool.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    m_out = ::fdopen(out[0], "r");
  }
  ~ToolProcess() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGTERM);
      ::waitpid(m_pid, nullptr, 0);
    }
    std::fclose(m_out);
  }
  std::string firstLine() {
    char line[256] = {};
    return std::fgets(line, sizeof line, m_out) ? std::string(line) : std::string();
  }

 private:
  pid_t m_pid = -1;
  FILE* m_out = nullptr;
};

std::string tool() {
  return std::string(kBinaryDir) + "/tools/dbf/kestrel-dbf";
}

class MultiProcessTest : public MailingLogTest {};

TEST_F(MultiProcessTest, AppendLockIsRefusedWhileAnotherProcessHoldsIt) {
  TTzDbf table("tzLog");
  openLog(table);
  {
    ToolProcess holder({"hold-lock", logPath(), "30"});
    ASSERT_EQ(holder.firstLine(), "locked\n");
    EXPECT_FALSE(table.ALock());
    auto [status, output] = runCommand("printf 'x\\n' | " + shellQuote(tool()) + " append " +
                                       shellQuote(logPath()) + " 2>&1");
    EXPECT_EQ(status, 3) << output;
    EXPECT_EQ(table.RecordCount(), 0u);
  }
  EXPECT_TRUE(table.ALock());
}

TEST_F(MultiProcessTest, TwoProcessesAppendingInTurnLeaveEveryRecordAndOneEndByte) {
  {
    TTzDbf create("create");
    openLog(create);
  }
  constexpr int kEach = 1000;
  auto appender = [this](const char* who) {
    return [this, who](ChildProcess&) {
      int refused = 0;
      for (int i = 0; i < kEach; ++i) {
        TTzDbf table("tzLog");
        openLog(table);
        table.ClearRecord();
        table.SetFieldText("sentname0", std::string(who) + std::to_string(i));
        while (!table.ALock()) ++refused;  // the other process is appending: try again
        table.AppendRec();
        table.UnLock();
        table.Close();
      }
      return refused >= 0 ? 0 : 1;
    };
  };
  ChildProcess a(appender("A"));
  ChildProcess b(appender("B"));
  ASSERT_EQ(a.wait(), 0);
  ASSERT_EQ(b.wait(), 0);

  const std::string bytes = readBytes(logPath());
  ASSERT_EQ(bytes.size(), 545u + 2 * kEach * 340u + 1u);
  EXPECT_EQ(bytes.back(), '\x1A');
  int fromA = 0;
  int fromB = 0;
  for (int n = 0; n < 2 * kEach; ++n) {
    const std::string record = bytes.substr(545 + static_cast<std::size_t>(n) * 340, 340);
    ASSERT_EQ(record[0], ' ') << n;
    ASSERT_EQ(std::count(record.begin(), record.end(), '\x1A'), 0) << n;
    fromA += record[1] == 'A';
    fromB += record[1] == 'B';
  }
  EXPECT_EQ(fromA, kEach);
  EXPECT_EQ(fromB, kEach);
  TTzDbf table("tzLog");
  table.SetDbfFileName(logPath());
  table.SetExclusive(true);
  table.Open();
  EXPECT_EQ(table.RecordCount(), 2u * kEach);  // the header count
}

TEST_F(MultiProcessTest, RecordCountSeesAnotherProcessAppendBeforeItCloses) {
  TTzDbf table("tzLog");
  openLog(table);
  ChildProcess child([this](ChildProcess& self) {
    TTzDbf other("other");  // the parent's alias lives on in the forked copy
    openLog(other);
    other.ClearRecord();
    other.SetFieldText("city", "Elsewhere");
    if (!other.ALock()) return 1;
    other.AppendRec();
    self.send('a');
    self.receive();  // stays open until the parent has looked
    other.Close();
    return 0;
  });
  ASSERT_EQ(child.receive(), 'a');
  EXPECT_EQ(table.RecordCount(), 1u);
  table.First();
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.GetFieldText("city").substr(0, 9), "Elsewhere");
  EXPECT_FALSE(table.ALock());  // the other still holds the append lock
  child.send('g');
  EXPECT_EQ(child.wait(), 0);
  EXPECT_TRUE(table.ALock());
}

TEST_F(MultiProcessTest, RecordsRewrittenElsewhereAreSeenAfterALockARefreshOrAPause) {
  // A visit reads records ahead in one piece; what another program writes in
  // place must still reach this one once it locks, refreshes or pauses.
  const struct {
    const char* name;
    std::function<void(TTzDbf&)> lookAgain;  // then the table is on record 2
  } ways[] = {
      {"append lock",
       [](TTzDbf& t) {
         ASSERT_TRUE(t.ALock());
         t.UnLock();
         t.Next();
       }},
      {"refresh",
       [](TTzDbf& t) {
         t.Next();
         t.Refresh();
       }},
      {"pause",
       [](TTzDbf& t) {
         std::this_thread::sleep_for(std::chrono::milliseconds(120));
         t.Next();
       }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    std::filesystem::remove(logPath());
    TTzDbf table("tzLog");
    openLog(table);
    for (const char* city : {"Ogdenville", "Shelbyville", "Capital City"}) {
      table.ClearRecord();
      table.SetFieldText("city", city);
      ASSERT_TRUE(table.ALock());
      table.AppendRec();
      table.UnLock();
    }
    table.First();
    EXPECT_EQ(table.GetFieldText("city").substr(0, 10), "Ogdenville");
    const FieldDescriptor& city =
        table.fields()[static_cast<std::size_t>(table.fieldIndex("city"))];
    const int fd = ::open(logPath().c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    const std::string renamed = "North Haverbrook";
    ASSERT_EQ(
        ::pwrite(fd, renamed.data(), renamed.size(),
                 static_cast<off_t>(table.headerLength() + table.recordLength() + city.offset)),
        static_cast<ssize_t>(renamed.size()));
    ::close(fd);
    way.lookAgain(table);
    EXPECT_EQ(table.RecNo(), 2u);
    EXPECT_EQ(table.GetFieldText("city").substr(0, renamed.size()), renamed);
  }
}

TEST_F(MultiProcessTest, ExclusiveOpenIsRefusedWhileAnotherProcessHasTheFileOpen) {
  TTzDbf table("tzLog");
  openLog(table);
  ChildProcess child([this](ChildProcess& self) {
    TTzDbf other("other");  // the parent's alias lives on in the forked copy
    openLog(other);
    self.send('o');
    self.receive();
    return 0;
  });
  ASSERT_EQ(child.receive(), 'o');
  try {
    table.SetExclusive(true);
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 32);
    EXPECT_NE(std::string(e.what()).find("(File sharing violation)"), std::string::npos);
  }
  EXPECT_FALSE(table.Active());
  child.send('g');
  EXPECT_EQ(child.wait(), 0);
  table.Open();
  EXPECT_TRUE(table.Exclusive());

  // And the other way round: a shared open while another process has it exclusively.
  ChildProcess shared([this](ChildProcess&) {
    TTzDbf other("other");  // the parent's alias lives on in the forked copy
    try {
      openLog(other);
    } catch (const ETableError& e) {
      return e.code() == 32 ? 0 : 2;
    }
    return 1;
  });
  EXPECT_EQ(shared.wait(), 0);
}

TEST_F(MultiProcessTest, RecordLockedByAnotherProgramRefusesPostAndDelete) {
  WarningRecorder warnings;
  {
    TTzDbf create("create");
    openLog(create);
    create.ClearRecord();
    create.SetFieldText("city", "Original");
    ASSERT_TRUE(create.ALock());
    create.AppendRec();
  }
  // Another dBASE program locks record 1 the way the format prescribes.
  ChildProcess child([this](ChildProcess& self) {
    int fd = ::open(logPath().c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = dbf::kLockBase + 545;
    lock.l_len = 340;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) return 1;
    self.send('l');
    self.receive();
    return 0;
  });
  ASSERT_EQ(child.receive(), 'l');
  TTzDbf table("tzLog");
  openLog(table);
  table.SetFieldText("city", "Edited");
  table.Post();
  EXPECT_EQ(warnings.texts().back(), "Lock failed [Post]");
  EXPECT_EQ(table.GetFieldText("city").substr(0, 8), "Original");
  table.Delete();
  EXPECT_EQ(warnings.texts().back(), "Lock failed [Delete]");
  EXPECT_FALSE(table.Deleted());
  try {
    table.DeleteRec();
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 1200);
  }
  EXPECT_TRUE(table.ALock());  // the append lock is another byte
  table.UnLock();
  child.send('g');
  EXPECT_EQ(child.wait(), 0);
  table.Delete();
  EXPECT_TRUE(table.Deleted());
}

TEST_F(MultiProcessTest, TwoSortsBySameFieldAtOnceNeverCallTheIndexCorrupted) {
  // Two kestrel-dbf dumps in the order of the same field, the second started
  // while the first builds WHO.MDX (two users previewing the log sorted by
  // name at the same moment). The one that claims the index first completes;
  // the other completes too or is refused because the index is in use.
  constexpr std::uint32_t kRecords = 40000;
  const std::string path = m_dir.file("who.dbf");
  {
    TTzDbf table("who");
    table.SetDbfFileName(path);
    table.SetDbfFields({"who,C,30,0", "city,C,20,0"});
    table.Open();
    table.Close();
  }
  std::string bytes = readBytes(path);
  bytes.pop_back();  // the end-of-file byte
  for (std::uint32_t i = 0; i < kRecords; ++i) {
    std::string who = "N" + std::to_string(10000000 + (i * 7919u) % 90000000u);
    bytes += ' ' + who + std::string(30 - who.size(), ' ') + "Springfield" + std::string(9, ' ');
  }
  bytes += '\x1A';
  for (int b = 0; b < 4; ++b) bytes[4 + b] = static_cast<char>(kRecords >> (8 * b));
  writeBytes(path, bytes);

  const std::string dump = shellQuote(tool()) + " dump " + shellQuote(path) + " --order WHO";
  const auto [soloStatus, reference] = runCommand(dump);
  ASSERT_EQ(soloStatus, 0);
  // One line per record, ",WHO,CITY", in key order.
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = reference.find("\r\n", at)) != std::string::npos;
       at = end + 2) {
    lines.push_back(reference.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), kRecords);
  ASSERT_TRUE(std::is_sorted(lines.begin(), lines.end()));

  const std::string out = shellQuote(m_dir.file("run"));
  const std::string inUse = "Error # 225 (Exclusive Use() required)\r\n" + path + " MakeIndex(" +
                            m_dir.file("WHO.MDX") + ")\n";
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const auto [status, ignored] = runCommand(
        "(" + dump + " >" + out + ".1 2>" + out + ".1e; echo $? >" + out + ".1s) & sleep 0.01; " +
        dump + " >" + out + ".2 2>" + out + ".2e; echo $? >" + out + ".2s; wait");
    ASSERT_EQ(status, 0);
    int completed = 0;
    for (const char* which : {".1", ".2"}) {
      SCOPED_TRACE(which);
      const std::string file = m_dir.file("run") + which;
      const std::string exit = readBytes(file + "s");
      if (exit == "0\n") {
        ++completed;
        EXPECT_TRUE(readBytes(file) == reference) << "an incomplete or unordered dump";
        EXPECT_EQ(readBytes(file + "e"), "");
      } else {
        EXPECT_EQ(exit, "1\n");
        EXPECT_EQ(readBytes(file + "e"), inUse);
      }
    }
    EXPECT_GE(completed, 1);
  }
}

TEST_F(MultiProcessTest, MemoLockHeldElsewhereIsCode1017AfterRetries) {
  TTzDbf table("tzBook");
  table.SetDbfFileName(m_dir.file("book.dbf"));
  table.SetDbfFields(addressBookFields());
  table.Open();
  const std::string memoPath = m_dir.file("book.DBT");
  ChildProcess child([&](ChildProcess& self) {
    int fd = ::open(memoPath.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = dbf::kMemoLockOffset;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) return 1;
    self.send('l');
    self.receive();
    return 0;
  });
  ASSERT_EQ(child.receive(), 'l');
  try {
    table.SetFieldText("address", "text");
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 1017);
    EXPECT_EQ(e.detail(), memoPath + " [SetFieldText]");
  }
  child.send('g');
  EXPECT_EQ(child.wait(), 0);
  table.SetFieldText("address", "text");
  EXPECT_EQ(table.GetFieldText("address"), "text");
}

}  // namespace
}  // namespace kestrel::test
