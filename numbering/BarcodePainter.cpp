#include "numbering/BarcodePainter.h"

#include <algorithm>
#include <string>

#include "numbering/BarcodeError.h"

namespace kestrel {

namespace {

// A white image `symbolModules` plus both quiet zones wide, after checking
// that its size stays within the limit.
MonoBitmap whiteImage(std::size_t symbolModules, int scale, int height) {
  if (scale < 1 || height < 1) {
    throw BarcodeError("Bar code module width and height must be at least 1 pixel");
  }
  const std::int64_t modules = static_cast<std::int64_t>(symbolModules) + 2 * kQuietZoneModules;
  const std::int64_t width = modules * scale;
  if (width > kMaxBitmapPixels || width * height > kMaxBitmapPixels) {
    throw BarcodeError("Bar code image too large: " + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels");
  }
  return MonoBitmap::white(static_cast<int>(width), height);
}

// Copies row `source` into the rows [first, last).
void copyRowDown(MonoBitmap& image, int source, int first, int last) {
  const auto width = static_cast<std::ptrdiff_t>(image.Width);
  const auto row = image.Pixels.begin() + source * width;
  for (int y = first; y < last; ++y) std::copy(row, row + width, image.Pixels.begin() + y * width);
}

}  // namespace

MonoBitmap paintCode128(const std::vector<std::uint8_t>& modules, int scale, int height) {
  MonoBitmap image = whiteImage(modules.size(), scale, height);
  // Every row is the same: paint the first, copy it down.
  for (std::size_t i = 0; i < modules.size(); ++i) {
    if (modules[i] == 0) continue;
    const int x = (kQuietZoneModules + static_cast<int>(i)) * scale;
    image.fillRect(x, 0, scale, 1);
  }
  copyRowDown(image, 0, 1, height);
  return image;
}

MonoBitmap paintPostnet(const std::vector<bool>& bars, int scale, int height) {
  // The first bar stands right at the quiet zone; every later one follows a
  // module of space, so n bars take 2n - 1 modules.
  const std::size_t symbolModules = bars.empty() ? 0 : 2 * bars.size() - 1;
  MonoBitmap image = whiteImage(symbolModules, scale, height);
  // Two kinds of row: above height / 2 only the full bars, from there on all.
  const int halfTop = height / 2;
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const int x = (kQuietZoneModules + 2 * static_cast<int>(i)) * scale;
    if (bars[i] && halfTop > 0) image.fillRect(x, 0, scale, 1);
    image.fillRect(x, halfTop, scale, 1);
  }
  if (halfTop > 0) copyRowDown(image, 0, 1, halfTop);
  copyRowDown(image, halfTop, halfTop + 1, height);
  return image;
}

}  // namespace kestrel
