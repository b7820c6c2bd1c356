#include "app/U_Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "addresses/DataSource.h"
#include "core/Branding.h"
#include "core/Folders.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "core/SharedNumbering.h"
#include "dbase/TTzDbf.h"
#include "dialogs/ChoiceBox.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/MailerNumberCommand.h"
#include "dialogs/PrintBarCodesCommand.h"
#include "dialogs/U_About.h"
#include "dialogs/U_Align.h"
#include "dialogs/U_ExtraLabel.h"
#include "dialogs/U_Mailer.h"
#include "dialogs/U_YourAddress.h"
#include "log/LogReport.h"
#include "log/MailingLog.h"
#include "mailer/Mailer.h"
#include "mailer/NumberingTransaction.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/CommandRunner.h"
#include "platform/KeyPreview.h"
#include "platform/LocalPath.h"
#include "platform/SettingsSaving.h"
#include "platform/ShellOpen.h"
#include "platform/UserInteraction.h"
#include "print/CurrentPrinter.h"
#include "print/FormPrinter.h"

namespace kestrel {

namespace {

// Outer size of the window, frame and title bar included.
constexpr int kOuterWidth = 643;
constexpr int kOuterHeight = 490;

// Where the reseller's logo goes when the brand is "Harrowgate".
const QRect kHarrowgateLogoPlace{30, 63, 197, 97};

const QString kRegistrationCaption = QStringLiteral("Bar Code Printing Registration");
const QString kRegistrationText = QStringLiteral(
    "This software prints the newly required Bar Code on the your Certified Mailer. Thus the "
    "U.S. Postal Service Requires that you register with them.  The DUNS numbers are no longer "
    "used. You must have a mailer ID issued by the U.S. Postal Server.  If you do not have a "
    "USPS mailer ID contact them at 800 522 9085 option 3 then option 6. ");
const QString kNeverPrintAgain = QStringLiteral("&Never Print again");
const QString kNoPrinterText = QStringLiteral(
    "No printer is installed on this computer. Every mailer and report is written as a PDF "
    "file of its own into the folder \"%1\".");
const QString kPdfFallbackNotice =
    QStringLiteral("No printer is installed. Mailers and reports are saved as PDF files in %1.");
const QString kSelectCustomerID = QStringLiteral(
    "If you have labels without any Bar Code's, you must select a \"Customer ID\" number.");

// Paths are built from the program folder as the file system spells it.
QString programFile(const char* name) {
  return fromLocalPath(Settings().ProgramFolder) + QString::fromLatin1(name);
}

}  // namespace

TF_Main::TF_Main(const std::string& programFolder, TF_About* splash, QWidget* parent)
    : QMainWindow(parent),
      m_splash(splash),
      MailingLog(std::make_unique<TTzDbf>("MailingLog")),
      RvProject(std::make_unique<ReportProject>()),
      m_printMailer([](const PrintRequest& request, bool printBarCodes, const QFont& baseFont) {
        return PrintMailer(request, printBarCodes, baseFont, mailerSymbology(Settings()));
      }) {
  setObjectName(QStringLiteral("TF_Main"));
  createControls();
  createMenus();
  connectEntryRules();
  // The window sees every key before the control that has the focus.
  new KeyPreview(*this, [this](QKeyEvent& event) { return FormKeyDown(event.key()); });
  FormCreate(programFolder);
  setPrintCommandConnected(true);
  // A user without a printer would not know where the mailer went.
  setPdfFallbackNotice([this](const QString& folder) {
    if (m_pdfFallbackTold) return;
    m_pdfFallbackTold = true;
    showInformation(kPdfFallbackNotice.arg(QDir::toNativeSeparators(folder)));
  });
}

TF_Main::~TF_Main() {
  setPdfFallbackNotice({});
  // The controls go after this part of the window: while they do, none of
  // their signals or focus events may reach its handlers.
  for (QObject* child : findChildren<QObject*>()) {
    child->removeEventFilter(this);
    QObject::disconnect(child, nullptr, this, nullptr);
  }
  delete m_splash;
}

void TF_Main::FormCreate(const std::string& programFolder) {
  SettingsRecord& settings = Settings();
  settings.ProgramFolder = withSeparator(programFolder);
  setUpLogReports(*RvProject, settings.ProgramFolder);
  setUpMailingLog(*MailingLog, settings.ProgramFolder);

  // An unreadable file gives defaults; anything worse is shown, and the
  // program starts with what could be read.
  runCommand([this] { LoadSettings(); });
  setWindowTitle(QString::fromLatin1(kApplicationTitle));

  if (settings.Company == kHarrowgate && loadCompanyLogo(logoFilePath(settings)))
    placeCompanyLogo();

  fillFeeFields();

  (settings.PrintBarCode ? PrintBarCodeMI : DontPrintBarCodeMI)->setChecked(true);
  MIImpbBarCodes->setChecked(settings.IMpbBarCodes);

  // Missing data folders are created, shared with every user of the
  // machine; a failure shows later, in the command that needs the folder.
  makeSharedFolder(settings.ProgramFolder + "Addresses");
  makeSharedFolder(settings.ProgramFolder + kReportsFolderName);

  settings.ShowMailerDialog = true;
  waitForSplash();
  FirstShow = true;
}

void TF_Main::LoadSettings() {
  loadSettings(Settings(), settingsFilePath(), [this] { ApplyDefaultBranding(); });
}

bool TF_Main::SaveSettings() {
  return saveSettings(Settings(), settingsFilePath());
}

void TF_Main::ApplyDefaultBranding() {
  applyDefaultBranding(Settings(),
                       [this](const std::string& path) { return loadCompanyLogo(path); });
}

bool TF_Main::loadCompanyLogo(const std::string& path) {
  const QString file = fromLocalPath(path);
  if (!QFileInfo::exists(file)) return false;
  QPixmap logo;
  if (!logo.load(file)) return false;
  imageCompany->setPixmap(logo);
  return true;
}

void TF_Main::placeCompanyLogo() {
  imageCompany->setGeometry(kHarrowgateLogoPlace);
}

void TF_Main::waitForSplash() {
  // The splash's timer switches itself off at its first tick, so the splash
  // stays up for at least one period however fast the window was created.
  while (m_splash != nullptr && m_splash->Timer1->isActive())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TF_Main::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!FirstShow || m_showQueued) return;
  m_showQueued = true;
  placeOnScreen();
  // Queued, so that the window is up behind the first questions.
  QMetaObject::invokeMethod(this, &TF_Main::FormShow, Qt::QueuedConnection);
}

void TF_Main::placeOnScreen() {
  // The frame is known only once the window system has framed the window;
  // until then the client keeps the designed size (a usual frame assumed).
  const QSize frame = frameGeometry().size() - size();
  QSize outer = frameGeometry().size();
  if (frame.width() > 0 && frame.height() > 0) outer = QSize(kOuterWidth, kOuterHeight);
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    outer = outer.boundedTo(available.size());
    resize(outer - frame);
    move(available.center() - QPoint(outer.width() / 2, outer.height() / 2));
  }
}

void TF_Main::FormShow() {
  if (!FirstShow) return;
  FirstShow = false;
  delete m_splash;
  m_splash = nullptr;
  placeOnScreen();

  runCommand([this] {
    SettingsRecord& settings = Settings();
    if (settings.Line1.empty() && settings.City.empty() && settings.State.empty() &&
        settings.Zip.empty()) {
      TF_YourAddress dialog(this);
      ui().execDialog(dialog);
    }
    ShowSenderBlock();

    if (customerIdRefused(settings, NumberingCommand::Print)) {
      showInformation(kSelectCustomerID);
      // Shows the stored number as it is: nothing is advanced or stepped
      // back. What is confirmed is the machine's numbering from now on.
      if (openMailerDialog(settings, this, false)) storeNumbering(settings, settingsFilePath());
    }

    if (settings.BarCodeApp &&
        ChoiceBox(kRegistrationCaption, kRegistrationText, {kNeverPrintAgain}) == 1)
      settings.BarCodeApp = false;
  });
}

void TF_Main::ShowSenderBlock() {
  const auto lines = senderBlock(Settings());
  QLabel* const labels[] = {lblYourAddress1, lblYourAddress2, lblYourAddress3, lblYourAddress4,
                            lblYourAddress5};
  for (std::size_t i = 0; i < lines.size(); ++i) labels[i]->setText(fromAnsi(lines[i]));
}

void TF_Main::YourNameAddress1Click() {
  runCommand([this] {
    TF_YourAddress dialog(this);
    if (ui().execDialog(dialog) == QDialog::Accepted) ShowSenderBlock();
  });
  // The sender group's only control takes the focus.
  btnChangeYourAddress->setFocus();
}

void TF_Main::MailerNumber1Click() {
  // A numbering state that does not read as numbers ends the command in the
  // general error display, with the state as the command found it.
  runCommand([this] { kestrel::MailerNumber1Click(Settings(), this); });
}

void TF_Main::MIPrinterAlignmentClick() {
  runCommand([this] {
    TF_Align dialog(Settings(), this);
    ui().execDialog(dialog);
  });
}

void TF_Main::MIExtraLabelClick() {
  runCommand([this] {
    TF_ExtraLabel dialog(Settings(), this);
    ui().execDialog(dialog);
  });
}

void TF_Main::MIPrintBarCodesClick() {
  runCommand([this] { printBarCodesCommand(this, Settings(), m_printFont); });
}

void TF_Main::MIExitClick() {
  close();
}

void TF_Main::MIPrinterSetupClick() {
  runCommand([this] {
    // Without any printer every job becomes a PDF file of its own; there is
    // nothing to choose, so the setup says where the files go.
    if (!hasInstalledPrinter()) {
      showInformation(kNoPrinterText.arg(QDir::toNativeSeparators(pdfJobFolder())));
      return;
    }
    // The dialog starts from the printer the next job would take; a printer
    // chosen there holds for this run of the program only.
    QPrintDialog setup(&printerForNextJob(), this);
    setup.setObjectName(QStringLiteral("PrinterSetupDialog1"));
    if (ui().execDialog(setup) == QDialog::Accepted) keepChosenPrinter();
  });
}

void TF_Main::PrintBarCodeMIClick() {
  PrintBarCodeMI->setChecked(true);
  Settings().PrintBarCode = true;
}

void TF_Main::MIImpbBarCodesClick() {
  // Kept with the other settings, written after the next mailer and at close.
  Settings().IMpbBarCodes = MIImpbBarCodes->isChecked();
}

void TF_Main::DontPrintBarCodeMIClick() {
  DontPrintBarCodeMI->setChecked(true);
  Settings().PrintBarCode = false;
  // Pre-printed mailers count upwards unless the user chooses otherwise again.
  Settings().Increment = true;
}

void TF_Main::TrackItem1Click() {
  shellOpen(QString::fromLatin1(kTrackingAddress));
}

void TF_Main::Content1Click() {
  const QString help = programFile(kHelpFileName);
  if (shellOpen(help)) return;
  // No browser took the file (a machine without a desktop's launcher): the
  // help shows in a window of the program's own.
  if (!m_helpWindow) m_helpWindow = new HelpWindow(help, this);
  m_helpWindow->show();
  m_helpWindow->raise();
  m_helpWindow->activateWindow();
}

void TF_Main::MIAboutClick() {
  runCommand([this] {
    TF_About about(this);
    about.SplashMode = false;
    ui().execDialog(about);
  });
}

bool TF_Main::FormKeyDown(int key) {
  if (key != Qt::Key_Escape) return false;
  close();
  return true;
}

void TF_Main::closeEvent(QCloseEvent* event) {
  if (FormClose())
    event->accept();
  else
    event->ignore();
}

bool TF_Main::FormClose() {
  // A failed save has already told the user; the window stays open so that
  // nothing is lost and the close can be tried again.
  bool saved = false;
  runCommand([&] { saved = SaveSettings(); });
  if (!saved) return false;
  // Harmless when the log is closed already, as it is between commands.
  runCommand([this] { MailingLog->Close(); });
  // The AddressBook is closed without packing: only Exit removes the
  // records marked deleted.
  runCommand([this] { closeAddressBook(); });
  return true;
}

}  // namespace kestrel
