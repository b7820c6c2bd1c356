#include "mailer/Mailer.h"

#include <algorithm>

#include "core/Blanks.h"
#include "numbering/MailerNumber.h"

namespace kestrel {

namespace {

constexpr std::size_t kReSlotLength = 25;

}  // namespace

std::array<std::string, slot::kLinesPerBlock> addressBlock(
    const std::array<std::string, kRecipientLines>& lines, const std::string& cityLine) {
  std::array<std::string, slot::kLinesPerBlock> block;
  std::copy(lines.begin(), lines.end(), block.begin());
  // With no blank line among the named ones, the search ends at the fifth.
  const auto named = block.begin() + kRecipientLines;
  *std::find_if(block.begin(), named, [](const std::string& line) { return isBlankText(line); }) =
      cityLine;
  return block;
}

std::string senderCityLine(const SettingsRecord& settings) {
  return trimBlanks(settings.City + ' ' + settings.State + ' ' + settings.Zip);
}

std::array<std::string, slot::kLinesPerBlock> senderBlock(const SettingsRecord& settings) {
  return addressBlock({settings.Line1, settings.Line2, settings.Line3, settings.Line4},
                      senderCityLine(settings));
}

PrintRequest buildPrintRequest(const Mailer& mailer, const SettingsRecord& settings) {
  PrintRequest request{};
  std::copy(mailer.senderLines.begin(), mailer.senderLines.end(),
            request.begin() + slot::kSenderLine1);
  const auto recipient =
      addressBlock(mailer.names, mailer.city + ' ' + mailer.state + ' ' + mailer.zip);
  std::copy(recipient.begin(), recipient.end(), request.begin() + slot::kRecipientLine1);
  request[slot::kSenderZip] = settings.Zip;
  request[slot::kRecipientZip] = mailer.zip;
  request[slot::kRe] = mailer.re.substr(0, kReSlotLength);
  request[slot::kComment] = mailer.comments;
  request[slot::kRestricted] = mailer.restrictedDelivery ? "Y" : "N";

  if (settings.PrintBarCode) {
    request[slot::kNumberSource] = withoutHyphens(settings.CustID);
    request[slot::kSerial] = settings.SerialNum;
  } else {
    request[slot::kNumberSource] = settings.MailerNum;
  }

  // Return receipt comes before restricted delivery here, unlike on screen.
  request[slot::kPostage] = mailer.postage;
  request[slot::kCertifiedFee] = mailer.certified;
  request[slot::kReturnReceiptFee] = mailer.returnReceipt;
  request[slot::kRestrictedFee] = mailer.restricted;
  request[slot::kTotal] = mailer.total;

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
