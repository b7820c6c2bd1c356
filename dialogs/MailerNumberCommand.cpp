#include "dialogs/MailerNumberCommand.h"

#include <algorithm>

#include "dialogs/U_Mailer.h"
#include "numbering/MailerNumber.h"
#include "core/Settings.h"

namespace kestrel {
namespace {

std::string withoutHyphens(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '-'), text.end());
  return text;
}

// The numbering state as the command remembers it before the advance.
struct RememberedNumber {
  std::string serial;
  std::string custId;
  std::string mailerNum;

  explicit RememberedNumber(const NumberingState& state)
      : serial(withoutHyphens(state.SerialNum).substr(0, kSerialLength)),
        custId(withoutHyphens(state.CustID)),
        mailerNum(state.MailerNum) {}

  void restore(NumberingState& state) const {
    state.SerialNum = serial;
    state.CustID = custId;
    state.MailerNum = mailerNum;
  }
};

}  // namespace

bool MailerNumber1Click(SettingsRecord& settings, QWidget* parent) {
  const NumberingState before = settings;
  const bool showBefore = settings.ShowMailerDialog;
  const RememberedNumber remembered(settings);
  AdvanceMailerNumber(settings);

  if (!openMailerDialog(settings, parent, false)) {
    remembered.restore(settings);
    return false;
  }
  // The dialog has written its fields. Should the step back fail, the
  // command stops with the numbering state it found, not a half-applied one.
  try {
    StepBackMailerNumber(settings);
  } catch (...) {
    static_cast<NumberingState&>(settings) = before;
    settings.ShowMailerDialog = showBefore;
    throw;
  }
  return true;
}

}  // namespace kestrel
