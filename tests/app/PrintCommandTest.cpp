// File > Print and the Print button end to end on the offscreen platform: the
// 28 slots handed to the form printer, the numbering state before and after,
// the mailing log written beside it, and every way the command stops early.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "MainWindowFixture.h"
#include "TestPaths.h"
#include "app/U_Main.h"
#include "core/Settings.h"
#include "dbase/TTzDbf.h"
#include "numbering/MailerNumber.h"
#include "platform/MaskedEdit.h"
#include "print/FormPrinter.h"
#include "print/PrintError.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

using test::kQuietStart;
using Kind = test::ScriptedUserInteraction::Kind;
using Record = std::map<std::string, std::string>;

constexpr PageGeometry k300{300, 300, 0, 0};

class PrintCommandTest : public test::MainWindowFixture {
 protected:
  // Starts without questions and with the mailer number dialog switched off,
  // as after "Do not show this screen again"; mailers go to a recording page.
  TF_Main& startPrinting(const QByteArray& values = {}) {
    writeIni(QByteArray(kQuietStart) + values);
    TF_Main& window = start();
    Settings().ShowMailerDialog = false;
    window.setMailerPrinter([this](const PrintRequest& request, bool barCodes, const QFont& font) {
      if (m_printerFails) throw PrintError("The printer is out of paper.");
      m_requests.push_back(request);
      RecordingCanvas canvas(k300);
      return PrintMailer(canvas, request, barCodes, font);
    });
    return window;
  }

  void enterRecipient(const QString& lines, const QString& city, const QString& state,
                      const QString& zip) {
    find<QPlainTextEdit>("memoAddress")->setPlainText(lines);
    find<QLineEdit>("editCity")->setText(city);
    find<QLineEdit>("editState")->setText(state);
    find<MaskedEdit>("editZip")->setMaskedText(zip);
  }

  std::string logPath() const { return programFolder() + "/Reports/report3.dbf"; }

  std::vector<Record> logRecords() {
    std::vector<Record> records;
    if (!QFile::exists(QString::fromStdString(logPath()))) return records;
    TTzDbf log("check");
    log.SetDbfFileName(logPath());
    log.Open();
    for (log.First(); !log.Eof(); log.Next()) {
      Record record;
      for (const FieldDescriptor& field : log.fields())
        record[field.name] = log.GetFieldText(field.name);
      records.push_back(record);
    }
    return records;
  }

  std::vector<PrintRequest> m_requests;
  bool m_printerFails = false;
};

std::string trimmedRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Where the city line goes is the mailer's rule (mailer tests); here the
// lines as the memo displays them reach the form, and the log keeps them
// unmoved.
TEST_F(PrintCommandTest, CityLineTakesTheFirstBlankRecipientLineAndTheLogKeepsLinesUnmoved) {
  struct Case {
    const char* name;
    QString memo, city, state, zip;
    std::array<std::string, 5> lines;     // slots 6 to 10
    std::array<std::string, 4> logNames;  // sentname0 to 3, trimmed on the right
  };
  const Case cases[] = {
      {"four lines",
       "A Person\nB Company\nC Street\nD Suite",
       "Dover",
       "DE",
       "19901-1234",
       {"A Person", "B Company", "C Street", "D Suite", "Dover DE 19901-1234"},
       {"A Person", "B Company", "C Street", "D Suite"}},
      {"blank second line",
       "Ann\n  \nMain St",
       "Dover",
       "DE",
       "19901",
       {"Ann", "Dover DE 19901", "Main St", "", ""},
       {"Ann", "", "Main St", ""}},
      {"nothing entered", "", "", "", "", {"  ", "", "", "", ""}, {"", "", "", ""}},
  };
  TF_Main& window = startPrinting();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    enterRecipient(c.memo, c.city, c.state, c.zip);
    m_requests.clear();
    window.MIPrint->trigger();
    ASSERT_EQ(m_requests.size(), 1u);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(m_requests[0][slot::kRecipientLine1 + i], c.lines[i]) << i;
    const auto records = logRecords();
    ASSERT_FALSE(records.empty());
    const Record& logged = records.back();
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(trimmedRight(logged.at("SENTNAME" + std::to_string(i))), c.logNames[i]) << i;
  }
}

TEST_F(PrintCommandTest, NumberFeeAndChoiceSlotsInBothNumberingModes) {
  struct Case {
    const char* name;
    QByteArray values;
    QString typedStockNumber;  // typed into the mailer number dialog, or empty
    std::string slot15, slot16, logNumber;
  };
  const Case cases[] = {
      {"bar codes, hyphenated customer ID",
       "[Values]\r\nPrintBarCode=1\r\nCustID=12-345-6789\r\nSerialNum=0000041\r\n",
       {},
       "123456789",
       "0000042",
       GroupMailerNumber(ComposeMailerNumber("123456789", "0000042", ""))},
      {"a counter form's number typed in the dialog", "[Values]\r\nPrintBarCode=0\r\n",
       "9589 0710 5270 4022 2902 86", "9589071052704022290286", "", "9589 0710 5270 4022 2902 86"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TF_Main& window = startPrinting(c.values +
                                    "[Print Align]\r\nLeftRight=-3\r\nTopBottom=12\r\n"
                                    "[Printing]\r\nPrintExtraLabel=Yes\r\n"
                                    "ExtraLabel=Your Name and Address\r\n");
    if (!c.typedStockNumber.isEmpty()) {
      Settings().ShowMailerDialog = true;
      m_user.answerDialog([&](QDialog& dialog) {
        auto* field = dialog.findChild<MaskedEdit*>(QStringLiteral("editMailerNum"));
        test::retype(field, c.typedStockNumber);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
        return dialog.result();
      });
    }
    enterRecipient("Bob Smith", "Dover", "DE", "19901");
    find<QLineEdit>("editRe")->setText("A reference of thirty chars");
    find<QLineEdit>("editComment")->setText("By hand");
    find<QCheckBox>("cbRestricted")->setChecked(true);
    m_requests.clear();
    window.btnPrint->click();
    ASSERT_EQ(m_requests.size(), 1u);
    const PrintRequest& r = m_requests[0];
    EXPECT_EQ(r[slot::kSenderLine1], "Ann Example");
    EXPECT_EQ(r[slot::kSenderLine1 + 1], "Springfield IL 62701");
    EXPECT_EQ(r[slot::kSenderZip], "62701");
    EXPECT_EQ(r[slot::kRecipientZip], "19901");
    EXPECT_EQ(r[slot::kRe], "A reference of thirty cha");
    EXPECT_EQ(r[slot::kComment], "By hand");
    EXPECT_EQ(r[slot::kRestricted], "Y");
    EXPECT_EQ(r[slot::kNumberSource], c.slot15);
    EXPECT_EQ(r[slot::kSerial], c.slot16);
    // Return receipt before restricted delivery, each as the field shows it.
    const char* const fees[] = {"editPostage", "editCertFee", "editReturn", "editRestricted",
                                "editTotal"};
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(QString::fromLatin1(r[slot::kPostage + i]), find<QLineEdit>(fees[i])->text());
    EXPECT_EQ(r[slot::kLeftRight], "-3");
    EXPECT_EQ(r[slot::kTopBottom], "12");
    EXPECT_EQ(r[slot::kPrintExtraLabel], "Yes");
    EXPECT_EQ(r[slot::kExtraLabel], "Your Name and Address");
    EXPECT_EQ(r[26], "-1");
    EXPECT_EQ(r[27], "-1");
    const auto records = logRecords();
    ASSERT_EQ(records.size(), 1u);
    // The field's blank padding absorbs the blank that ends a 20-digit number.
    EXPECT_EQ(records[0].at("MAILERNUM"), c.logNumber + std::string(27 - c.logNumber.size(), ' '));
    EXPECT_TRUE(window.printedState());
    m_window.reset();
    QFile::remove(QString::fromStdString(logPath()));
  }
}

TEST_F(PrintCommandTest, MenuPrintsAgainInThePrintedStateWithTheNextNumberAndSavesItAtOnce) {
  TF_Main& window = startPrinting(
      "[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\n"
      "SerialNum=0000041\r\n");
  enterRecipient("Bob Smith", "Dover", "DE", "19901");
  window.MIPrint->trigger();
  EXPECT_TRUE(window.printedState());
  EXPECT_FALSE(window.btnPrint->isEnabled());
  // The number is on disk before the window closes: a crash now cannot hand
  // it out again.
  EXPECT_TRUE(readIni().contains("SerialNum=0000042\r\n"));

  window.MIPrint->trigger();
  ASSERT_EQ(m_requests.size(), 2u);
  EXPECT_EQ(m_requests[1][slot::kSerial], "0000043");
  EXPECT_TRUE(readIni().contains("SerialNum=0000043\r\n"));
  const auto records = logRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].at("MAILERNUM"),
            GroupMailerNumber(ComposeMailerNumber("123456789", "0000042", "")));
  EXPECT_EQ(records[1].at("MAILERNUM"),
            GroupMailerNumber(ComposeMailerNumber("123456789", "0000043", "")));
  EXPECT_TRUE(m_user.questions().empty());
}

TEST_F(PrintCommandTest, StopsBeforePrintingLeaveTheNumberingStateAsItWas) {
  struct Case {
    const char* name;
    QByteArray values;
    bool dialogShown;
  };
  const Case cases[] = {
      {"dialog cancelled on the first print", "CustID=12-345-6789\r\n", true},
      {"customer ID never chosen", "CustID=00-000-0000\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QByteArray values = "[Values]\r\nPrintBarCode=1\r\nSerialNum=0000041\r\n" + c.values;
    if (!c.dialogShown) {
      // The start-up asks for the customer ID; the user leaves it unchosen.
      m_user.answerMessage(UserInteraction::Answer::Ok);
      m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
    }
    TF_Main& window = startPrinting(values);
    const std::size_t asked = m_user.questions().size();
    const SettingsRecord before = Settings();
    Settings().ShowMailerDialog = c.dialogShown;
    if (c.dialogShown) {
      m_user.answerDialog([](QDialog& dialog) {
        // The print offers the check box that the Options command does not.
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("cbDontShow"))->isVisible());
        return int(QDialog::Rejected);
      });
    } else {
      m_user.answerMessage(UserInteraction::Answer::Ok);
    }
    window.btnPrint->click();
    EXPECT_TRUE(m_requests.empty());
    EXPECT_EQ(Settings().SerialNum, before.SerialNum);
    EXPECT_EQ(Settings().CustID, before.CustID);
    EXPECT_EQ(Settings().MailerNum, before.MailerNum);
    EXPECT_FALSE(window.printedState());
    EXPECT_TRUE(logRecords().empty());
    if (!c.dialogShown) {
      ASSERT_EQ(m_user.questions().size(), asked + 1);
      const auto& refusal = m_user.questions().back();
      EXPECT_EQ(refusal.icon, UserInteraction::Icon::Error);
      EXPECT_EQ(refusal.text,
                "You can not print a Mailer with \"00-000-0000\" as a Customer ID.\n\n"
                "Please enter in a Customer ID, and try again.");
    }
    m_window.reset();
  }
}

TEST_F(PrintCommandTest, PrinterFailureKeepsTheNumberAdvancedTheWindowEditedAndWritesNoRecord) {
  TF_Main& window = startPrinting(
      "[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\n"
      "SerialNum=0000041\r\n");
  enterRecipient("Bob Smith", "Dover", "DE", "19901");
  m_printerFails = true;
  m_user.answerMessage(UserInteraction::Answer::Ok);
  window.btnPrint->click();
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_EQ(m_user.questions()[0].text, "The printer is out of paper.");
  EXPECT_EQ(m_user.questions()[0].icon, UserInteraction::Icon::Error);
  EXPECT_EQ(Settings().SerialNum, "0000042");
  EXPECT_FALSE(window.printedState());
  EXPECT_TRUE(window.btnPrint->isEnabled());
  EXPECT_TRUE(logRecords().empty());
  EXPECT_FALSE(window.mailingLog().Active());
}

TEST_F(PrintCommandTest, LogLockedByAnotherCopyPrintsTheMailerAndNamesItsMissingNumber) {
  TF_Main& window = startPrinting(
      "[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\n"
      "SerialNum=0000041\r\n");
  enterRecipient("Bob Smith", "Dover", "DE", "19901");
  window.btnPrint->click();
  ASSERT_EQ(logRecords().size(), 1u);

  const std::string command =
      std::string(test::kBinaryDir) + "/tools/dbf/kestrel-dbf hold-lock '" + logPath() + "' 4";
  FILE* holder = ::popen(command.c_str(), "r");
  ASSERT_NE(holder, nullptr);
  char line[32] = {};
  ASSERT_NE(std::fgets(line, sizeof line, holder), nullptr);
  ASSERT_STREQ(line, "locked\n");
  m_user.answerMessage(UserInteraction::Answer::Ok);
  window.MIPrint->trigger();
  ::pclose(holder);

  EXPECT_EQ(m_requests.size(), 2u);
  EXPECT_TRUE(window.printedState());
  ASSERT_EQ(m_user.questions().size(), 1u);
  const QString number =
      QString::fromStdString(GroupMailerNumber(ComposeMailerNumber("123456789", "0000043", "")));
  EXPECT_TRUE(m_user.questions()[0].text.contains(number + " was printed"))
      << m_user.questions()[0].text.toStdString();
  EXPECT_EQ(logRecords().size(), 1u);
}

// A pad of counter forms: the log holds exactly the numbers on the forms, and
// a number the log already holds is asked about before anything prints.
TEST_F(PrintCommandTest, CounterFormsAreLoggedAsPrintedAndAPrintedNumberIsAskedAbout) {
  TF_Main& window = startPrinting(
      "[Values]\r\nPrintBarCode=0\r\nIncrement=1\r\nMailerNum=9589071052704022290286\r\n");
  enterRecipient("Bob Smith", "Dover", "DE", "19901");
  window.btnPrint->click();
  window.MIPrint->trigger();
  auto records = logRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(trimmedRight(records[0].at("MAILERNUM")), "9589 0710 5270 4022 2902 93");
  EXPECT_EQ(trimmedRight(records[1].at("MAILERNUM")), "9589 0710 5270 4022 2903 09");
  EXPECT_TRUE(m_user.questions().empty());

  // The pad is put back one form: the next number was printed already.
  writeIni(
      readIni().replace("MailerNum=9589071052704022290309", "MailerNum=9589071052704022290286"));
  const QByteArray iniBefore = readIni();
  const QString question = QStringLiteral(
                               "Mailer number 9589 0710 5270 4022 2902 93 was already printed on "
                               "%1 for Bob Smith. Print it again?")
                               .arg(QString::fromStdString(records[0].at("RDATE")));
  m_user.answerMessage(UserInteraction::Answer::No);
  window.MIPrint->trigger();
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_EQ(m_user.questions()[0].text.toStdString(), question.toStdString());
  EXPECT_EQ(m_user.questions()[0].buttons, UserInteraction::Buttons::YesNoDefaultNo);
  EXPECT_EQ(m_requests.size(), 2u);
  EXPECT_EQ(readIni(), iniBefore);  // the number is given back
  EXPECT_EQ(Settings().MailerNum, "9589071052704022290286");

  m_user.answerMessage(UserInteraction::Answer::Yes);
  window.MIPrint->trigger();
  EXPECT_EQ(m_user.questions().size(), 2u);
  records = logRecords();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(trimmedRight(records[2].at("MAILERNUM")), "9589 0710 5270 4022 2902 93");
}

TEST_F(PrintCommandTest, BarCodeModeAsksAboutAPrintedNumberAndALogThatCannotBeRead) {
  TF_Main& window =
      startPrinting("[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\nSerialNum=0000041\r\n");
  enterRecipient("Bob Smith", "Dover", "DE", "19901");
  window.btnPrint->click();
  ASSERT_EQ(logRecords().size(), 1u);
  const QString number =
      QString::fromStdString(GroupMailerNumber(ComposeMailerNumber("123456789", "0000042", "T")));

  writeIni(readIni().replace("SerialNum=0000042", "SerialNum=0000041"));
  m_user.answerMessage(UserInteraction::Answer::No);
  window.MIPrint->trigger();
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_TRUE(m_user.questions()[0].text.startsWith("Mailer number " + number + " was already"));
  EXPECT_EQ(m_requests.size(), 1u);
  EXPECT_TRUE(readIni().contains("SerialNum=0000041\r\n"));

  // A log that cannot be read is never taken for one without the number.
  QFile log(QString::fromStdString(logPath()));
  ASSERT_TRUE(log.open(QIODevice::WriteOnly | QIODevice::Truncate));
  log.write("not a table");
  log.close();
  m_user.answerMessage(UserInteraction::Answer::No);
  window.MIPrint->trigger();
  ASSERT_EQ(m_user.questions().size(), 2u);
  EXPECT_TRUE(m_user.questions()[1].text.startsWith(
      "The mailing log could not be read to check whether mailer number " + number))
      << m_user.questions()[1].text.toStdString();
  EXPECT_EQ(m_user.questions()[1].icon, UserInteraction::Icon::Warning);
  EXPECT_EQ(m_requests.size(), 1u);
  EXPECT_TRUE(readIni().contains("SerialNum=0000041\r\n"));
}

// A second user of the machine prints into the folders and the log that the
// first one created, through the group that shares them; a user outside the
// group is told which group to join. The program runs as "nobody" (group
// "nogroup") and as "bin" in child processes.
TEST_F(PrintCommandTest, MembersOfTheSharingGroupPrintIntoOneLogAndOthersAreToldToJoinIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a print as another user";
  constexpr uid_t kInstaller = 1;    // "daemon": owns the folders, as root does an installation's
  constexpr gid_t kSharing = 65534;  // "nogroup": the group of the users who print
  const auto share = [&](const std::string& folder) {
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::chown(folder.c_str(), kInstaller, kSharing), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 02775), 0);
  };
  ::chmod(m_program.path().toLocal8Bit().constData(), 0755);
  share(m_machine.path().toStdString());
  for (const char* folder : {"Reports", "Printed", "Addresses"})
    share(programFolder() + "/" + folder);
  writeIni(kQuietStart);

  const std::string printer = std::string(test::kBinaryDir) + "/tests/app/print_as_user";
  const auto printAs = [&](const char* user, std::string& output) {
    const std::string command = printer + " " + user + " '" + m_machine.path().toStdString() +
                                "' '" + programFolder() + "' 2>&1";
    FILE* run = ::popen(command.c_str(), "r");
    if (!run) return -1;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, run)) output += buffer;
    return ::pclose(run);
  };
  for (const char* user : {"0", "65534"}) {
    SCOPED_TRACE(user);
    std::string output;
    EXPECT_EQ(printAs(user, output), 0) << output;
  }
  EXPECT_EQ(logRecords().size(), 2u);
  EXPECT_EQ(QDir(m_program.filePath(QStringLiteral("Printed")))
                .entryList({QStringLiteral("*.pdf")}, QDir::Files)
                .size(),
            2);
  // Made by the first user, written by the second: the group's, and no one else's.
  struct stat log {};
  ASSERT_EQ(::stat(logPath().c_str(), &log), 0);
  EXPECT_EQ(log.st_gid, kSharing);
  EXPECT_EQ(log.st_mode & 0777, 0664u);

  std::string refused;
  EXPECT_NE(printAs("2", refused), 0);
  EXPECT_NE(refused.find("It is shared by the group \"nogroup\""), std::string::npos) << refused;
  EXPECT_NE(refused.find("(adduser bin nogroup)"), std::string::npos) << refused;
  EXPECT_EQ(logRecords().size(), 2u);
}

}  // namespace
}  // namespace kestrel
