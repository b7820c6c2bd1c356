#include "CodeReader.h"

#include <ZXing/ReadBarcode.h>

namespace kestrel::test {

Decoded decodeIn(const QImage& page, const QRect& area) {
  const QImage crop = page.copy(area).convertToFormat(QImage::Format_Grayscale8);
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::Code128);
  hints.setTryRotate(false);  // a 180-degree symbol reads backwards in the same row
  const ZXing::Result result = ZXing::ReadBarcode(
      ZXing::ImageView(crop.constBits(), crop.width(), crop.height(), ZXing::ImageFormat::Lum,
                       static_cast<int>(crop.bytesPerLine())),
      hints);
  if (!result.isValid()) return {"<not decoded>", {}};
  QRect where;
  const auto& corners = result.position();
  for (int i = 0; i < 4; ++i)
    where |= QRect(area.x() + corners[i].x, area.y() + corners[i].y, 1, 1);
  return {std::string(result.bytes().begin(), result.bytes().end()), where,
          result.symbologyIdentifier()};
}

}  // namespace kestrel::test
