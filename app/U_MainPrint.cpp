// The Print command: number the mailer, print it on the pre-printed form and
// record it in the mailing log.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/MailerRequest.h"
#include "app/U_Main.h"
#include "core/SettingsFile.h"
#include "core/SharedNumbering.h"
#include "core/ZipCode.h"
#include "dbase/TTzDbf.h"
#include "dialogs/U_Mailer.h"
#include "log/MailingLog.h"
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

constexpr int kRecipientLines = 4;

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
    if (numberNextMailer({kUnsetHyphenatedCustID, kUnsetCustIdRefused})) PrintOneMailer();
  });
}

// The menu prints also in the printed state, when the button is disabled:
// the same mailer again with the next number.
void TF_Main::MIPrintClick() {
  btnPrintClick();
}

bool TF_Main::numberNextMailer(const RefusedCustId& refused) {
  SettingsRecord& settings = Settings();
  const std::string path = settingsFilePath();
  // From here on the settings, and the settings file that every copy of the
  // program numbers from, hold the number this mailer gets: a crash from
  // here on skips the number, never hands it out again.
  NumberReservation reservation = reserveNextNumber(settings, path);
  const auto putBack = [&] { giveBackNumber(settings, reservation, path); };

  if (settings.ShowMailerDialog) {
    if (!openMailerDialog(settings, this, true)) {
      putBack();
      return false;
    }
    if (!sameSharedNumbering(settings, reservation.after)) {
      storeNumbering(settings, path);
      reservation.after = settings;
    }
  }
  if (settings.PrintBarCode && settings.CustID == refused.custId) {
    showError(refused.message);
    putBack();
    return false;
  }
  if (!numberIsNewOrReprintWanted(mailerNumberToPrint(settings))) {
    putBack();
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

MailerEntry TF_Main::readMailerEntry() const {
  MailerEntry entry;
  const QLabel* const sender[] = {lblYourAddress1, lblYourAddress2, lblYourAddress3,
                                  lblYourAddress4, lblYourAddress5};
  for (std::size_t i = 0; i < entry.senderLines.size(); ++i)
    entry.senderLines[i] = toAnsi(sender[i]->text());

  LoggedMailer& to = entry.recipient;
  const RecipientControls recipient = recipientControls();
  for (int i = 0; i < kRecipientLines; ++i) to.names[i] = toAnsi(displayedLine(*recipient.memo, i));
  to.city = toAnsi(recipient.city->text().trimmed());
  to.state = toAnsi(recipient.state->text().trimmed());
  to.zip = CleanZip(toAnsi(recipient.zip->maskedText()));
  to.postage = toAnsi(editPostage->text());
  to.certified = toAnsi(editCertFee->text());
  to.restricted = toAnsi(editRestricted->text());
  to.returnReceipt = toAnsi(editReturn->text());
  to.total = toAnsi(editTotal->text());
  to.comments = toAnsi(editComment->text());
  to.re = toAnsi(editRe->text());
  entry.restrictedDelivery = cbRestricted->isChecked();
  return entry;
}

void TF_Main::PrintOneMailer() {
  // The log table is opened and closed inside LogPrintedMailer, on every
  // path; nothing else here holds it open.
  BusyCursor busy;
  const MailerEntry entry = readMailerEntry();
  const PrintRequest request = buildPrintRequest(entry, Settings());
  const std::string printed = m_printMailer(request, Settings().PrintBarCode, m_printFont);
  ShowPrintedState();
  writeNumberingState();
  LogPrintedMailer(*MailingLog, entry.recipient, GroupMailerNumber(printed));
}

void TF_Main::writeNumberingState() {
  const std::string path = settingsFilePath();
  if (writeSettingsFile(Settings(), path) || m_settingsWriteFailureShown) return;
  m_settingsWriteFailureShown = true;
  showSettingsWriteFailure(path);
}

}  // namespace kestrel
