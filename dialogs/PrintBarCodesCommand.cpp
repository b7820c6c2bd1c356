#include "dialogs/PrintBarCodesCommand.h"

#include <QDialog>
#include <algorithm>
#include <exception>

#include "core/SettingsFile.h"
#include "dialogs/U_PrintBarCode.h"
#include "mailer/NumberingTransaction.h"
#include "numbering/MailerNumber.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/BusyCursor.h"
#include "platform/UserInteraction.h"
#include "print/CurrentPrinter.h"
#include "print/FormPrinter.h"
#include "print/PrinterCanvas.h"

namespace kestrel {

namespace {
const QString kConfirmation = QStringLiteral(
    "You have seleceted to pre-print the Bar Code's onto the Mailer's, would you like to "
    "continue?");
const QString kZeroCustomerId = QStringLiteral(
    "You can not print a Mailer with \"000000000\" as a Customer ID. Enter a Customer ID. and try "
    "again.");

QString stoppedRunMessage(const LabelRunProgress& progress, int count, const char* reason) {
  return QStringLiteral(
             "Printing the bar codes stopped: %1 of %2 labels were printed. The run stopped at "
             "serial number %3.\n\n%4")
      .arg(progress.labelsPrinted)
      .arg(count)
      .arg(fromAnsi(progress.serial), fromAnsi(reason));
}
}  // namespace

void printBarCodesCommand(QWidget* parent, SettingsRecord& settings, const QFont& baseFont,
                          PageCanvas& canvas) {
  if (ui().message(kApplicationTitle, kConfirmation, UserInteraction::Icon::Question,
                   UserInteraction::Buttons::YesNo) != UserInteraction::Answer::Yes)
    return;

  NumberingTransaction numbering(settings, settingsFilePath());
  TF_PrintBarCode dialog(settings, parent);
  // The serial and customer ID the run starts from are the machine's from now on.
  if (!numbering.confirm([&] { return ui().execDialog(dialog) == QDialog::Accepted; })) return;

  if (customerIdRefused(settings, NumberingCommand::PrePrint)) {
    showError(kZeroCustomerId);
    return;
  }

  LabelRunProgress progress;
  std::string failure;
  {
    BusyCursor busy;
    try {
      PrintBarCodeLabels(canvas, settings.LabelCount, withoutHyphens(settings.CustID),
                         settings.SerialNum, settings.LeftRight, settings.TopBottom, baseFont,
                         &progress, mailerSymbology(settings));
    } catch (const std::exception& error) {
      failure = error.what();
      if (failure.empty()) failure = "The printer reported an error.";
    }
  }
  if (!failure.empty())
    showError(stoppedRunMessage(progress, settings.LabelCount, failure.c_str()));
}

void printBarCodesCommand(QWidget* parent, SettingsRecord& settings, const QFont& baseFont) {
  PrinterCanvas canvas(printerForNextJob(), [] { prepareNextPdfJob(); });
  printBarCodesCommand(parent, settings, baseFont, canvas);
}

}  // namespace kestrel
