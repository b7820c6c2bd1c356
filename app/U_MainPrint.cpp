// The Print command: number the mailer, print it on the pre-printed form and
// record it in the mailing log.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/U_Main.h"
#include "core/SettingsFile.h"
#include "core/ZipCode.h"
#include "dbase/TTzDbf.h"
#include "dialogs/U_Mailer.h"
#include "log/MailingLog.h"
#include "mailer/Mailer.h"
#include "mailer/NumberingTransaction.h"
#include "numbering/MailerNumber.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/BusyCursor.h"
#include "platform/CommandRunner.h"
#include "platform/DisplayedLines.h"
#include "platform/MaskedEdit.h"
#include "platform/SettingsSaving.h"
#include "platform/UserInteraction.h"
#include "print/FormPrinter.h"

namespace kestrel {

namespace {

const QString kUnsetCustIdRefused = QStringLiteral(
    "You can not print a Mailer with \"00-000-0000\" as a Customer ID.\n\n"
    "Please enter in a Customer ID, and try again.");

const QString kPrintedBeforeQuestion =
    QStringLiteral("Mailer number %1 was already printed on %2 for %3. Print it again?");
const QString kLogUnreadableQuestion = QStringLiteral(
    "The mailing log could not be read to check whether mailer number %1 was printed "
    "before:\n\n%2\n\nPrint it anyway?");

}  // namespace

void TF_Main::setMailerPrinter(MailerPrinter printer) {
  m_printMailer = std::move(printer);
}

void TF_Main::btnPrintClick() {
  runCommand([this] {
    m_reprintConfirmed = false;
    if (numberNextMailer(NumberingCommand::Print, kUnsetCustIdRefused)) PrintOneMailer();
  });
}

// The menu prints also in the printed state, when the button is disabled:
// the same mailer again with the next number.
void TF_Main::MIPrintClick() {
  btnPrintClick();
}

bool TF_Main::numberNextMailer(NumberingCommand command, const QString& refusal) {
  SettingsRecord& settings = Settings();
  // From here on the settings, and the settings file that every copy of the
  // program numbers from, hold the number this mailer gets: a crash from
  // here on skips the number, never hands it out again.
  NumberingTransaction numbering(settings, settingsFilePath());
  if (settings.ShowMailerDialog &&
      !numbering.confirm([&] { return openMailerDialog(settings, this, true); }))
    return false;
  if (customerIdRefused(settings, command)) {
    showError(refusal);
    numbering.putBack();
    return false;
  }
  if (!numberIsNewOrReprintWanted(mailerNumberToPrint(settings))) {
    numbering.putBack();
    return false;
  }
  return true;
}

bool TF_Main::numberIsNewOrReprintWanted(const std::string& number) {
  if (m_reprintConfirmed) return true;
  const QString shown = fromAnsi(GroupMailerNumber(number)).trimmed();
  std::optional<PrintedBefore> before;
  try {
    BusyCursor busy;
    before = findPrintedMailer(Settings().ProgramFolder, GroupMailerNumber(number));
  } catch (const std::exception& error) {
    // Never taken for "not printed": the log is the office's proof of mailing.
    return ui().message(QString::fromLatin1(kApplicationTitle),
                        kLogUnreadableQuestion.arg(shown, fromAnsi(error.what())),
                        UserInteraction::Icon::Warning,
                        UserInteraction::Buttons::YesNoDefaultNo) == UserInteraction::Answer::Yes;
  }
  if (!before) return true;
  const bool again =
      ui().message(
          QString::fromLatin1(kApplicationTitle),
          kPrintedBeforeQuestion.arg(shown, fromAnsi(before->date), fromAnsi(before->name)),
          UserInteraction::Icon::Question,
          UserInteraction::Buttons::YesNoDefaultNo) == UserInteraction::Answer::Yes;
  // A mass print asks once: a Yes holds for the rest of its run.
  m_reprintConfirmed = again && m_massPrinting;
  return again;
}

Mailer TF_Main::readMailer() const {
  Mailer mailer;
  const QLabel* const sender[] = {lblYourAddress1, lblYourAddress2, lblYourAddress3,
                                  lblYourAddress4, lblYourAddress5};
  for (std::size_t i = 0; i < mailer.senderLines.size(); ++i)
    mailer.senderLines[i] = toAnsi(sender[i]->text());

  const RecipientControls recipient = recipientControls();
  for (int i = 0; i < kRecipientLines; ++i)
    mailer.names[i] = toAnsi(displayedLine(*recipient.memo, i));
  mailer.city = toAnsi(recipient.city->text().trimmed());
  mailer.state = toAnsi(recipient.state->text().trimmed());
  mailer.zip = CleanZip(toAnsi(recipient.zip->maskedText()));
  mailer.postage = toAnsi(editPostage->text());
  mailer.certified = toAnsi(editCertFee->text());
  mailer.restricted = toAnsi(editRestricted->text());
  mailer.returnReceipt = toAnsi(editReturn->text());
  mailer.total = toAnsi(editTotal->text());
  mailer.comments = toAnsi(editComment->text());
  mailer.re = toAnsi(editRe->text());
  mailer.restrictedDelivery = cbRestricted->isChecked();
  return mailer;
}

void TF_Main::PrintOneMailer() {
  // The log table is opened and closed inside LogPrintedMailer, on every
  // path; nothing else here holds it open.
  BusyCursor busy;
  const Mailer mailer = readMailer();
  const PrintRequest request = buildPrintRequest(mailer, Settings());
  const std::string printed = m_printMailer(request, Settings().PrintBarCode, m_printFont);
  ShowPrintedState();
  writeNumberingState();
  LogPrintedMailer(*MailingLog, mailer, GroupMailerNumber(printed));
}

void TF_Main::writeNumberingState() {
  const std::string path = settingsFilePath();
  if (writeSettingsFile(Settings(), path) || m_settingsWriteFailureShown) return;
  m_settingsWriteFailureShown = true;
  showSettingsWriteFailure(path);
}

}  // namespace kestrel
