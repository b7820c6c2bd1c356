#include "app/MailerRequest.h"

#include <algorithm>

#include "core/Blanks.h"
#include "numbering/MailerNumber.h"

namespace kestrel {

namespace {

constexpr std::size_t kReSlotLength = 25;

}  // namespace

PrintRequest buildPrintRequest(const MailerEntry& entry, const SettingsRecord& settings) {
  PrintRequest request{};
  for (int i = 0; i < slot::kLinesPerBlock; ++i)
    request[slot::kSenderLine1 + i] = entry.senderLines[i];
  request[slot::kSenderZip] = settings.Zip;

  const LoggedMailer& to = entry.recipient;
  std::array<std::string, slot::kLinesPerBlock> lines = {to.names[0], to.names[1], to.names[2],
                                                         to.names[3]};
  lines[4] = to.city + ' ' + to.state + ' ' + to.zip;
  const auto firstBlank = std::find_if(lines.begin(), lines.begin() + 4,
                                       [](const std::string& line) { return isBlankText(line); });
  if (firstBlank != lines.begin() + 4) {
    *firstBlank = lines[4];
    lines[4].clear();
  }
  for (int i = 0; i < slot::kLinesPerBlock; ++i) request[slot::kRecipientLine1 + i] = lines[i];
  request[slot::kRecipientZip] = to.zip;
  request[slot::kRe] = to.re.substr(0, kReSlotLength);
  request[slot::kComment] = to.comments;
  request[slot::kRestricted] = entry.restrictedDelivery ? "Y" : "N";

  if (settings.PrintBarCode) {
    request[slot::kNumberSource] = withoutHyphens(settings.CustID);
    request[slot::kSerial] = settings.SerialNum;
  } else {
    request[slot::kNumberSource] = settings.MailerNum;
  }

  // Return receipt comes before restricted delivery here, unlike on screen.
  request[slot::kPostage] = to.postage;
  request[slot::kCertifiedFee] = to.certified;
  request[slot::kReturnReceiptFee] = to.returnReceipt;
  request[slot::kRestrictedFee] = to.restricted;
  request[slot::kTotal] = to.total;

  request[slot::kLeftRight] = std::to_string(settings.LeftRight);
  request[slot::kTopBottom] = std::to_string(settings.TopBottom);
  request[slot::kPrintExtraLabel] = settings.PrintExtraLabel;
  request[slot::kExtraLabel] = settings.ExtraLabel;
  request[slot::kReserved1] = "-1";
  request[slot::kReserved2] = "-1";
  return request;
}

std::string mailerNumberToPrint(const SettingsRecord& settings) {
  if (!settings.PrintBarCode) return settings.MailerNum;
  return ComposeMailerNumber(withoutHyphens(settings.CustID), settings.SerialNum, "T");
}

}  // namespace kestrel
