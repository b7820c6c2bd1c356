// The mailing log's append: the record as other dBASE readers see it, the
// wait for another copy of the program that holds the append lock, and a
// printed mailer that cannot be logged told with its number.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "dbase/TTzDbf.h"
#include "log/MailingLog.h"

namespace kestrel::test {
namespace {

constexpr const char* kNumber22 = "9214 7123 4567 8900 0004 25";
constexpr const char* kNumber20 = "7100 0000 0000 0000 0001 ";

Mailer sampleMailer() {
  Mailer mailer;
  mailer.names = {"  Jos\xe9 Example", "Far Too Long A Line For The Name Field!", "", "Suite 4"};
  mailer.city = "Springfield";
  mailer.state = "IL";
  mailer.zip = "62701-1234";
  mailer.postage = "          0.39";
  mailer.certified = "          2.40";
  mailer.restricted = " ";
  mailer.returnReceipt = "          1.85";
  mailer.total = "          4.64";
  mailer.comments = "Lease notice";
  mailer.re = "Unit 12";
  return mailer;
}

class LogAppendTest : public DbaseTest {
 protected:
  std::string programFolder() const { return m_dir.path().string() + "/"; }
  std::string logPath() const { return programFolder() + kMailingLogFileName; }
  void makeReports() { std::filesystem::create_directory(programFolder() + kReportsFolderName); }
  std::uint32_t records() {
    TTzDbf table("check");
    table.SetDbfFileName(logPath());
    table.Open();
    return table.RecordCount();
  }
  TTzDbf m_log{"MailingLog"};
};

TEST_F(LogAppendTest, RecordsReadByAnIndependentReaderWithTheLogsFieldsAndToday) {
  makeReports();
  // Shared by a group, as installed: whatever the umask of the first user,
  // every member appends to the log that user created, and nobody else.
  ASSERT_EQ(::chmod((programFolder() + kReportsFolderName).c_str(), 02775), 0);
  const mode_t previous = ::umask(077);
  setUpMailingLog(m_log, programFolder());
  LogPrintedMailer(m_log, sampleMailer(), kNumber22);
  ::umask(previous);
  LogPrintedMailer(m_log, sampleMailer(), kNumber20);
  EXPECT_FALSE(m_log.Active());

  struct stat status {};
  ASSERT_EQ(::stat(logPath().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0660u);

  writeBytes(m_dir.file("read.py"), R"(
import sys, datetime, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp437', char_decode_errors='strict')
print(datetime.date.today())
print(';'.join('%s:%s:%d' % (f.name.lower(), f.type, f.length) for f in t.fields))
for r in t:
    print('|'.join(str(v) for v in r.values()))
)");
  auto [status2, output] =
      runCommand(std::string(kSystemPython) + " " + shellQuote(m_dir.file("read.py")) + " " +
                 shellQuote(logPath()) + " 2>&1");
  ASSERT_EQ(status2, 0) << output;
  const std::string date = output.substr(0, output.find('\n'));
  const std::string fields =
      "sentname0:C:30;sentname1:C:30;sentname2:C:30;sentname3:C:30;city:C:35;state:C:4;"
      "zip:C:10;rdate:D:8;mailernum:C:27;postage:C:15;certified:C:15;restricted:C:15;"
      "return:C:15;total:C:15;comments:C:35;re:C:25\n";
  // Character fields are cut at their widths; the reader drops trailing
  // blanks, so the 20-digit number's blank group and a blank fee vanish.
  const std::string common =
      "  Jos\xc3\xa9 Example|Far Too Long A Line For The Na||Suite 4|Springfield|IL|62701-1234|" +
      date + "|";
  const std::string fees =
      "|          0.39|          2.40||          1.85|          4.64|"
      "Lease notice|Unit 12\n";
  EXPECT_EQ(output, date + "\n" + fields + common + kNumber22 + fees + common +
                        "7100 0000 0000 0000 0001" + fees);
}

// kestrel-dbf holds the append lock as another copy of the program would.
class LockHolder {
 public:
  LockHolder(const std::string& table, const char* seconds) {
    const std::string command = std::string(kBinaryDir) + "/tools/dbf/kestrel-dbf hold-lock " +
                                shellQuote(table) + " " + seconds;
    m_pipe = ::popen(command.c_str(), "r");
    char line[64] = {};
    m_ready = m_pipe != nullptr && std::fgets(line, sizeof line, m_pipe) != nullptr &&
              std::string(line) == "locked\n";
  }
  ~LockHolder() {
    if (m_pipe) ::pclose(m_pipe);
  }
  bool ready() const { return m_ready; }

 private:
  FILE* m_pipe = nullptr;
  bool m_ready = false;
};

TEST_F(LogAppendTest, AppendWaitsOutABriefLockAndNamesTheNumberWhenTheLockStays) {
  makeReports();
  setUpMailingLog(m_log, programFolder());
  LogPrintedMailer(m_log, sampleMailer(), kNumber22);

  struct Case {
    const char* heldSeconds;
    bool logged;
  };
  for (const Case& c : {Case{"0.3", true}, Case{"4", false}}) {
    SCOPED_TRACE(c.heldSeconds);
    const std::uint32_t before = records();
    LockHolder holder(logPath(), c.heldSeconds);
    ASSERT_TRUE(holder.ready());
    if (c.logged) {
      LogPrintedMailer(m_log, sampleMailer(), kNumber20);
    } else {
      try {
        LogPrintedMailer(m_log, sampleMailer(), kNumber20);
        ADD_FAILURE() << "a refused lock must be told";
      } catch (const MailingLogError& error) {
        EXPECT_NE(std::string(error.what()).find("7100 0000 0000 0000 0001 was printed"),
                  std::string::npos)
            << error.what();
      }
    }
    EXPECT_FALSE(m_log.Active());
    EXPECT_EQ(records(), before + (c.logged ? 1 : 0));
  }
}

TEST_F(LogAppendTest, LogThatCannotBeCreatedNamesTheNumber) {
  // No "Reports" folder, so the log cannot be created.
  setUpMailingLog(m_log, programFolder());
  try {
    LogPrintedMailer(m_log, sampleMailer(), kNumber22);
    ADD_FAILURE() << "an unwritable log must be told";
  } catch (const MailingLogError& error) {
    const std::string text = error.what();
    EXPECT_NE(text.find(std::string(kNumber22) + " was printed"), std::string::npos) << text;
    EXPECT_NE(text.find("Error # "), std::string::npos) << text;
  }
  EXPECT_FALSE(m_log.Active());
  EXPECT_FALSE(std::filesystem::exists(logPath()));
}

}  // namespace
}  // namespace kestrel::test
