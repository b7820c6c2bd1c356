// The Report menu: the log report printed or previewed in the Sort menu's
// order, clearing the log, and the firm mailing book of one mailing date.
#include <QAction>

#include "app/U_Main.h"
#include "core/Blanks.h"
#include "core/Settings.h"
#include "dbase/TTzDbf.h"
#include "dialogs/U_MailingBook.h"
#include "log/ClearLog.h"
#include "log/FirmMailingBook.h"
#include "log/LogReport.h"
#include "mailer/Mailer.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/CommandRunner.h"
#include "platform/LocalPath.h"
#include "platform/UserInteraction.h"
#include "print/CurrentPrinter.h"

namespace kestrel {

void TF_Main::runLogReport(bool toPrinter, const char* reportName) {
  runCommand([&] {
    // The Sort items are one radio group; none checked keeps the order of
    // printing.
    LogSort sort = LogSort::None;
    if (MIByMailerNumber->isChecked()) sort = LogSort::ByMailerNumber;
    if (MIByName->isChecked()) sort = LogSort::ByName;
    if (MIByDate->isChecked()) sort = LogSort::ByDate;
    if (MIByZipCode->isChecked()) sort = LogSort::ByZipCode;
    // Reports go to the printer that takes the mailers (Printer Setup);
    // without one, each report is a PDF file of its own.
    RvProject->setPrinter(&printerForNextJob(), [] { prepareNextPdfJob(); });
    RvProject->setParentWidget(this);
    produceLogReport(*MailingLog, *RvProject,
                     toPrinter ? ReportDestination::rdPrinter : ReportDestination::rdPreview,
                     reportName, sort);
  });
}

void TF_Main::miPrintFullClick() {
  runLogReport(true, kFullDetailReport);
}

void TF_Main::miPrintShortClick() {
  runLogReport(true, kShortDetailReport);
}

void TF_Main::miPreviewFullClick() {
  runLogReport(false, kFullDetailReport);
}

void TF_Main::miPreviewShortClick() {
  runLogReport(false, kShortDetailReport);
}

namespace {

// The sender as the book prints it: the first sender line, then the other
// lines and the city line on one line.
MailingBookSender bookSender(const SettingsRecord& settings) {
  std::string address;
  for (const std::string* part : {&settings.Line2, &settings.Line3, &settings.Line4}) {
    const std::string text = trimBlanks(*part);
    if (!text.empty()) address += (address.empty() ? "" : ", ") + text;
  }
  const std::string cityLine = senderCityLine(settings);
  if (!cityLine.empty()) address += (address.empty() ? "" : ", ") + cityLine;
  return {trimBlanks(settings.Line1), address};
}

}  // namespace

void TF_Main::MIFirmMailingBookClick() {
  runCommand([this] {
    TF_MailingBook dialog(QDate::currentDate(), this);
    const int choice = ui().execDialog(dialog);
    if (choice != TF_MailingBook::kPreview && choice != TF_MailingBook::kPrint) return;
    const QDate day = dialog.mailingDate();
    const MailingBookSelection selection{Date{day.year(), day.month(), day.day()},
                                         toAnsi(dialog.firstNumber()), toAnsi(dialog.lastNumber())};
    RvProject->setPrinter(&printerForNextJob(), [] { prepareNextPdfJob(); });
    RvProject->setParentWidget(this);
    produceFirmMailingBook(*MailingLog, *RvProject,
                           choice == TF_MailingBook::kPrint ? ReportDestination::rdPrinter
                                                            : ReportDestination::rdPreview,
                           selection, bookSender(Settings()));
  });
}

namespace {

const QString kSaveQuestion = QStringLiteral("Do you wish to save the data in the report?");

// Report > Clear asks whether to save the log's records first, and where.
std::optional<std::string> chooseLogCopy() {
  const UserInteraction::Answer answer =
      ui().message(QString::fromLatin1(kApplicationTitle), kSaveQuestion,
                   UserInteraction::Icon::Question, UserInteraction::Buttons::YesNoCancel);
  if (answer == UserInteraction::Answer::Cancel) return std::nullopt;
  if (answer != UserInteraction::Answer::Yes) return std::string();
  // An existing table is added to, never replaced: the dialog's "replace
  // it?" would say the opposite of what happens.
  const QString chosen = ui().saveFileName(QString(), QString(), QString(), QString(),
                                           UserInteraction::ExistingFile::TakeAsIs);
  if (chosen.isEmpty()) return std::nullopt;  // no copy, no clear
  return toLocalPath(chosen);
}

}  // namespace

void TF_Main::ClearReport1Click() {
  runCommand([this] { clearMailingLog(*MailingLog, chooseLogCopy); });
}

}  // namespace kestrel
