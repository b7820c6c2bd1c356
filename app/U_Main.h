#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "mailer/PrintRequest.h"
#include "platform/MemoEdit.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace kestrel {

class DataAwareEdit;
class DataAwareMemo;
class DataSource;
class HelpWindow;
class MaskedEdit;
class RecordNavigator;
class ReportProject;
class TF_About;
class TTzDbf;
struct Mailer;
enum class NumberingCommand;

// The main window: the sender block, the recipient and fee fields, and every
// menu of the program. It lives for the whole run; Settings is loaded while it
// is created and written back when it closes.
//
// Controls and menu items carry their design names both as members and as
// objectName, so that later commands and the window tests find them by name.
// Commands that belong to subsystems not yet connected sit in the menus
// disabled; they gain a handler (and are enabled) when their subsystem lands.
class TF_Main : public QMainWindow {
  Q_OBJECT

 public:
  // `programFolder` is the folder of the program file (tests hand in a
  // temporary one); a separator is appended when missing. `splash` is the
  // splash screen shown by the start-up code, or null: creation waits while
  // its timer runs, and the first show closes and deletes it.
  explicit TF_Main(const std::string& programFolder, TF_About* splash = nullptr,
                   QWidget* parent = nullptr);
  ~TF_Main() override;

  // The help document in the program folder. An HTML document (not the old
  // help-viewer format) so that every desktop can show it: "Kestrel3.html",
  // named after the settings file "Kestrel3.ini" it belongs with.
  static constexpr const char* kHelpFileName = "Kestrel3.html";
  // The postal service's page for tracking a mailpiece.
  static constexpr const char* kTrackingAddress =
      "https://tools.usps.com/go/TrackConfirmAction_input";

  // Fills the five sender labels from Settings (senderBlock).
  void ShowSenderBlock();

  // Whether the first-show questions are still to come.
  bool firstShowPending() const { return FirstShow; }

  // ---- Recipient and fee entry (U_MainEntry.cpp) ----

  // The normalised form of one fee text: its MoneyText when it reads as an
  // amount greater than 0, else a single blank. Recomputes and shows the total
  // of the four fee fields, each counted as normalised (the field being
  // normalised too, which the caller fills with the result afterwards).
  QString NormalizeFee(const QString& text);

  // The two looks of the entry fields: edited (white, Print enabled) and
  // printed (silver, Print disabled). Only btnPrint is disabled in the printed
  // state; File > Print keeps working. The Print command calls
  // ShowPrintedState after each printed mailer; every change of an entry
  // field returns the window to the edited state.
  void ShowEditedState();
  void ShowPrintedState();
  bool printedState() const { return m_printed; }

  // Whether btnPrint has a command behind it. Until the Print command is
  // connected the button stays disabled in both states (a press would do
  // nothing); connecting the command sets this, and from then on the visual
  // state decides. The state itself is switched either way.
  void setPrintCommandConnected(bool connected);

  // ---- The Print command (U_MainPrint.cpp) ----

  // Builds the mailer from the window, prints it, shows the printed state,
  // writes the numbering state to the settings file and logs the mailer.
  // Shared by Print and the mass print; the caller has numbered the mailer.
  // Errors (print failures, a mailer that could not be logged) reach the
  // caller's command runner; the busy pointer is restored on every path.
  void PrintOneMailer();

  // The form printer behind the Print command: the current printer, unless a
  // test hands in another page canvas. Returns the printed mailer number.
  using MailerPrinter =
      std::function<std::string(const PrintRequest&, bool printBarCodes, const QFont& baseFont)>;
  void setMailerPrinter(MailerPrinter printer);

  // The mailing log table under the program folder (closed between commands).
  TTzDbf& mailingLog() { return *MailingLog; }

  // ---- Database mode (U_MainDatabase.cpp) ----

  // The open AddressBook's table (closed outside database mode).
  TTzDbf& addressBook() { return *AddressBook; }
  // Whether the window shows the database-mode layout (with or without an
  // open table).
  bool databaseMode() const;
  // Closes the AddressBook without packing, posting a pending edit first, so
  // that a command can work on the file; reopenAddressBook opens the same
  // file again on its first record. Both do nothing outside database mode.
  void closeAddressBook();
  void reopenAddressBook();

  // The font the form printer prints with: the window's font for printing,
  // "Arial" 8 points, regular, black.
  const QFont& printFont() const { return m_printFont; }

  // ---- Controls (design names) ----
  QLabel* Image1 = nullptr;
  QLabel* imageCompany = nullptr;

  QGroupBox* GroupBox5 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* editPostage = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* editCertFee = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* editReturn = nullptr;
  QCheckBox* cbRestricted = nullptr;
  QLabel* lblRestricted = nullptr;
  QLineEdit* editRestricted = nullptr;
  QFrame* Shape2 = nullptr;
  QLabel* Label9 = nullptr;
  QLineEdit* editTotal = nullptr;
  QPushButton* btnPrint = nullptr;

  QGroupBox* gbYour = nullptr;
  QLabel* lblYourAddress1 = nullptr;
  QLabel* lblYourAddress2 = nullptr;
  QLabel* lblYourAddress3 = nullptr;
  QLabel* lblYourAddress4 = nullptr;
  QLabel* lblYourAddress5 = nullptr;
  QPushButton* btnChangeYourAddress = nullptr;

  QLabel* Label13 = nullptr;
  QLineEdit* editComment = nullptr;
  QLabel* Label17 = nullptr;
  QLineEdit* editRe = nullptr;

  QGroupBox* GroupBox3 = nullptr;
  QPushButton* btnPaste = nullptr;
  QPushButton* btnClear = nullptr;
  MemoEdit* memoAddress = nullptr;
  QLineEdit* editCity = nullptr;
  QLineEdit* editState = nullptr;
  MaskedEdit* editZip = nullptr;
  QLabel* labelDatabaseName = nullptr;
  RecordNavigator* tznavigator1 = nullptr;
  QLabel* labelOrder = nullptr;
  QPushButton* btnExit = nullptr;
  DataAwareMemo* tzmemoAddress = nullptr;
  DataAwareEdit* tzeditCity = nullptr;
  DataAwareEdit* tzeditState = nullptr;
  DataAwareEdit* tzeditZip = nullptr;

  // ---- Menu items (design names) ----
  QMenu* File1 = nullptr;
  QAction* MIReadWriteToDB = nullptr;
  QAction* MIPrint = nullptr;
  QAction* MIMassPrint = nullptr;
  QAction* MIPrintBarCodes = nullptr;
  QAction* MIExit = nullptr;

  QMenu* Options1 = nullptr;
  QAction* MailerNumber1 = nullptr;
  QAction* YourNameAddress1 = nullptr;
  QMenu* PrintOptions1 = nullptr;
  QAction* MIPrinterSetup = nullptr;
  QAction* MIPrinterAlignment = nullptr;
  QAction* MIExtraLabel = nullptr;
  QMenu* BarCodes1 = nullptr;
  QActionGroup* BarCodeGroup = nullptr;
  QAction* PrintBarCodeMI = nullptr;
  QAction* DontPrintBarCodeMI = nullptr;
  QAction* MIImpbBarCodes = nullptr;  // check item: GS1-128 symbols
  QMenu* DefaultPostage1 = nullptr;
  QAction* SaveValues1 = nullptr;
  QMenu* NameAddressTextFiles1 = nullptr;
  QAction* MIImport = nullptr;
  QAction* MIExport = nullptr;

  QAction* TrackItem1 = nullptr;

  QMenu* Report1 = nullptr;
  QMenu* PrintReport1 = nullptr;
  QAction* miPrintFull = nullptr;
  QAction* miPrintShort = nullptr;
  QMenu* PreviewReport1 = nullptr;
  QAction* miPreviewFull = nullptr;
  QAction* miPreviewShort = nullptr;
  QAction* ClearReport1 = nullptr;
  QAction* MIFirmMailingBook = nullptr;
  QMenu* Sort1 = nullptr;
  QActionGroup* SortGroup = nullptr;
  QAction* MIByMailerNumber = nullptr;
  QAction* MIByName = nullptr;
  QAction* MIByDate = nullptr;
  QAction* MIByZipCode = nullptr;

  QMenu* Help1 = nullptr;
  QAction* Content1 = nullptr;
  QAction* OrderSupplies1 = nullptr;
  QAction* TechnicalSupport1 = nullptr;
  QAction* miAbout = nullptr;

 public slots:
  void btnPrintClick();
  void MIPrintClick();

  // The first-show steps: close the splash, then the start-up questions.
  // Runs once, queued by the first show so that the window is up behind them.
  void FormShow();

  void YourNameAddress1Click();
  void MIExitClick();
  void MIPrinterSetupClick();
  void PrintBarCodeMIClick();
  void DontPrintBarCodeMIClick();
  void MIImpbBarCodesClick();
  void TrackItem1Click();
  void Content1Click();
  void MIAboutClick();
  void MailerNumber1Click();
  void MIPrinterAlignmentClick();
  void MIExtraLabelClick();
  void MIPrintBarCodesClick();

  // The Report menu (U_MainReport.cpp).
  void miPrintFullClick();
  void miPrintShortClick();
  void miPreviewFullClick();
  void miPreviewShortClick();
  void ClearReport1Click();
  void MIFirmMailingBookClick();

  // Recipient and fee entry.
  void editPostageExit();
  void editCertFeeExit();
  void editRestrictedExit();
  void editReturnExit();
  void editPostageChange();
  void cbRestrictedClick();
  void memoAddressChange();
  void memoAddressExit();
  void btnPasteClick();
  void btnClearClick();
  void SaveValues1Click();

  // Database mode.
  void MIReadWriteToDBClick();
  void btnExitClick();
  void tznavigator1Click();
  void tzmemoAddressChange();
  void tzmemoAddressExit();
  void MIMassPrintClick();
  // Name and address text files (U_MainTextFiles.cpp).
  void MIImportClick();
  void MIExportClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // The "exit" rules of the entry fields: leaving a field is its focus-out.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The design-time form (U_MainForm.cpp): controls, fonts, colours, tab order, menus.
  void createControls();
  void createMenus();
  void applyTabOrder();
  // Connects the change and leave rules of the entry fields (U_MainEntry.cpp).
  void connectEntryRules();
  // Creation step 6: the stored default fees, normalised, and their total.
  void fillFeeFields();
  // Puts the normalised text into a fee field that is being left.
  void leaveFeeField(QLineEdit* field);
  // The fields whose colour shows the visual state.
  QList<QWidget*> stateFields() const;
  void paintStateFields(const QColor& colour);

  // Creation steps, in order (U_Main.cpp).
  void FormCreate(const std::string& programFolder);
  void LoadSettings();
  bool SaveSettings();
  void ApplyDefaultBranding();
  // Loads the reseller's logo into imageCompany; false when it cannot.
  bool loadCompanyLogo(const std::string& path);
  void placeCompanyLogo();
  void waitForSplash();
  // Outer size as designed, within the screen, centred.
  void placeOnScreen();

  // The first steps of the Print command: remember the numbering state,
  // advance it, offer the mailer number dialog and check the customer ID.
  // False, with the numbering state put back, when the mailer is not to be
  // printed. A customer ID that `command` refuses is told with `refusal`.
  bool numberNextMailer(NumberingCommand command, const QString& refusal);
  // Looks the number about to be printed up in the mailing log: true when it
  // is new, or when the user answers that it is to be printed again (a mass
  // print asks once per run). A log that cannot be read is said so, and the
  // user decides.
  bool numberIsNewOrReprintWanted(const std::string& number);
  // The mailer as the window shows it.
  Mailer readMailer() const;
  // The recipient controls in use: the data-aware ones in database mode.
  struct RecipientControls {
    QPlainTextEdit* memo;
    QLineEdit* city;
    QLineEdit* state;
    MaskedEdit* zip;
  };
  RecipientControls recipientControls() const;
  // Whether a recipient line of the memo (one of the first four displayed)
  // holds text: leaving such a memo counts as a change of it.
  static bool recipientLinesHoldText(const QPlainTextEdit& memo);

  // Database mode (U_MainDatabase.cpp): its controls, the layout switch, and
  // opening the chosen file as the AddressBook.
  void createDatabaseControls();
  void showDatabaseLayout(bool databaseLayout);
  void openAddressBook(const QString& path);
  void showRecordOrder();
  // Keeps the numbering state safe from a crash after each printed mailer;
  // a failure is told once per run and printing goes on.
  void writeNumberingState();

  // Handles a key before the control that has the focus; true when consumed.
  bool FormKeyDown(int key);
  // Shutdown steps; false when the close has to be abandoned.
  bool FormClose();

  TF_About* m_splash = nullptr;
  std::unique_ptr<TTzDbf> MailingLog;
  std::unique_ptr<TTzDbf> AddressBook;
  // Declared after the table: it goes first and lets go of it.
  std::unique_ptr<DataSource> m_addressSource;
  QString m_addressBookPath;
  std::unique_ptr<ReportProject> RvProject;
  // Runs one log report from the Report menu in the Sort menu's order.
  void runLogReport(bool toPrinter, const char* reportName);
  MailerPrinter m_printMailer;
  // The program's own help viewer, while it is open.
  QPointer<HelpWindow> m_helpWindow;
  bool m_settingsWriteFailureShown = false;
  // Set during a mass print; the Yes to printing a number again holds for the
  // rest of that run.
  bool m_massPrinting = false;
  bool m_reprintConfirmed = false;
  // Where the PDF files go is told at the first job that becomes one.
  bool m_pdfFallbackTold = false;
  QFont m_printFont{QStringLiteral("Arial"), 8};
  bool FirstShow = false;
  bool m_showQueued = false;
  bool m_printed = false;
  bool m_printCommandConnected = false;
};

}  // namespace kestrel
