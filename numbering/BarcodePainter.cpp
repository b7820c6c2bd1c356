#include "numbering/BarcodePainter.h"

#include <string>

#include "numbering/BarcodeError.h"

namespace kestrel {

namespace {

// A white image `symbolModules` plus both quiet zones wide, after checking
// that its size stays within the limit.
MonoBitmap whiteImage(std::size_t symbolModules, int scale, int height) {
  const std::int64_t modules = static_cast<std::int64_t>(symbolModules) + 2 * kQuietZoneModules;
  const std::int64_t width = modules * scale;
  if (width > kMaxBitmapPixels || width * height > kMaxBitmapPixels) {
    throw BarcodeError("Bar code image too large: " + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels");
  }
  return MonoBitmap::white(static_cast<int>(width), height);
}

}  // namespace

MonoBitmap paintCode128(const std::vector<std::uint8_t>& modules, int scale, int height) {
  MonoBitmap image = whiteImage(modules.size(), scale, height);
  for (std::size_t i = 0; i < modules.size(); ++i) {
    if (modules[i] == 0) continue;
    const int x = (kQuietZoneModules + static_cast<int>(i)) * scale;
    image.fillRect(x, 0, scale, height);
  }
  return image;
}

MonoBitmap paintPostnet(const std::vector<bool>& bars, int scale, int height) {
  // The first bar stands right at the quiet zone; every later one follows a
  // module of space, so n bars take 2n - 1 modules.
  const std::size_t symbolModules = bars.empty() ? 0 : 2 * bars.size() - 1;
  MonoBitmap image = whiteImage(symbolModules, scale, height);
  const int halfTop = height / 2;
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const int x = (kQuietZoneModules + 2 * static_cast<int>(i)) * scale;
    const int top = bars[i] ? 0 : halfTop;
    image.fillRect(x, top, scale, height - top);
  }
  return image;
}

}  // namespace kestrel
