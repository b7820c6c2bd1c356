#include "dialogs/MailerNumberCommand.h"

#include <algorithm>

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "core/SharedNumbering.h"
#include "dialogs/U_Mailer.h"
#include "numbering/MailerNumber.h"

namespace kestrel {
namespace {

// The numbering state as the command puts it back on cancel: the serial and
// customer ID without their "-", the serial cut to seven characters.
NumberingState remembered(NumberingState state) {
  state.SerialNum = withoutHyphens(state.SerialNum).substr(0, kSerialLength);
  state.CustID = withoutHyphens(state.CustID);
  return state;
}

}  // namespace

bool MailerNumber1Click(SettingsRecord& settings, QWidget* parent) {
  const std::string path = settingsFilePath();
  const bool showBefore = settings.ShowMailerDialog;
  const NumberReservation reserved = reserveNextNumber(settings, path);

  if (!openMailerDialog(settings, parent, false)) {
    NumberReservation cancelled = reserved;
    cancelled.before = remembered(reserved.before);
    giveBackNumber(settings, cancelled, path);
    return false;
  }
  // The dialog has written its fields. Should the step back fail, the
  // command stops with the numbering state it found, not a half-applied one.
  try {
    StepBackMailerNumber(settings);
  } catch (...) {
    settings.Increment = reserved.before.Increment;
    settings.ShowMailerDialog = showBefore;
    giveBackNumber(settings, reserved, path);
    throw;
  }
  storeNumbering(settings, path);
  return true;
}

}  // namespace kestrel
