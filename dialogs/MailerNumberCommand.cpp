#include "dialogs/MailerNumberCommand.h"

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "dialogs/U_Mailer.h"
#include "mailer/NumberingTransaction.h"
#include "numbering/MailerNumber.h"

namespace kestrel {
namespace {

// The numbering state as the command puts it back on cancel: the serial and
// customer ID without their "-", the serial cut to seven characters.
NumberingState tidied(NumberingState state) {
  state.SerialNum = withoutHyphens(state.SerialNum).substr(0, kSerialLength);
  state.CustID = withoutHyphens(state.CustID);
  return state;
}

}  // namespace

bool MailerNumber1Click(SettingsRecord& settings, QWidget* parent) {
  const bool showBefore = settings.ShowMailerDialog;
  NumberingTransaction numbering(settings, settingsFilePath());

  if (!openMailerDialog(settings, parent, false)) {
    numbering.putBack(tidied(numbering.remembered()));
    return false;
  }
  // The dialog has written its fields. Should the step back fail, the
  // command stops with the numbering state it found, not a half-applied one.
  try {
    StepBackMailerNumber(settings);
  } catch (...) {
    settings.Increment = numbering.remembered().Increment;
    settings.ShowMailerDialog = showBefore;
    numbering.putBack();
    throw;
  }
  numbering.keep();
  return true;
}

}  // namespace kestrel
