#pragma once

#include <cstdint>
#include <vector>

#include "numbering/BarcodeTypes.h"

namespace kestrel {

// A monochrome image: one byte per pixel holding one bit of information,
// black bars on white. Pixel (x, y) counts from the top-left corner.
struct MonoBitmap {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;  // row-major, Width * Height, 1 = black

  // A white image of the given size. Requires: width, height >= 0.
  static MonoBitmap white(int width, int height);

  // False (white) for a pixel outside the image.
  bool black(int x, int y) const;
  void setBlack(int x, int y);
  // Blackens the rectangle [x, x + width) x [y, y + height), clipped to the image.
  void fillRect(int x, int y, int width, int height);

  bool operator==(const MonoBitmap&) const = default;
};

// The image turned as `rotate` says (see TbcRotate).
MonoBitmap rotated(MonoBitmap image, TbcRotate rotate);

}  // namespace kestrel
