#pragma once

#include <array>
#include <string>

#include "core/Settings.h"
#include "mailer/PrintRequest.h"

namespace kestrel {

// The name and street lines of a recipient: the recipient boxes of the
// window keep at most this many displayed lines, the log keeps them as
// sentname0 to sentname3, and the form prints them above the city line.
// The printed form has room for no more.
inline constexpr int kRecipientLines = 4;
static_assert(slot::kLinesPerBlock == kRecipientLines + 1,
              "an address block is its lines and a city line");

// One mailer as the main window shows it, read once for printing and
// logging. Windows-1252 text.
struct Mailer {
  // The five sender labels exactly as shown (senderBlock).
  std::array<std::string, slot::kLinesPerBlock> senderLines;
  // The recipient lines as displayed, not trimmed; the city line never goes
  // here (the form moves it into the first blank one, the log does not).
  std::array<std::string, kRecipientLines> names;
  std::string city;   // trimmed
  std::string state;  // trimmed
  std::string zip;    // after CleanZip
  // The fee texts as the fields show them (MoneyText or a single blank).
  std::string postage, certified, restricted, returnReceipt, total;
  std::string comments;
  std::string re;
  bool restrictedDelivery = false;
};

// The five lines of an address block of the form: the name and street
// lines, with the city line taking the place of the first of them that is
// blank, and standing as the fifth line only when all of them are filled.
// The sender block and the recipient block follow this one rule.
std::array<std::string, slot::kLinesPerBlock> addressBlock(
    const std::array<std::string, kRecipientLines>& lines, const std::string& cityLine);

// The sender's city line: city, state and ZIP Code joined by blanks, the
// whole trimmed.
std::string senderCityLine(const SettingsRecord& settings);

// The five sender lines of the main window and of the form, from the sender
// address in `settings` (addressBlock).
std::array<std::string, slot::kLinesPerBlock> senderBlock(const SettingsRecord& settings);

// The 28 slots of the form printer for this mailer with the numbering state,
// alignment and extra-label choice of `settings`. The recipient's city line
// ("city state ZIP", nothing trimmed) is placed by addressBlock.
PrintRequest buildPrintRequest(const Mailer& mailer, const SettingsRecord& settings);

// The article number the form printer prints from the request of `settings`:
// the T number of the customer ID (without its "-") and serial with bar
// codes, else the stock number as stored.
std::string mailerNumberToPrint(const SettingsRecord& settings);

}  // namespace kestrel
