#include <algorithm>

#include "numbering/Barcode.h"
#include "numbering/BarcodeSizes.h"
#include "print/MailerLayout.h"
#include "print/MonoImage.h"

namespace kestrel {

namespace {
// Sender's ZIP Code. A ZIP+4 symbol is about 0.9 inch longer, so it starts
// further left on the sheet to end in the same place on the upright form.
constexpr double kSenderZipX = 5.3, kSenderZipPlus4X = 4.5, kSenderZipY = 3.55;
// Recipient's ZIP Code on the extra label.
constexpr double kRecipientZipX = 1.08, kRecipientZipPlus4X = 0.15, kRecipientZipY = 5.63;
// More encoded digits than a plain ZIP Code has means ZIP+4.
constexpr std::ptrdiff_t kZipDigits = 5;
constexpr std::ptrdiff_t kMaxPostnetDigits = 11;

std::ptrdiff_t encodedDigits(const std::string& zip) {
  return std::min(kMaxPostnetDigits, std::count_if(zip.begin(), zip.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; }));
}

// POSTNET images carry their 180-degree turn inside and keep their natural
// size; an empty ZIP Code still leaves its white area.
void drawPostnet(const LayoutPage& page, const std::string& zip, double x, double y) {
  TBarcodeBmp image;
  image.SetBarcodeType(TBarCodeType::bcPOSTNET);
  image.SetScale(postnetScale(page.mapping.pixelsPerInchX()));
  image.SetHeight(postnetHeight(page.mapping.pixelsPerInchY()));
  image.SetRotate(TbcRotate::bcRotate180);
  image.SetBarcodeText(zip);
  const MonoBitmap& bitmap = image.Bitmap();
  page.canvas.drawMonoImage(toQImage(bitmap), QRect(page.mapping.PageX(x), page.mapping.PageY(y),
                                                    bitmap.Width, bitmap.Height));
}
}  // namespace

void drawPostnetGroup(const LayoutPage& page, const PrintRequest& request) {
  const std::string& senderZip = request[slot::kSenderZip];
  drawPostnet(
      page, senderZip,
      senderZip.size() > static_cast<std::size_t>(kZipDigits) ? kSenderZipPlus4X : kSenderZipX,
      kSenderZipY);

  if (request[slot::kPrintExtraLabel] == "Yes" && request[slot::kExtraLabel] == "Addressed To") {
    const std::string& recipientZip = request[slot::kRecipientZip];
    drawPostnet(page, recipientZip,
                encodedDigits(recipientZip) > kZipDigits ? kRecipientZipPlus4X : kRecipientZipX,
                kRecipientZipY);
  }
}

}  // namespace kestrel
