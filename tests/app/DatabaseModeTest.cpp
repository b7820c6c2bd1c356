// Database mode end to end on the offscreen platform: the open dialog, the
// layout switch, the record navigator over a real AddressBook, Print and Mass
// Print of its records into the mailing log, and Exit with its pack. Tables
// are read back by python3-dbfread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "DbfreadOracle.h"
#include "MainWindowFixture.h"
#include "addresses/AddressBook.h"
#include "addresses/DataAwareEdit.h"
#include "addresses/DataAwareMemo.h"
#include "addresses/MassPrintProgress.h"
#include "addresses/RecordNavigator.h"
#include "core/Settings.h"
#include "dbase/DateText.h"
#include "dbase/TTzDbf.h"
#include "dbase/TableWarnings.h"
#include "numbering/MailerNumber.h"
#include "platform/StorageConnection.h"
#include "print/FormPrinter.h"
#include "print/RecordingCanvas.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace kestrel {
namespace {

using test::kQuietStart;
using Nav = RecordNavigator;
using Answer = UserInteraction::Answer;

struct Recipient {
  std::vector<std::string> lines;
  std::string city, state, zip;
};

class DatabaseModeTest : public test::MainWindowFixture {
 protected:
  // The storage layer's warnings reach the user, as after start-up; dates
  // as on an American system (the offscreen platform's locale is C).
  void SetUp() override {
    MainWindowFixture::SetUp();
    connectStorageLayer();
    SetProgramDateFormat("M/d/yyyy");
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    SetWarningHandler({});
  }

  // Starts without questions; mailers go to a recording page.
  TF_Main& startWindow(const QByteArray& values = {}) {
    writeIni(QByteArray(kQuietStart) + values);
    TF_Main& window = start();
    // As after "Do not show this screen again"; Mass Print offers it anew.
    Settings().ShowMailerDialog = false;
    window.setMailerPrinter([this](const PrintRequest& request, bool barCodes, const QFont& font) {
      m_requests.push_back(request);
      if (m_duringPrint) m_duringPrint(m_requests.size());
      RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});
      return PrintMailer(canvas, request, barCodes, font);
    });
    return window;
  }

  QString tablePath(const char* name = "friends.dbf") const {
    return m_program.filePath(QString::fromLatin1(name));
  }

  // An AddressBook written beforehand, as another program would leave it.
  void writeTable(const QString& path, const std::vector<Recipient>& recipients) {
    TTzDbf table("setup");
    setUpAddressBook(table, path.toStdString());
    table.Open();
    for (const Recipient& r : recipients) {
      table.Insert();
      table.SetMField("address", r.lines);
      table.SetFieldText("city", r.city);
      table.SetFieldText("state", r.state);
      table.SetFieldText("zip", r.zip);
      table.Post();
    }
    table.Close();
  }

  void openTable(const QString& path) {
    m_user.answerOpenFile(path);
    m_window->MIReadWriteToDB->trigger();
  }

  void press(Nav::NavigateBtn button) {
    QTest::mouseClick(m_window->tznavigator1->button(button), Qt::LeftButton);
  }

  void type(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
  }

  // Answers the mailer number dialog with OK, ticking "Do not show this
  // screen again" when asked.
  void acceptMailerDialog(bool dontShowAgain) {
    m_user.answerDialog([dontShowAgain](QDialog& dialog) {
      auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("cbDontShow"));
      EXPECT_TRUE(box && box->isVisible());
      if (dontShowAgain && box) QTest::mouseClick(box, Qt::LeftButton);
      QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
      return int(QDialog::Accepted);
    });
  }

  test::DbfreadTable read(const QString& path) {
    test::DbfreadTable table = test::readWithDbfread(path);
    EXPECT_TRUE(table.error.isEmpty()) << table.error.toStdString();
    return table;
  }
  QString logPath() const { return m_program.filePath(QStringLiteral("Reports/report3.dbf")); }

  // The mailer numbers of the log, in file order.
  QStringList loggedNumbers() {
    const test::DbfreadTable log = read(logPath());
    const int column = static_cast<int>(log.fields.indexOf(
        *std::find_if(log.fields.begin(), log.fields.end(),
                      [](const QString& f) { return f.startsWith("mailernum:"); })));
    QStringList numbers;
    for (const QStringList& record : log.records) numbers << record[column];
    return numbers;
  }

  void expectDatabaseLayout(bool database) {
    TF_Main& w = *m_window;
    for (QWidget* shown :
         {static_cast<QWidget*>(w.btnExit), static_cast<QWidget*>(w.tznavigator1),
          static_cast<QWidget*>(w.labelDatabaseName), static_cast<QWidget*>(w.labelOrder),
          static_cast<QWidget*>(w.tzmemoAddress), static_cast<QWidget*>(w.tzeditCity),
          static_cast<QWidget*>(w.tzeditState), static_cast<QWidget*>(w.tzeditZip)})
      EXPECT_EQ(shown->isVisible(), database) << shown->objectName().toStdString();
    for (QWidget* ordinary :
         {static_cast<QWidget*>(w.btnClear), static_cast<QWidget*>(w.memoAddress),
          static_cast<QWidget*>(w.editCity), static_cast<QWidget*>(w.editState),
          static_cast<QWidget*>(w.editZip)})
      EXPECT_EQ(ordinary->isVisible(), !database) << ordinary->objectName().toStdString();
    EXPECT_EQ(w.btnPaste->geometry(), database ? QRect(206, 36, 59, 25) : QRect(64, 28, 65, 25));
    EXPECT_EQ(w.MIMassPrint->isEnabled(), database);
  }

  std::vector<PrintRequest> m_requests;
  std::function<void(std::size_t printed)> m_duringPrint;
};

// Another copy of the program holding lock bytes of a table (dbase/FORMAT.md):
// a second process with a write lock on its own open of the file, as that
// copy has while it writes a record, or for as long as it has the table
// open exclusively.
class LockHolder {
 public:
  LockHolder(const std::string& path, off_t offset, off_t length) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::close(ready[0]);
      ::close(release[1]);  // so that the parent's close ends the wait below
      const int fd = ::open(path.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      lock.l_start = offset;
      lock.l_len = length;
      const char status = (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0) ? 'L' : 'F';
      (void)!::write(ready[1], &status, 1);
      char go;
      (void)!::read(release[0], &go, 1);
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char status = 'F';
    m_locked = ::read(ready[0], &status, 1) == 1 && status == 'L';
    ::close(ready[0]);
    m_release = release[1];
  }
  ~LockHolder() {
    if (m_pid <= 0) return;
    ::close(m_release);  // the child's read returns
    ::waitpid(m_pid, nullptr, 0);
  }
  bool locked() const { return m_locked; }

 private:
  pid_t m_pid = -1;
  int m_release = -1;
  bool m_locked = false;
};

const std::vector<Recipient> kThree = {
    {{"Ann Lee", "12 Main St"}, "Dover", "DE", "19901-    "},
    {{"Bob Ray"}, "Salem", "OR", "97301-1234"},
    {{"Cy Doe", "Apt 3", "9 Elm Rd"}, "Butte", "MT", "59701-    "},
};

TEST_F(DatabaseModeTest, NewFileIsCreatedWithOneBlankRecordAndExitLeavesCleanly) {
  TF_Main& window = startWindow();
  const std::string folderBefore = Settings().AddressFolder;
  expectDatabaseLayout(false);

  // A cancelled dialog changes nothing.
  m_user.answerOpenFile(QString());
  window.MIReadWriteToDB->trigger();
  expectDatabaseLayout(false);
  ASSERT_EQ(m_user.questions().size(), 1u);
  const auto& asked = m_user.questions()[0];
  EXPECT_EQ(asked.caption, "Read Name and Address from File");
  EXPECT_EQ(asked.folder.toStdString(), folderBefore);
  EXPECT_EQ(asked.filter, "DBF Files (*.dbf)|*.dbf|All Files|*.*");

  openTable(tablePath("new.dbf"));
  expectDatabaseLayout(true);
  EXPECT_EQ(Settings().AddressFolder, m_program.path().toStdString());
  EXPECT_EQ(window.labelOrder->text(), "1/1");
  EXPECT_EQ(window.labelOrder->width(), window.tznavigator1->width());
  EXPECT_EQ(window.labelDatabaseName->text(), tablePath("new.dbf"));
  EXPECT_TRUE(window.tzmemoAddress->hasFocus() || !window.isActiveWindow());
  const test::DbfreadTable created = read(tablePath("new.dbf"));
  EXPECT_EQ(created.fields, (QStringList{"address:M:10", "city:C:35", "state:C:2", "zip:C:10"}));
  ASSERT_EQ(created.records.size(), 1u);
  EXPECT_EQ(created.records[0], (QStringList{"", "", "", ""}));

  window.btnExit->click();
  expectDatabaseLayout(false);
  EXPECT_FALSE(window.addressBook().Active());
  EXPECT_EQ(m_user.questions().size(), 2u);  // no error on the way
}

TEST_F(DatabaseModeTest, NewUserTypesThreeRecipientsAndMassPrintsThem) {
  TF_Main& window =
      startWindow("[Values]\r\nPrintBarCode=1\r\nSerialNum=0000041\r\nCustID=123456789\r\n");
  openTable(tablePath("mine.dbf"));
  const char* const names[] = {"Ann Lee", "Bob Ray", "Cy Doe"};
  for (int i = 0; i < 3; ++i) {
    if (i > 0) press(Nav::nbInsert);
    type(window.tzmemoAddress, QString::fromLatin1(names[i]));
    type(window.tzeditCity, QStringLiteral("Dover"));
    type(window.tzeditState, QStringLiteral("DE"));
    type(window.tzeditZip, QStringLiteral("19901"));
  }
  press(Nav::nbPost);
  EXPECT_EQ(window.labelOrder->text(), "3/3");
  m_user.answerMessage(Answer::Yes);
  acceptMailerDialog(true);
  window.MIMassPrint->trigger();
  ASSERT_EQ(m_requests.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(m_requests[i][slot::kRecipientLine1], names[i]);
    EXPECT_EQ(m_requests[i][slot::kRecipientLine1 + 1], "Dover DE 19901");
  }
  EXPECT_EQ(loggedNumbers().size(), 3);
  window.btnExit->click();
  const test::DbfreadTable table = read(tablePath("mine.dbf"));
  ASSERT_EQ(table.records.size(), 3u);
  EXPECT_EQ(table.records[2], (QStringList{"Cy Doe\r\n", "Dover", "DE", "19901-"}));
}

TEST_F(DatabaseModeTest, NavigatorMovesThroughRecordsAndAnotherTableTakesTheirPlace) {
  writeTable(tablePath(), kThree);
  writeTable(tablePath("two.dbf"), {kThree[2], kThree[0]});
  TF_Main& window = startWindow();
  openTable(tablePath());
  EXPECT_EQ(window.labelOrder->text(), "1/3");
  EXPECT_EQ(window.tzmemoAddress->toPlainText(), "Ann Lee\n12 Main St");
  press(Nav::nbLast);
  EXPECT_EQ(window.labelOrder->text(), "3/3");
  EXPECT_EQ(window.tzeditCity->text(), "Butte");
  press(Nav::nbPrior);
  EXPECT_EQ(window.labelOrder->text(), "2/3");
  EXPECT_EQ(window.tzeditZip->maskedText(), "97301-1234");

  // Print takes the current record.
  window.MIPrint->trigger();
  ASSERT_EQ(m_requests.size(), 1u);
  EXPECT_EQ(loggedNumbers().size(), 1);

  openTable(tablePath("two.dbf"));
  EXPECT_EQ(window.labelOrder->text(), "1/2");
  EXPECT_EQ(window.tzeditCity->text(), "Butte");
  expectDatabaseLayout(true);
}

TEST_F(DatabaseModeTest, EditsArePostedOrCancelledAndMarkedRecordsArePrintedThenPacked) {
  writeTable(tablePath(), kThree);
  TF_Main& window = startWindow();
  openTable(tablePath());

  type(window.tzeditCity, QStringLiteral("Wilmington by the sea and more"));
  press(Nav::nbNext);  // the move posts
  type(window.tzeditCity, QStringLiteral("Nowhere"));
  press(Nav::nbCancel);
  EXPECT_EQ(window.tzeditCity->text(), "Salem");
  press(Nav::nbInsert);
  type(window.tzmemoAddress, QStringLiteral("Dee Fox"));
  type(window.tzeditZip, QStringLiteral("12345"));
  press(Nav::nbPost);
  EXPECT_EQ(window.labelOrder->text(), "4/4");

  // Record 2 marked deleted, and shown so wherever the user comes to it; a
  // second Delete recalls it at once, and a third marks it again. Mass
  // Print still prints all four.
  press(Nav::nbFirst);
  press(Nav::nbNext);
  m_user.answerMessage(Answer::Ok);
  press(Nav::nbDelete);
  EXPECT_TRUE(window.addressBook().Deleted());
  EXPECT_EQ(window.labelOrder->text(), "2/4 deleted");
  press(Nav::nbNext);
  EXPECT_EQ(window.labelOrder->text(), "3/4");
  press(Nav::nbPrior);
  EXPECT_EQ(window.labelOrder->text(), "2/4 deleted");
  press(Nav::nbDelete);
  EXPECT_EQ(window.labelOrder->text(), "2/4");
  m_user.answerMessage(Answer::Ok);
  press(Nav::nbDelete);
  EXPECT_EQ(window.labelOrder->text(), "2/4 deleted");
  // The open dialog and the two Delete questions: the recall asks nothing.
  EXPECT_EQ(m_user.questions().size(), 3u);

  Settings().PrintBarCode = false;
  m_user.answerMessage(Answer::Yes);
  acceptMailerDialog(true);
  window.MIMassPrint->trigger();
  ASSERT_EQ(m_requests.size(), 4u);
  EXPECT_EQ(m_user.questions()[3].text,
            "You are about to print 4 labels.\n\rWould you like to continue?");
  EXPECT_EQ(m_user.questions()[3].buttons, UserInteraction::Buttons::YesNo);
  EXPECT_EQ(m_requests[1][slot::kRecipientLine1], "Bob Ray");  // the deleted record
  EXPECT_EQ(loggedNumbers().size(), 4);

  window.btnExit->click();
  const test::DbfreadTable packed = read(tablePath());
  EXPECT_TRUE(packed.deleted.empty());
  ASSERT_EQ(packed.records.size(), 3u);
  EXPECT_EQ(packed.records[0][1], "Wilmington by the se");
  // Memo lines each end in CR LF.
  EXPECT_EQ(packed.records[1][0], "Cy Doe\r\nApt 3\r\n9 Elm Rd\r\n");
  EXPECT_EQ(packed.records[2], (QStringList{"Dee Fox\r\n", "", "", "12345-"}));
}

TEST_F(DatabaseModeTest, MassPrintNumbersEveryRecordAndStopsWhereTheUserOrTheCustomerIdSays) {
  struct Case {
    const char* name;
    const char* custId;
    std::function<void()> script;  // the user's answers after the question
    Answer question;
    std::size_t printed;
    const char* serialAfter;
  };
  const Case cases[] = {
      {"dialog once, ticked", "123456789", [this] { acceptMailerDialog(true); }, Answer::Yes, 3,
       "0000044"},
      {"dialog cancelled before the second record", "123456789",
       [this] {
         acceptMailerDialog(false);
         m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
       },
       Answer::Yes, 1, "0000042"},
      {"customer ID never entered", "000000000",
       [this] {
         acceptMailerDialog(true);
         m_user.answerMessage(Answer::Ok);
       },
       Answer::Yes, 0, "0000041"},
      {"the question answered No", "123456789", [] {}, Answer::No, 0, "0000041"},
  };
  writeTable(tablePath(), kThree);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(logPath());
    m_requests.clear();
    TF_Main& window =
        startWindow(QByteArray("[Values]\r\nPrintBarCode=1\r\nSerialNum=0000041\r\nCustID=") +
                    c.custId + "\r\n");
    openTable(tablePath());
    press(Nav::nbLast);
    const std::size_t asked = m_user.questions().size();
    m_user.answerMessage(c.question);
    c.script();
    window.MIMassPrint->trigger();

    EXPECT_EQ(m_user.questions()[asked].text,
              "You are about to print 3 labels.\n\rWould you like to continue?");
    EXPECT_EQ(m_user.questions()[asked].icon, UserInteraction::Icon::Question);
    ASSERT_EQ(m_requests.size(), c.printed);
    EXPECT_EQ(Settings().SerialNum, c.serialAfter);
    QStringList expected;
    for (std::size_t i = 0; i < c.printed; ++i) {
      expected << QString::fromStdString(
          GroupMailerNumber(ComposeMailerNumber(c.custId, "00000" + std::to_string(42 + i), "")));
      EXPECT_EQ(m_requests[i][slot::kRecipientLine1], kThree[i].lines[0]);
    }
    if (c.printed > 0) {
      EXPECT_EQ(loggedNumbers(), expected);
    }
    if (std::string(c.custId) == "000000000") {
      EXPECT_EQ(m_user.questions().back().icon, UserInteraction::Icon::Error);
      EXPECT_EQ(m_user.questions().back().text,
                "You can not print a Mailer with \"000000000\" as a Customer ID. \r\n"
                "Please enter in a Customer ID , and try again.");
    }
    EXPECT_EQ(m_user.pendingAnswers(), 0u);
    m_window.reset();
  }
}

// A mass print over numbers the log already holds asks once: No stops the
// run with the number given back, Yes prints the rest without asking again.
TEST_F(DatabaseModeTest, MassPrintAsksOnceAboutNumbersAlreadyPrinted) {
  writeTable(tablePath(), kThree);
  const QByteArray values =
      "[Values]\r\nPrintBarCode=1\r\nSerialNum=0000041\r\nCustID=123456789\r\n";
  TF_Main& window = startWindow(values);
  openTable(tablePath());
  m_user.answerMessage(Answer::Yes);
  acceptMailerDialog(true);
  window.MIMassPrint->trigger();
  ASSERT_EQ(m_requests.size(), 3u);

  for (Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
    writeIni(readIni().replace("SerialNum=0000044", "SerialNum=0000041"));
    m_requests.clear();
    const std::size_t asked = m_user.questions().size();
    m_user.answerMessage(Answer::Yes);  // "You are about to print 3 labels."
    acceptMailerDialog(true);
    m_user.answerMessage(answer);
    window.MIMassPrint->trigger();
    ASSERT_EQ(m_user.questions().size(), asked + 3);
    EXPECT_TRUE(m_user.questions().back().text.startsWith(
        QStringLiteral("Mailer number %1 was already printed on ")
            .arg(QString::fromStdString(
                GroupMailerNumber(ComposeMailerNumber("123456789", "0000042", ""))))));
    EXPECT_EQ(m_requests.size(), answer == Answer::Yes ? 3u : 0u);
    EXPECT_EQ(Settings().SerialNum, answer == Answer::Yes ? "0000044" : "0000041");
    EXPECT_EQ(m_user.pendingAnswers(), 0u);
  }
  EXPECT_EQ(loggedNumbers().size(), 6);
}

TEST_F(DatabaseModeTest, CancelInTheProgressWindowStopsAfterTheMailerBeingPrinted) {
  writeTable(tablePath(), kThree);
  TF_Main& window =
      startWindow("[Values]\r\nPrintBarCode=1\r\nSerialNum=0000041\r\nCustID=123456789\r\n");
  openTable(tablePath());
  QString shownWhileSecond;
  m_duringPrint = [&](std::size_t printed) {
    auto* progress = window.findChild<MassPrintProgress*>(QStringLiteral("MassPrintProgress"));
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    if (printed == 2) {
      shownWhileSecond = progress->text();
      QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
    }
  };
  m_user.answerMessage(Answer::Yes);
  acceptMailerDialog(true);
  window.MIMassPrint->trigger();
  EXPECT_EQ(shownWhileSecond, "Printing mailer 2 of 3");
  EXPECT_EQ(m_requests.size(), 2u);
  EXPECT_EQ(loggedNumbers().size(), 2);
  EXPECT_EQ(Settings().SerialNum, "0000043");
  EXPECT_EQ(window.findChild<MassPrintProgress*>(), nullptr);
}

TEST_F(DatabaseModeTest, FilesThatAreNoAddressBookShowTheErrorAndExitReturns) {
  // Files another program left behind.
  QFile(tablePath("empty.dbf")).open(QIODevice::WriteOnly);
  {
    QFile binary(tablePath("binary.dbf"));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    for (int i = 0; i < 700; ++i) binary.putChar(static_cast<char>((i * 37 + 11) & 0xFF));
  }
  {
    TTzDbf noAddress("setup");
    noAddress.SetDbfFields({"name,C,30,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"});
    noAddress.SetDbfFileName(tablePath("noaddress.dbf").toStdString());
    noAddress.Open();
  }
  {
    TTzDbf textAddress("setup");
    textAddress.SetDbfFields({"address,C,60,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"});
    textAddress.SetDbfFileName(tablePath("textaddress.dbf").toStdString());
    textAddress.Open();
  }
  writeTable(tablePath("nomemo.dbf"), kThree);
  ASSERT_TRUE(QFile::remove(tablePath("nomemo.DBT")));
  // A memo file cut after its header: every record's memo lies past its end.
  writeTable(tablePath("cutmemo.dbf"), kThree);
  ASSERT_TRUE(QFile::resize(tablePath("cutmemo.DBT"), 512));

  struct Case {
    const char* file;
    int messages;       // storage warnings before the error
    const char* error;  // part of the error shown
  };
  const Case cases[] = {
      {"empty.dbf", 0, "is not a dBASE database"},
      {"binary.dbf", 0, "is not a dBASE database"},
      {"noaddress.dbf", 0, "Field \"address\" not in"},
      {"textaddress.dbf", 0, "to be of type"},
      {"nomemo.dbf", 0, "nomemo"},
      {"cutmemo.dbf", 0, "[GetMemo]"},
      // A folder that does not exist: the table cannot be created.
      {"missing/folder/new.dbf", 1, "new.dbf"},
  };
  TF_Main& window = startWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::size_t asked = m_user.questions().size();
    m_user.answerOpenFile(tablePath(c.file));
    for (int i = 0; i <= c.messages; ++i) m_user.answerMessage(Answer::Ok);
    window.MIReadWriteToDB->trigger();
    ASSERT_EQ(m_user.questions().size(), asked + 2 + c.messages);
    const auto& error = m_user.questions().back();
    EXPECT_EQ(error.icon, UserInteraction::Icon::Error);
    EXPECT_TRUE(error.text.contains(QString::fromLatin1(c.error))) << error.text.toStdString();
    EXPECT_FALSE(window.addressBook().Active());
    expectDatabaseLayout(true);
    EXPECT_EQ(window.labelOrder->text(), "");
    window.btnExit->click();
    expectDatabaseLayout(false);
    EXPECT_EQ(m_user.questions().size(), asked + 2 + c.messages);
  }
  // Another copy has the table open exclusively.
  writeTable(tablePath("held.dbf"), kThree);
  {
    LockHolder exclusive(tablePath("held.dbf").toStdString(), 0x3FFFFFF0, 1);
    ASSERT_TRUE(exclusive.locked());
    m_user.answerOpenFile(tablePath("held.dbf"));
    m_user.answerMessage(Answer::Ok);
    window.MIReadWriteToDB->trigger();
    EXPECT_EQ(m_user.questions().back().icon, UserInteraction::Icon::Error);
    EXPECT_TRUE(m_user.questions().back().text.startsWith(QStringLiteral("Error # 32 ")))
        << m_user.questions().back().text.toStdString();
    EXPECT_FALSE(window.addressBook().Active());
    window.btnExit->click();
  }
  // The window is still usable.
  writeTable(tablePath(), kThree);
  openTable(tablePath());
  EXPECT_EQ(window.labelOrder->text(), "1/3");
}

TEST_F(DatabaseModeTest, LongPathShowsItsLastFoldersBehindTheMark) {
  const QString folder = m_program.filePath(
      QStringLiteral("a_rather_long_folder_name/another_long_folder_name/yet_another_folder"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = folder + QStringLiteral("/friends.dbf");
  TF_Main& window = startWindow();
  openTable(path);
  const QString shown = window.labelDatabaseName->text();
  const QFontMetrics metrics(window.labelDatabaseName->font());
  ASSERT_GT(metrics.horizontalAdvance(path), 265);
  ASSERT_TRUE(shown.startsWith(QStringLiteral(".../"))) << shown.toStdString();
  const QString kept = shown.mid(4);
  EXPECT_TRUE(path.endsWith(QLatin1Char('/') + kept)) << shown.toStdString();
  EXPECT_TRUE(kept.endsWith(QStringLiteral("/friends.dbf")));
  // Whole folders go while the rest is wider than 251 pixels, and no more.
  EXPECT_LE(metrics.horizontalAdvance(kept), 251);
  const QString oneMore = path.left(path.size() - kept.size() - 1);
  const QString withFolderBefore =
      oneMore.mid(oneMore.lastIndexOf(QLatin1Char('/')) + 1) + QLatin1Char('/') + kept;
  EXPECT_GT(metrics.horizontalAdvance(withFolderBefore), 251);
}

TEST_F(DatabaseModeTest, PasteFillsTheRecordsFieldsAndTheMovePostsThem) {
  writeTable(tablePath(), kThree);
  TF_Main& window = startWindow();
  openTable(tablePath());
  QGuiApplication::clipboard()->setText(QStringLiteral("Zed Fox\r\nTown, ST 12345-6789\r\n"));
  window.btnPaste->click();
  EXPECT_EQ(window.tzeditCity->text(), "Town");
  press(Nav::nbNext);
  const test::DbfreadTable table = read(tablePath());
  ASSERT_EQ(table.records.size(), 3u);
  // "Zed Fox" and its line break are written over the first memo line, so the
  // record's second line moves down by one.
  EXPECT_EQ(table.records[0],
            (QStringList{"Zed Fox\r\n\r\n12 Main St\r\n", "Town", "ST", "12345-6789"}));
}

// A Return whose release reaches the window system late comes back as a
// held key: the pressed Return and its repeats. Typed into the memo of an
// inserted record it once stored two empty lines between the name and the
// street. A held Return breaks the line once, in either recipient memo; two
// Returns pressed one after the other still leave an empty line.
TEST_F(DatabaseModeTest, AHeldReturnInTheRecipientMemoBreaksTheLineOnce) {
  TF_Main& window = startWindow();
  openTable(tablePath("new.dbf"));
  activate();
  const auto typeAddress = [](QWidget* memo, int returnsPressed, int repeatsEach) {
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("New Person"));
    for (int pressed = 0; pressed < returnsPressed; ++pressed) {
      for (int i = 0; i <= repeatsEach; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                      i > 0);
        QApplication::sendEvent(memo, &key);
      }
      QTest::keyRelease(memo, Qt::Key_Return);
    }
    QTest::keyClicks(memo, QStringLiteral("77 New Rd"));
  };
  press(Nav::nbInsert);
  typeAddress(window.tzmemoAddress, 1, 2);
  press(Nav::nbPost);
  press(Nav::nbInsert);
  typeAddress(window.tzmemoAddress, 2, 0);
  press(Nav::nbPost);
  const test::DbfreadTable table = read(tablePath("new.dbf"));
  ASSERT_EQ(table.records.size(), 3u);
  EXPECT_EQ(table.records[1][0].toStdString(), "New Person\r\n77 New Rd\r\n");
  EXPECT_EQ(table.records[2][0].toStdString(), "New Person\r\n\r\n77 New Rd\r\n");

  window.btnExit->click();
  typeAddress(window.memoAddress, 1, 3);
  EXPECT_EQ(window.memoAddress->toPlainText().toStdString(), "New Person\n77 New Rd");
}

TEST_F(DatabaseModeTest, EditOfARecordLockedByAnotherCopyIsRefusedWithTheWarning) {
  writeTable(tablePath(), kThree);
  TF_Main& window = startWindow();
  openTable(tablePath());
  press(Nav::nbNext);
  const TTzDbf& table = window.addressBook();
  {
    LockHolder other(tablePath().toStdString(),
                     0x40000000 + table.headerLength() + 1 * table.recordLength(),
                     table.recordLength());
    ASSERT_TRUE(other.locked());
    type(window.tzeditCity, QStringLiteral("Overwritten"));
    m_user.answerMessage(Answer::Ok);
    press(Nav::nbPost);
    ASSERT_FALSE(m_user.questions().empty());
    EXPECT_EQ(m_user.questions().back().text, "Lock failed [Post]");
    // The edit is dropped: the record shows what the file holds.
    EXPECT_EQ(window.tzeditCity->text(), "Salem");
    EXPECT_EQ(window.addressBook().State(), TDataSetState::dsBrowse);
  }
  // Once the other copy lets go, the same edit goes through.
  type(window.tzeditCity, QStringLiteral("Eugene"));
  press(Nav::nbPost);
  const test::DbfreadTable stored = read(tablePath());
  EXPECT_EQ(stored.records[1][1], "Eugene");
}

// Import with Append into the very table open in database mode: the table
// is closed while the import writes to it and shown again with its new count.
TEST_F(DatabaseModeTest, ImportIntoTheOpenAddressBookShowsItAgainWithItsNewCount) {
  TF_Main& window = startWindow();
  writeTable(tablePath(), {{{"Ann Example"}, "Dover", "DE", "19901"}});
  openTable(tablePath());
  ASSERT_EQ(window.labelOrder->text(), "1/1");

  const QString text = m_program.filePath(QStringLiteral("more.txt"));
  {
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"Bob\",,,,\"Salem\",\"OR\",\"97301\"\r\n\"Eve\",,,,\"Reno\",\"NV\",\"89501\"\r\n");
  }
  m_user.answerOpenFile(text);
  m_user.answerSaveFile(tablePath());
  m_user.answerChoice(2);  // Append
  m_user.answerMessage(Answer::Ok);
  window.MIImport->trigger();

  EXPECT_EQ(m_user.questions().back().text, "Import Done.");
  EXPECT_TRUE(window.addressBook().Active());
  EXPECT_EQ(window.labelOrder->text(), "1/3");
  EXPECT_EQ(window.addressBook().RecordCount(), 3u);
}

}  // namespace
}  // namespace kestrel
