#pragma once

#include <array>
#include <string>

namespace kestrel {

// Everything the form printer needs to know about one mailer: exactly 28
// Windows-1252 texts. The caller fills every slot (an empty text where it has
// no value); the form printer only reads them.
using PrintRequest = std::array<std::string, 28>;

// Slot numbers. Lines run 1 to 5 from the named first slot.
namespace slot {
inline constexpr int kSenderLine1 = 0;     // sender block lines 1-5: slots 0-4
inline constexpr int kSenderZip = 5;       // five digits, or ZIP+4 with a dash
inline constexpr int kRecipientLine1 = 6;  // recipient block lines 1-5: slots 6-10
inline constexpr int kRecipientZip = 11;
inline constexpr int kRe = 12;  // first 25 characters of the Re field
inline constexpr int kComment = 13;
inline constexpr int kRestricted = 14;    // "Y" or "N"; the layout does not use it
inline constexpr int kNumberSource = 15;  // customer ID (bar codes) or MailerNum (none)
inline constexpr int kSerial = 16;        // SerialNum (bar codes) or empty
inline constexpr int kPostage = 17;       // fees as MoneyText, 17-20
inline constexpr int kCertifiedFee = 18;
inline constexpr int kReturnReceiptFee = 19;
inline constexpr int kRestrictedFee = 20;
inline constexpr int kTotal = 21;
inline constexpr int kLeftRight = 22;  // alignment offsets as decimal integers
inline constexpr int kTopBottom = 23;
inline constexpr int kPrintExtraLabel = 24;  // "Yes" or "No"
inline constexpr int kExtraLabel = 25;       // "Addressed To" or "Your Name and Address"
inline constexpr int kReserved1 = 26;        // always "-1"
inline constexpr int kReserved2 = 27;
inline constexpr int kLinesPerBlock = 5;
}  // namespace slot

}  // namespace kestrel
