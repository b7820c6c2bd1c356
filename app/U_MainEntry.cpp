// Recipient and fee entry in the main window: the fee fields with their total,
// restricted delivery, the default fees, Clear and Paste of the recipient, the
// four-line recipient memo, and the edited and printed looks of the fields.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "addresses/DataAwareEdit.h"
#include "addresses/DataAwareMemo.h"
#include "app/FormLook.h"
#include "app/RecipientPaste.h"
#include "app/U_Main.h"
#include "core/Money.h"
#include "core/Settings.h"
#include "mailer/FeeRules.h"
#include "mailer/Mailer.h"
#include "platform/AltLetterGuard.h"
#include "platform/AnsiText.h"
#include "platform/CommandRunner.h"
#include "platform/DisplayedLines.h"
#include "platform/MaskedEdit.h"
#include "platform/MemoEdit.h"
#include "platform/UserInteraction.h"

namespace kestrel {

namespace {

// Leaving a field is a move of the focus inside the window. Another window
// coming to the front (a message box or dialog among them) or a menu opening
// is not the user leaving the field.
bool leavesWithinWindow(const QFocusEvent& event) {
  switch (event.reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
      return false;
    default:
      return true;
  }
}

std::string trimmedText(const QLineEdit* field) {
  return toAnsi(field->text().trimmed());
}

}  // namespace

void TF_Main::connectEntryRules() {
  // In the fields of this window and of every dialog opened from it.
  new AltLetterGuard(this);

  for (QObject* left : {static_cast<QObject*>(editPostage), static_cast<QObject*>(editCertFee),
                        static_cast<QObject*>(editRestricted), static_cast<QObject*>(editReturn),
                        static_cast<QObject*>(cbRestricted), static_cast<QObject*>(memoAddress)})
    left->installEventFilter(this);

  // Every change of these texts, typed or made by the program, makes the
  // mailer one that is being edited again.
  for (QLineEdit* field : {editPostage, editCertFee, editRestricted, editReturn, editRe,
                           editComment, editCity, editState, static_cast<QLineEdit*>(editZip)})
    connect(field, &QLineEdit::textChanged, this, &TF_Main::editPostageChange);
  connect(memoAddress, &MemoEdit::linesChanged, this, &TF_Main::memoAddressChange);
  // Ticked by the user or by the program alike.
  connect(cbRestricted, &QCheckBox::toggled, this, &TF_Main::cbRestrictedClick);

  connect(btnPaste, &QPushButton::clicked, this, &TF_Main::btnPasteClick);
  connect(btnClear, &QPushButton::clicked, this, &TF_Main::btnClearClick);
  connect(SaveValues1, &QAction::triggered, this, &TF_Main::SaveValues1Click);
}

bool TF_Main::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && leavesWithinWindow(*static_cast<QFocusEvent*>(event))) {
    if (watched == editPostage)
      editPostageExit();
    else if (watched == editCertFee)
      editCertFeeExit();
    else if (watched == editRestricted)
      editRestrictedExit();
    else if (watched == editReturn)
      editReturnExit();
    else if (watched == cbRestricted)
      ShowEditedState();
    else if (watched == memoAddress)
      memoAddressExit();
    else if (watched == tzmemoAddress)
      tzmemoAddressExit();
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Fees ----

QString TF_Main::NormalizeFee(const QString& text) {
  // The field being normalised still holds its old text here; the total
  // counts every field as normalised, so it is already what the fields will
  // show once the caller has put the result in.
  const double total = feeTotal({toAnsi(editPostage->text()), toAnsi(editCertFee->text()),
                                 toAnsi(editRestricted->text()), toAnsi(editReturn->text())});
  editTotal->setText(fromAnsi(FormatMoney(total)));
  return fromAnsi(normalizedFeeText(toAnsi(text)));
}

void TF_Main::fillFeeFields() {
  const SettingsRecord& settings = Settings();
  editPostage->setText(NormalizeFee(fromAnsi(settings.Postage)));
  editCertFee->setText(NormalizeFee(fromAnsi(settings.CertFee)));
  editReturn->setText(NormalizeFee(fromAnsi(settings.Return)));
  // The fields were added up while they filled; once more with all of them.
  editPostageExit();
}

void TF_Main::leaveFeeField(QLineEdit* field) {
  field->setText(NormalizeFee(field->text()));
}

void TF_Main::editPostageExit() {
  leaveFeeField(editPostage);
}

void TF_Main::editCertFeeExit() {
  leaveFeeField(editCertFee);
}

void TF_Main::editRestrictedExit() {
  leaveFeeField(editRestricted);
}

void TF_Main::editReturnExit() {
  leaveFeeField(editReturn);
}

void TF_Main::editPostageChange() {
  ShowEditedState();
}

void TF_Main::cbRestrictedClick() {
  const bool ticked = cbRestricted->isChecked();
  lblRestricted->setEnabled(ticked);
  editRestricted->setEnabled(ticked);
  editRestricted->setText(ticked ? fromAnsi(Settings().Restricted) : QString());
  editRestrictedExit();
}

void TF_Main::SaveValues1Click() {
  SettingsRecord& settings = Settings();
  settings.Postage = trimmedText(editPostage);
  settings.CertFee = trimmedText(editCertFee);
  settings.Return = trimmedText(editReturn);
  // A restricted-delivery field that is blank (unticked, or never ticked)
  // keeps the stored default for the next time the box is ticked.
  if (std::string restricted = trimmedText(editRestricted); !restricted.empty())
    settings.Restricted = std::move(restricted);
}

// ---- Recipient ----

void TF_Main::btnClearClick() {
  memoAddress->clear();
  replaceDisplayedLine(*memoAddress, 0, QStringLiteral(" "));
  editCity->clear();
  editState->clear();
  editZip->clear();  // reads "     -    " again
}

void TF_Main::btnPasteClick() {
  runCommand([this] {
    btnClearClick();
    const QString clipboard = QGuiApplication::clipboard()->text();
    if (clipboard.isEmpty()) return;
    // Every text but an empty one yields a line: a bare CR or LF ends one too.
    const std::vector<std::string> lines = splitClipboardLines(toAnsi(clipboard));

    // In database mode Clear has acted on the hidden ordinary fields; the
    // record's fields take the pasted address over what they hold.
    const RecipientControls recipient = recipientControls();
    const CityLineParts parts = parseCityLine(lines.back());
    recipient.city->setText(fromAnsi(parts.city));
    recipient.state->setText(fromAnsi(parts.state));
    recipient.zip->setMaskedText(fromAnsi(parts.zip));

    // The lines before the city line are written over the memo's lines from
    // the top, each but the fourth with a line break; lines beyond the fourth
    // are dropped. After Clear the memo ends up holding the pasted lines, with
    // one empty line below when there are fewer than four.
    const std::size_t recipientLines =
        std::min<std::size_t>(lines.size() - 1, static_cast<std::size_t>(kRecipientLines));
    for (std::size_t i = 0; i < recipientLines; ++i) {
      QString line = fromAnsi(lines[i]);
      if (i + 1 < static_cast<std::size_t>(kRecipientLines)) line += QLatin1Char('\n');
      replaceDisplayedLine(*recipient.memo, static_cast<int>(i), line);
    }
  });
}

void TF_Main::memoAddressChange() {
  // Whatever reaches a fifth line, by Enter, by wrapping or by the program,
  // is already deleted with its text: the four-line rule is the memo's own.
  ShowEditedState();
}

bool TF_Main::recipientLinesHoldText(const QPlainTextEdit& memo) {
  const QList<DisplayedLine> lines = displayedLines(memo, kRecipientLines);
  return std::any_of(lines.begin(), lines.end(),
                     [](const DisplayedLine& line) { return !line.text.isEmpty(); });
}

void TF_Main::memoAddressExit() {
  // Each of the first four lines is written back in place with its own text:
  // no character changes, but every rewrite of a line that holds text counts
  // as a change of the memo. Only that effect is applied, so that the cursor
  // and the undo history stay as the user left them.
  if (recipientLinesHoldText(*memoAddress)) memoAddressChange();
}

// ---- Visual state ----

QList<QWidget*> TF_Main::stateFields() const {
  return {editPostage, editCertFee,   editRestricted, editReturn,  editTotal,
          editRe,      editComment,   memoAddress,    editCity,    editState,
          editZip,     tzmemoAddress, tzeditCity,     tzeditState, tzeditZip};
}

void TF_Main::paintStateFields(const QColor& colour) {
  for (QWidget* field : stateFields()) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    field->setPalette(palette);
  }
}

void TF_Main::ShowEditedState() {
  m_printed = false;
  paintStateFields(formLook::editedFieldColour());
  btnPrint->setEnabled(m_printCommandConnected);
}

void TF_Main::ShowPrintedState() {
  m_printed = true;
  paintStateFields(formLook::printedFieldColour());
  btnPrint->setEnabled(false);
}

void TF_Main::setPrintCommandConnected(bool connected) {
  m_printCommandConnected = connected;
  btnPrint->setEnabled(connected && !m_printed);
}

}  // namespace kestrel
