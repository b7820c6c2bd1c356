#pragma once

#include <array>
#include <string>

#include "core/Settings.h"
#include "log/MailingLog.h"
#include "print/PrintRequest.h"

namespace kestrel {

// One mailer as the main window shows it, read once for printing and
// logging. Windows-1252 text.
struct MailerEntry {
  // The five sender labels exactly as shown.
  std::array<std::string, 5> senderLines;
  // The recipient lines as displayed (before the city line moves in), the
  // city, state and ZIP, the fee texts as shown, the comment and the RE text.
  LoggedMailer recipient;
  bool restrictedDelivery = false;
};

// The 28 slots of the form printer for this mailer with the numbering state,
// alignment and extra-label choice of `settings`. The city line ("city state
// ZIP", nothing trimmed) takes the place of the first recipient line that is
// blank after trimming, and stands as the fifth line only when all four are
// filled.
PrintRequest buildPrintRequest(const MailerEntry& entry, const SettingsRecord& settings);

// The article number the form printer prints from the request of `settings`:
// the T number of the customer ID (without its "-") and serial with bar
// codes, else the stock number as stored.
std::string mailerNumberToPrint(const SettingsRecord& settings);

}  // namespace kestrel
