// The main window end to end on the offscreen platform: start-up with and
// without a settings file, the first-show questions answered by a scripted
// user, the sender block, the bar-code radio items, the menus, and closing
// with the settings file written (or not).
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>

#include "MainWindowFixture.h"
#include "ScriptedUserInteraction.h"
#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/U_About.h"
#include "platform/DisplayedLines.h"
#include "platform/MaskedEdit.h"
#include "print/CurrentPrinter.h"

namespace kestrel {
namespace {

using test::kQuietStart;
using test::retype;
using test::ScriptedUserInteraction;
using Kind = ScriptedUserInteraction::Kind;

const QString kRegistrationText = QStringLiteral(
    "This software prints the newly required Bar Code on the your Certified Mailer. Thus the "
    "U.S. Postal Service Requires that you register with them.  The DUNS numbers are no longer "
    "used. You must have a mailer ID issued by the U.S. Postal Server.  If you do not have a "
    "USPS mailer ID contact them at 800 522 9085 option 3 then option 6. ");

const char* const kQuietHarrowgateStart =
    "[Type]\r\nCompany=Harrowgate\r\nBarCodeApp=0\r\n"
    "[YourAddress]\r\nLine1=Ann Example\r\nCity=Springfield\r\nState=IL\r\nZip=62701\r\n";

class MainWindowTest : public test::MainWindowFixture {
 protected:
  void writeLogo(QSize size = {120, 60}) {
    QImage logo(size, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(m_program.filePath(QStringLiteral("Scr_logo.bmp")), "BMP"));
  }

  QStringList senderLines() {
    QStringList lines;
    for (const char* name : {"lblYourAddress1", "lblYourAddress2", "lblYourAddress3",
                             "lblYourAddress4", "lblYourAddress5"})
      lines << find<QLabel>(name)->text();
    return lines;
  }
};

// The sender dialog as a person fills it, then OK.
ScriptedUserInteraction::DialogScript typeSender(const QString& name, const QString& city,
                                                 const QString& state, const QString& zip) {
  return [=](QDialog& dialog) {
    retype(dialog.findChild<QWidget*>(QStringLiteral("memoYourAddress")), name);
    retype(dialog.findChild<QWidget*>(QStringLiteral("editYourCity")), city);
    retype(dialog.findChild<QWidget*>(QStringLiteral("editYourState")), state);
    retype(dialog.findChild<QWidget*>(QStringLiteral("editYourZip")), zip);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    return dialog.result();
  };
}

TEST_F(MainWindowTest, FirstStartAsksSenderThenRegistrationAndWritesCompleteFileAtEscape) {
  m_user.answerDialog(typeSender("Ann Example", "Springfield", "IL", "62701"));
  m_user.answerChoice(1);
  TF_Main& window = start();

  const auto& asked = m_user.questions();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].kind, Kind::Dialog);
  EXPECT_EQ(asked[0].text, QStringLiteral("TF_YourAddress"));
  EXPECT_EQ(asked[1].kind, Kind::ChoiceBox);
  EXPECT_EQ(asked[1].caption, QStringLiteral("Bar Code Printing Registration"));
  EXPECT_EQ(asked[1].text, kRegistrationText);
  EXPECT_EQ(asked[1].buttonCaptions, QStringList{QStringLiteral("&Never Print again")});

  EXPECT_EQ(senderLines(), (QStringList{"Ann Example", "Springfield IL 62701", "", "", ""}));
  EXPECT_EQ(Settings().Company, "Brightwater");
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Kestrel"));
  EXPECT_EQ(find<QLineEdit>("editPostage")->text(), QStringLiteral("          0.39"));
  EXPECT_TRUE(QDir(m_program.filePath(QStringLiteral("Addresses"))).exists());
  EXPECT_TRUE(QDir(m_program.filePath(QStringLiteral("Reports"))).exists());

  // Escape while typing in the recipient lines ends the program.
  auto* memo = find<QPlainTextEdit>("memoAddress");
  QTest::keyClicks(memo, "Bob");
  QTest::keyClick(memo, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());

  const QByteArray expected =
      "[Type]\r\nCompany=Brightwater\r\nBarCodeApp=0\r\n"
      "[YourAddress]\r\nLine1=Ann Example\r\nLine2=\r\nLine3=\r\nLine4=\r\n"
      "City=Springfield\r\nState=IL\r\nZip=62701\r\n"
      "[Values]\r\nPostage=0.39\r\nCertFee=2.40\r\nReturn=1.85\r\nRestricted=3.50\r\n"
      "PrintBarCode=1\r\nCustID=000000000\r\nSerialNum=0000000\r\nIncrement=1\r\n"
      "MailerNum=71000000000000000000\r\nIMpbBarCodes=0\r\n"
      "[Printing]\r\nPrintExtraLabel=Yes\r\nExtraLabel=Addressed To\r\n"
      "[Print Align]\r\nLeftRight=0\r\nTopBottom=0\r\n"
      "[System Path]\r\ndefault=" +
      QByteArray::fromStdString(programFolder()) + "/Addresses\r\n";
  EXPECT_EQ(readIni(), expected);
}

TEST_F(MainWindowTest, SenderWithOnlySecondLineIsAskedForAndCancelKeepsIt) {
  // Cancelled sender dialog; a sender with only Line2 still counts as none.
  writeIni("[YourAddress]\r\nLine2=Suite 4\r\n[Type]\r\nBarCodeApp=0\r\n");
  m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
  start();
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_EQ(senderLines(), (QStringList{"", "Suite 4", "", "", ""}));
}

TEST_F(MainWindowTest, HyphenatedUnsetCustomerIdIsNoticedInBarCodeModeOnly) {
  writeIni(QByteArray(kQuietStart) +
           "[Values]\r\nCustID=00-000-0000\r\nPrintBarCode=1\r\nSerialNum=0000041\r\n");
  m_user.answerMessage(UserInteraction::Answer::Ok);
  // Then the mailer number dialog, showing the stored number unadvanced.
  QString shownSerial;
  m_user.answerDialog([&](QDialog& dialog) {
    shownSerial = dialog.findChild<MaskedEdit*>(QStringLiteral("editSerialNum"))->maskedText();
    return int(QDialog::Rejected);
  });
  start();
  ASSERT_EQ(m_user.questions().size(), 2u);
  EXPECT_EQ(m_user.questions()[1].kind, Kind::Dialog);
  EXPECT_EQ(m_user.questions()[1].text, QStringLiteral("TF_Mailer"));
  EXPECT_EQ(shownSerial, QStringLiteral("0000041"));
  EXPECT_EQ(Settings().SerialNum, "0000041");
  const auto& notice = m_user.questions()[0];
  EXPECT_EQ(notice.kind, Kind::Message);
  EXPECT_EQ(notice.caption, QStringLiteral("Kestrel"));
  EXPECT_EQ(notice.text, QStringLiteral("If you have labels without any Bar Code's, you must "
                                        "select a \"Customer ID\" number."));
  EXPECT_EQ(notice.icon, UserInteraction::Icon::Information);
  EXPECT_EQ(notice.buttons, UserInteraction::Buttons::Ok);
  // The stored form is kept as it was.
  EXPECT_EQ(Settings().CustID, "00-000-0000");
  m_window.reset();

  Settings() = SettingsRecord{};
  writeIni(QByteArray(kQuietStart) + "[Values]\r\nCustID=00-000-0000\r\nPrintBarCode=0\r\n");
  start();
  EXPECT_EQ(m_user.questions().size(), 2u);  // nothing new asked
}

TEST_F(MainWindowTest, HarrowgateBrandPlacesTheLogoWhenItLoads) {
  writeIni(kQuietHarrowgateStart);
  writeLogo({120, 60});
  start();
  auto* image = find<QLabel>("imageCompany");
  EXPECT_EQ(image->geometry(), QRect(30, 63, 197, 97));
  EXPECT_EQ(image->pixmap().size(), QSize(120, 60));
  EXPECT_EQ(Settings().Company, "Harrowgate");
}

TEST_F(MainWindowTest, HarrowgateBrandWithoutLogoKeepsTheDesignPictureSilently) {
  writeIni(kQuietHarrowgateStart);
  start();
  auto* image = find<QLabel>("imageCompany");
  EXPECT_EQ(image->geometry(), QRect(8, 74, 257, 74));
  EXPECT_EQ(image->pixmap().cacheKey(), QPixmap(QStringLiteral(":/kestrel/brand.png")).cacheKey());
  EXPECT_TRUE(m_user.questions().empty());
  EXPECT_EQ(Settings().Company, "Harrowgate");
}

TEST_F(MainWindowTest, UnbrandedInstallationWithLogoBecomesHarrowgateAndKeepsIt) {
  writeIni(kQuietStart);
  writeLogo();
  TF_Main& window = start();
  EXPECT_EQ(Settings().Company, "Harrowgate");
  EXPECT_EQ(find<QLabel>("imageCompany")->geometry(), QRect(30, 63, 197, 97));
  window.close();
  EXPECT_TRUE(readIni().startsWith("[Type]\r\nBarCodeApp=0\r\nCompany=Harrowgate\r\n"));

  // A broken logo file: the brand falls back to the maker's.
  m_window.reset();
  Settings() = SettingsRecord{};
  writeIni(kQuietStart);
  QFile broken(m_program.filePath(QStringLiteral("Scr_logo.bmp")));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("not a picture");
  broken.close();
  start();
  EXPECT_EQ(Settings().Company, "Brightwater");
  EXPECT_EQ(find<QLabel>("imageCompany")->geometry(), QRect(8, 74, 257, 74));
}

// Where the city line goes is the sender block's rule (mailer tests); the
// labels show it, and a refresh takes an earlier fifth line away.
TEST_F(MainWindowTest, SenderLabelsShowTheSenderBlockAndLoseAnOldFifthLine) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  SettingsRecord& s = Settings();
  s.Line1 = "Ann", s.Line2 = "Dept", s.Line3 = "Main St", s.Line4 = "Floor 2";
  s.City = "Springfield", s.State = "IL", s.Zip = "62701";
  window.ShowSenderBlock();
  EXPECT_EQ(senderLines(),
            (QStringList{"Ann", "Dept", "Main St", "Floor 2", "Springfield IL 62701"}));
  s.Line2 = "  ";
  window.ShowSenderBlock();
  EXPECT_EQ(senderLines(), (QStringList{"Ann", "Springfield IL 62701", "Main St", "Floor 2", ""}));
}

TEST_F(MainWindowTest, ChangeButtonOpensSenderDialogAndRefreshesOnOkOnly) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  auto* change = find<QPushButton>("btnChangeYourAddress");

  m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
  QTest::mouseClick(change, Qt::LeftButton);
  EXPECT_EQ(senderLines()[0], QStringLiteral("Ann Example"));

  m_user.answerDialog(typeSender("Bob Sample", "Dover", "DE", "19901"));
  window.YourNameAddress1->trigger();
  EXPECT_EQ(Settings().City, "Dover");
  EXPECT_EQ(senderLines(), (QStringList{"Bob Sample", "Dover DE 19901", "", "", ""}));
  EXPECT_EQ(window.focusWidget(), change);
}

TEST_F(MainWindowTest, BarCodeRadioItemsFollowAndSetTheSetting) {
  writeIni(QByteArray(kQuietStart) + "[Values]\r\nPrintBarCode=0\r\nIncrement=0\r\n");
  TF_Main& window = start();
  EXPECT_TRUE(window.DontPrintBarCodeMI->isChecked());
  EXPECT_FALSE(window.PrintBarCodeMI->isChecked());

  window.PrintBarCodeMI->trigger();
  EXPECT_TRUE(Settings().PrintBarCode);
  EXPECT_FALSE(Settings().Increment);
  EXPECT_FALSE(window.DontPrintBarCodeMI->isChecked());

  // "Don't Print" also makes the pre-printed numbers count upwards.
  window.DontPrintBarCodeMI->trigger();
  EXPECT_FALSE(Settings().PrintBarCode);
  EXPECT_TRUE(Settings().Increment);
  EXPECT_TRUE(window.DontPrintBarCodeMI->isChecked());
  EXPECT_FALSE(window.PrintBarCodeMI->isChecked());
}

TEST_F(MainWindowTest, CloseIsAbandonedWhileTheSettingsFileCannotBeWritten) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  // The machine folder becomes unreachable: a file stands where a folder
  // of its path should be.
  const QString blocker = m_machine.filePath(QStringLiteral("blocker"));
  QFile(blocker).open(QIODevice::WriteOnly);
  setMachineFolderForTests((blocker + "/machine").toStdString());
  m_user.answerMessage(UserInteraction::Answer::Ok);
  window.MIExit->trigger();
  EXPECT_TRUE(window.isVisible());
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_EQ(m_user.questions()[0].icon, UserInteraction::Icon::Error);
  EXPECT_EQ(m_user.questions()[0].text,
            QStringLiteral("Unable to write to ") + blocker + "/machine/Kestrel3.ini");

  // Once the file can be written, closing works.
  setMachineFolderForTests(m_machine.path().toStdString());
  window.close();
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(readIni().contains("Line1=Ann Example\r\n"));
}

TEST_F(MainWindowTest, SplashStaysUntilItsTimerEndsAndIsDiscardedAtFirstShow) {
  writeIni(kQuietStart);
  auto* splash = new TF_About();
  splash->SplashMode = true;
  splash->show();
  ASSERT_TRUE(splash->Timer1->isActive());
  splash->Timer1->setInterval(30);  // the real splash waits 3000 ms
  splash->Timer1->start();
  QPointer<TF_About> watch(splash);

  m_window = std::make_unique<TF_Main>(programFolder(), splash);
  EXPECT_FALSE(splash->Timer1->isActive());  // creation waited for the tick
  EXPECT_TRUE(m_window->firstShowPending());
  m_window->show();
  for (int i = 0; i < 100 && m_window->firstShowPending(); ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(watch.isNull());
}

// Every menu and item in order, with its access key, name and whether its
// command is connected yet ("-" is a separator).
struct MenuEntry {
  QString name;
  QString caption;
  bool enabled;
};

std::vector<MenuEntry> entriesOf(const QList<QAction*>& actions) {
  std::vector<MenuEntry> entries;
  for (QAction* a : actions) {
    if (a->isSeparator()) {
      entries.push_back({"-", "-", true});
      continue;
    }
    const QString name = a->menu() != nullptr ? a->menu()->objectName() : a->objectName();
    entries.push_back({name, a->text(), a->isEnabled()});
    if (a->menu() != nullptr)
      for (const MenuEntry& e : entriesOf(a->menu()->actions()))
        entries.push_back({name + "/" + e.name, e.caption, e.enabled});
  }
  return entries;
}

// Each item of the menus reaches its command: what the user meets first
// when choosing it (answered so that nothing changes), with the access key
// that chooses it; no two items of one menu share a key.
TEST_F(MainWindowTest, MenuItemsReachTheirCommandsByUnambiguousAccessKeys) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  struct Item {
    QAction* action;
    QChar key;  // none: chosen by the mouse or the arrows only
    Kind kind;
    // A message's text, a dialog's objectName or a file dialog's filter.
    QString shown;
  };
  const Item items[] = {
      {window.MIReadWriteToDB, 'R', Kind::OpenFile, "DBF Files (*.dbf)|*.dbf|All Files|*.*"},
      {window.MIPrintBarCodes, 'B', Kind::Message,
       "You have seleceted to pre-print the Bar Code's onto the Mailer's, would you like to "
       "continue?"},
      {window.MailerNumber1, 'M', Kind::Dialog, "TF_Mailer"},
      {window.YourNameAddress1, 'Y', Kind::Dialog, "TF_YourAddress"},
      {window.MIPrinterAlignment, 'A', Kind::Dialog, "TF_Align"},
      {window.MIExtraLabel, 'E', Kind::Dialog, "TF_ExtraLabel"},
      {window.MIImport, 'I', Kind::OpenFile, "Import Files(*.txt;*.csv)|*.txt;*.csv|All Files|*.*"},
      {window.MIExport, 'E', Kind::OpenFile, "dbf Files(*.dbf)|*.dbf|All Files|*.*"},
      {window.miPrintFull, {}, Kind::Message, "Report is empty."},
      {window.miPrintShort, {}, Kind::Message, "Report is empty."},
      {window.miPreviewFull, 'F', Kind::Message, "Report is empty."},
      {window.miPreviewShort, 'S', Kind::Message, "Report is empty."},
      {window.ClearReport1, 'C', Kind::Message, "Report is already empty."},
      {window.MIFirmMailingBook, 'F', Kind::Dialog, "TF_MailingBook"},
      {window.OrderSupplies1, 'O', Kind::Dialog, "TF_About"},
      {window.TechnicalSupport1, 'T', Kind::Dialog, "TF_About"},
      {window.miAbout, 'A', Kind::Dialog, "TF_About"},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(item.action->objectName().toStdString());
    EXPECT_EQ(QKeySequence::mnemonic(item.action->text()),
              item.key.isNull() ? QKeySequence() : QKeySequence(Qt::ALT | item.key.unicode()));
    switch (item.kind) {
      case Kind::OpenFile:
        m_user.answerOpenFile(QString());
        break;
      case Kind::Dialog:
        m_user.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
        break;
      default:
        m_user.answerMessage(UserInteraction::Answer::No);
    }
    const std::size_t asked = m_user.questions().size();
    item.action->trigger();
    EXPECT_EQ(m_user.pendingAnswers(), 0u);
    ASSERT_EQ(m_user.questions().size(), asked + 1);
    const auto& question = m_user.questions().back();
    EXPECT_EQ(question.kind, item.kind);
    EXPECT_EQ(item.kind == Kind::OpenFile ? question.filter : question.text, item.shown);
  }

  const std::function<void(const QList<QAction*>&)> expectKeysOnce =
      [&](const QList<QAction*>& actions) {
        QList<QKeySequence> keys;
        for (QAction* action : actions) {
          const QKeySequence key = QKeySequence::mnemonic(action->text());
          if (!key.isEmpty()) {
            EXPECT_FALSE(keys.contains(key)) << action->text().toStdString();
            keys << key;
          }
          if (action->menu() != nullptr) expectKeysOnce(action->menu()->actions());
        }
      };
  expectKeysOnce(window.menuBar()->actions());
  // Nothing to mass-print before a table is open; no sort order is chosen.
  EXPECT_FALSE(window.MIMassPrint->isEnabled());
  for (QAction* a : window.SortGroup->actions()) EXPECT_FALSE(a->isChecked());
}

TEST_F(MainWindowTest, HelpDocumentExplainsEveryMenuCommand) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  QFile help(QStringLiteral(KESTREL_HELP_FILE));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(help.readAll());
  EXPECT_TRUE(html.contains(QStringLiteral("id=\"contents\"")));
  for (const MenuEntry& entry : entriesOf(window.menuBar()->actions())) {
    if (entry.name.endsWith('-')) continue;
    // As the reader sees it: access keys gone, "&&" shown as one "&".
    QString caption = entry.caption;
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove('&');
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&amp;"));
    EXPECT_TRUE(html.contains(caption)) << caption.toStdString();
  }
}

TEST_F(MainWindowTest, HelpContentShowsTheHelpInItsOwnWindowWhenNoBrowserTakesIt) {
  // The test platform has no launcher for files, as a machine without a
  // desktop has none.
  ASSERT_TRUE(QFile::copy(QStringLiteral(KESTREL_HELP_FILE),
                          m_program.filePath(QString::fromLatin1(TF_Main::kHelpFileName))));
  writeIni(kQuietStart);
  TF_Main& window = start();
  window.Content1->trigger();
  auto* help = window.findChild<HelpWindow*>(QStringLiteral("HelpWindow"));
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_FALSE(help->isModal());
  EXPECT_EQ(help->windowTitle(), "Kestrel Help");
  EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Read/Write to a database")));
  window.Content1->trigger();  // the open window comes forward; no second one
  EXPECT_EQ(window.findChildren<HelpWindow*>().size(), 1);
}

TEST_F(MainWindowTest, AboutItemsShowTheAboutBoxModally) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  bool splashMode = true;
  for (QAction* item : {window.OrderSupplies1, window.TechnicalSupport1, window.miAbout}) {
    m_user.answerDialog([&](QDialog& dialog) {
      splashMode = static_cast<TF_About&>(dialog).SplashMode;
      return int(QDialog::Accepted);
    });
    item->trigger();
    EXPECT_FALSE(splashMode) << item->objectName().toStdString();
  }
  EXPECT_EQ(m_user.questions().size(), 3u);
}

// The first mailer of the run that becomes a PDF file says where it went,
// once; Printer Setup says it whenever it is asked.
TEST_F(MainWindowTest, WithoutPrinterTheFirstJobAndPrinterSetupSayWherePdfFilesGo) {
  if (hasInstalledPrinter()) GTEST_SKIP() << "this machine has a printer";
  writeIni(QByteArray(kQuietStart) + "[Values]\r\nPrintBarCode=0\r\n");
  TF_Main& window = start();
  Settings().ShowMailerDialog = false;
  m_user.answerMessage(UserInteraction::Answer::Ok);
  for (int i = 0; i < 3; ++i) {
    find<QPlainTextEdit>("memoAddress")->setPlainText(QStringLiteral("Ann Lee"));
    window.MIPrint->trigger();
  }
  EXPECT_EQ(QDir(pdfJobFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 3);
  ASSERT_EQ(m_user.questions().size(), 1u);
  EXPECT_EQ(m_user.questions()[0].icon, UserInteraction::Icon::Information);
  EXPECT_EQ(m_user.questions()[0].text,
            "No printer is installed. Mailers and reports are saved as PDF files in " +
                QDir::toNativeSeparators(pdfJobFolder()) + ".");

  m_user.answerMessage(UserInteraction::Answer::Ok);
  window.MIPrinterSetup->trigger();
  ASSERT_EQ(m_user.questions().size(), 2u);
  EXPECT_EQ(m_user.questions()[1].icon, UserInteraction::Icon::Information);
  EXPECT_TRUE(m_user.questions()[1].text.startsWith("No printer is installed on this computer."))
      << m_user.questions()[1].text.toStdString();
  EXPECT_TRUE(m_user.questions()[1].text.contains(pdfJobFolder()));
}

TEST_F(MainWindowTest, TabOrderRunsThroughFeesSenderCommentAndRecipient) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  const QStringList expected = {
      "editPostage", "editCertFee",          "editReturn",  "cbRestricted", "editRestricted",
      "btnPrint",    "btnChangeYourAddress", "editComment", "editRe",       "btnPaste",
      "btnClear",    "memoAddress",          "editCity",    "editState",    "editZip"};
  QStringList chain;
  QWidget* w = find<QWidget>("editPostage");
  do {
    if (expected.contains(w->objectName())) chain << w->objectName();
    w = w->nextInFocusChain();
  } while (w != find<QWidget>("editPostage"));
  EXPECT_EQ(chain, expected);
  EXPECT_EQ(window.focusWidget(), find<QWidget>("editPostage"));
  EXPECT_EQ(find<QLineEdit>("editTotal")->focusPolicy(), Qt::NoFocus);
}

// The fields as a user meets them: what each keeps of a long typed text,
// what cannot be typed into, and the recipient memo's four lines whole
// inside the "Addressed To" group.
TEST_F(MainWindowTest, FieldsKeepWhatFitsTheFormAndShowTheirLook) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  EXPECT_EQ(window.centralWidget()->palette().color(QPalette::Window), QColor(192, 220, 192));
  for (const char* name : {"Label1", "Label9", "lblYourAddress1", "Label13"}) {
    auto* label = find<QLabel>(name);
    EXPECT_TRUE(label->font().bold()) << name;
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 128, 0)) << name;
  }
  // The design-time faces resolve to their Linux stand-ins.
  EXPECT_EQ(QFontInfo(find<QLabel>("Label1")->font()).family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(QFontInfo(QFont(QStringLiteral("OCR A Extended"))).family(), QStringLiteral("OCRA"));
  EXPECT_TRUE(find<QLineEdit>("editPostage")->font().bold());
  EXPECT_FALSE(find<QLineEdit>("editComment")->font().bold());

  // A long text typed into each field keeps what the form prints and logs.
  const QString typed = QString(40, QLatin1Char('W'));
  struct Field {
    const char* name;
    int kept;
  };
  for (const Field& field : {Field{"editComment", 35}, Field{"editRe", 25}, Field{"editCity", 35},
                             Field{"editState", 4}}) {
    auto* edit = find<QLineEdit>(field.name);
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    EXPECT_EQ(edit->text(), typed.left(field.kept)) << field.name;
  }
  EXPECT_EQ(find<MaskedEdit>("editZip")->maskedText(), QStringLiteral("     -    "));
  // The total is the program's, and restricted delivery waits for its box.
  const QString total = find<QLineEdit>("editTotal")->text();
  QTest::keyClicks(find<QLineEdit>("editTotal"), QStringLiteral("99"));
  EXPECT_EQ(find<QLineEdit>("editTotal")->text(), total);
  EXPECT_FALSE(find<QWidget>("editRestricted")->isEnabled());
  EXPECT_FALSE(find<QWidget>("lblRestricted")->isEnabled());
  EXPECT_TRUE(find<QLineEdit>("editRestricted")->text().isEmpty());

  auto* memo = find<QPlainTextEdit>("memoAddress");
  memo->setPlainText(QStringLiteral("Line one\nLine two\nLine three\nLine four"));
  EXPECT_EQ(displayedLines(*memo).size(), 4);
  EXPECT_GE(memo->height(), heightForDisplayedLines(*memo, 4));
  EXPECT_TRUE(find<QWidget>("GroupBox3")->rect().contains(memo->geometry()));
  EXPECT_TRUE(memo->isVisible());
}

}  // namespace
}  // namespace kestrel
