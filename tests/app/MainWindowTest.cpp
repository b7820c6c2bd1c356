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
#include <memory>

#include "MainWindowFixture.h"
#include "ScriptedUserInteraction.h"
#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/U_About.h"
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

TEST_F(MainWindowTest, SenderBlockPutsTheCityLineIntoTheFirstBlankLine) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  SettingsRecord& s = Settings();
  struct Case {
    std::string line1, line2, line3, line4, city, state, zip;
    QStringList labels;
  };
  const Case cases[] = {
      {"Ann",
       "",
       "Main St",
       "Floor 2",
       "Springfield",
       "IL",
       "62701",
       {"Ann", "Springfield IL 62701", "Main St", "Floor 2", ""}},
      {"Ann",
       "Dept",
       "Main St",
       "Floor 2",
       "Springfield",
       "IL",
       "62701",
       {"Ann", "Dept", "Main St", "Floor 2", "Springfield IL 62701"}},
      // A line of blanks counts as blank and is replaced.
      {"  ",
       "Dept",
       "",
       "",
       "Springfield",
       "IL",
       "62701",
       {"Springfield IL 62701", "Dept", "", "", ""}},
      // The city line is trimmed as a whole.
      {"Ann", "", "", "", "", "", "62701", {"Ann", "62701", "", "", ""}},
      {"Ann", "Dept", "Main St", "Floor 2", "", "", "", {"Ann", "Dept", "Main St", "Floor 2", ""}},
  };
  for (const Case& c : cases) {
    s.Line1 = c.line1, s.Line2 = c.line2, s.Line3 = c.line3, s.Line4 = c.line4;
    s.City = c.city, s.State = c.state, s.Zip = c.zip;
    window.ShowSenderBlock();
    EXPECT_EQ(senderLines(), c.labels) << c.line1 << "|" << c.line2;
  }
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

TEST_F(MainWindowTest, MenusHoldEveryItemInOrderWithItsAccessKey) {
  writeIni(kQuietStart);
  TF_Main& window = start();
  const std::vector<MenuEntry> expected = {
      {"File1", "File", true},
      {"File1/MIReadWriteToDB", "&Read/Write to a database", true},
      {"File1/-", "-", true},
      {"File1/MIPrint", "&Print", true},
      {"File1/MIMassPrint", "&Mass Print", false},
      {"File1/MIPrintBarCodes", "Print &Bar Codes", true},
      {"File1/-", "-", true},
      {"File1/MIExit", "&Exit", true},
      {"Options1", "&Options", true},
      {"Options1/MailerNumber1", "&Mailer Number", true},
      {"Options1/YourNameAddress1", "&Your Name && Address", true},
      {"Options1/PrintOptions1", "Print &Options", true},
      {"Options1/PrintOptions1/MIPrinterSetup", "&Printer Setup", true},
      {"Options1/PrintOptions1/MIPrinterAlignment", "Printer &Alignment", true},
      {"Options1/PrintOptions1/MIExtraLabel", "&Extra Label", true},
      {"Options1/BarCodes1", "&BarCode's", true},
      {"Options1/BarCodes1/PrintBarCodeMI", "&Print", true},
      {"Options1/BarCodes1/DontPrintBarCodeMI", "&Don't Print", true},
      {"Options1/MIImpbBarCodes", "GS1-128 (IMpb) Bar Codes", true},
      {"Options1/DefaultPostage1", "&Default Postage", true},
      {"Options1/DefaultPostage1/SaveValues1", "&Save Values", true},
      {"Options1/NameAddressTextFiles1", "&Name && Address Text Files", true},
      {"Options1/NameAddressTextFiles1/MIImport", "&Import", true},
      {"Options1/NameAddressTextFiles1/MIExport", "&Export", true},
      {"TrackItem1", "Track Item", true},
      {"Report1", "&Report", true},
      {"Report1/PrintReport1", "&Print", true},
      {"Report1/PrintReport1/miPrintFull", "Full Detail", true},
      {"Report1/PrintReport1/miPrintShort", "Short Detail", true},
      {"Report1/PreviewReport1", "Pre&view", true},
      {"Report1/PreviewReport1/miPreviewFull", "&Full Detail", true},
      {"Report1/PreviewReport1/miPreviewShort", "&Short Detail", true},
      {"Report1/ClearReport1", "&Clear", true},
      {"Report1/Sort1", "&Sort", true},
      {"Report1/Sort1/MIByMailerNumber", "&By Mailer Number", true},
      {"Report1/Sort1/MIByName", "By &Name", true},
      {"Report1/Sort1/MIByDate", "By &Date", true},
      {"Report1/Sort1/MIByZipCode", "By &ZipCode", true},
      {"Report1/MIFirmMailingBook", "&Firm Mailing Book...", true},
      {"Help1", "&Help", true},
      {"Help1/Content1", "&Content", true},
      {"Help1/-", "-", true},
      {"Help1/OrderSupplies1", "&Order Supplies", true},
      {"Help1/TechnicalSupport1", "&Technical Support", true},
      {"Help1/-", "-", true},
      {"Help1/miAbout", "&About", true},
  };
  const std::vector<MenuEntry> actual = entriesOf(window.menuBar()->actions());
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i].name, expected[i].name) << i;
    EXPECT_EQ(actual[i].caption, expected[i].caption) << expected[i].name.toStdString();
    EXPECT_EQ(actual[i].enabled, expected[i].enabled) << expected[i].name.toStdString();
  }
  // No sort order is chosen at start.
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

TEST_F(MainWindowTest, FieldsStartAsDesigned) {
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
  EXPECT_FALSE(find<QWidget>("editRestricted")->isEnabled());
  EXPECT_FALSE(find<QWidget>("lblRestricted")->isEnabled());
  EXPECT_TRUE(find<QLineEdit>("editRestricted")->text().isEmpty());
  EXPECT_TRUE(find<QLineEdit>("editTotal")->isReadOnly());
  EXPECT_EQ(find<QLineEdit>("editComment")->maxLength(), 35);
  EXPECT_EQ(find<QLineEdit>("editRe")->maxLength(), 25);
  EXPECT_EQ(find<QLineEdit>("editCity")->maxLength(), 35);
  EXPECT_EQ(find<QLineEdit>("editState")->maxLength(), 4);
  EXPECT_EQ(find<MaskedEdit>("editZip")->maskedText(), QStringLiteral("     -    "));
  EXPECT_EQ(find<QWidget>("GroupBox3")->geometry(), QRect(272, 155, 281, 182));
  EXPECT_EQ(find<QWidget>("memoAddress")->geometry(), QRect(8, 72, 265, 60));
}

}  // namespace
}  // namespace kestrel
