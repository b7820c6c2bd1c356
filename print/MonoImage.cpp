#include "print/MonoImage.h"

namespace kestrel {

QImage toQImage(const MonoBitmap& bitmap) {
  if (bitmap.Width <= 0 || bitmap.Height <= 0 ||
      bitmap.Pixels.size() < static_cast<std::size_t>(bitmap.Width) * bitmap.Height)
    return QImage();
  QImage image(bitmap.Width, bitmap.Height, QImage::Format_Mono);
  if (image.isNull()) return image;
  image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  image.fill(0);
  for (int y = 0; y < bitmap.Height; ++y) {
    uchar* line = image.scanLine(y);
    const std::uint8_t* pixels = bitmap.Pixels.data() + static_cast<std::size_t>(y) * bitmap.Width;
    for (int x = 0; x < bitmap.Width; ++x)
      if (pixels[x] != 0) line[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
  }
  return image;
}

}  // namespace kestrel
