#include "numbering/MonoBitmap.h"

#include <algorithm>
#include <cstddef>

namespace kestrel {

namespace {

std::size_t index(const MonoBitmap& image, int x, int y) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(image.Width) +
         static_cast<std::size_t>(x);
}

}  // namespace

MonoBitmap MonoBitmap::white(int width, int height) {
  MonoBitmap image;
  image.Width = width;
  image.Height = height;
  image.Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  return image;
}

bool MonoBitmap::black(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return false;
  return Pixels[index(*this, x, y)] != 0;
}

void MonoBitmap::setBlack(int x, int y) {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  Pixels[index(*this, x, y)] = 1;
}

void MonoBitmap::fillRect(int x, int y, int width, int height) {
  const int left = std::max(x, 0);
  const int right = std::min(x + width, Width);
  const int top = std::max(y, 0);
  const int bottom = std::min(y + height, Height);
  for (int row = top; row < bottom; ++row) {
    for (int col = left; col < right; ++col) Pixels[index(*this, col, row)] = 1;
  }
}

MonoBitmap rotated(MonoBitmap image, TbcRotate rotate) {
  const int w = image.Width;
  const int h = image.Height;
  if (rotate == TbcRotate::bcNoRotate) return image;
  if (rotate == TbcRotate::bcRotate180) {
    // Pixel (i, j) comes from (w - 1 - i, h - 1 - j): in row-major order that
    // is the whole pixel sequence reversed.
    std::reverse(image.Pixels.begin(), image.Pixels.end());
    return image;
  }
  MonoBitmap turned = MonoBitmap::white(h, w);
  for (int y = 0; y < turned.Height; ++y) {
    for (int x = 0; x < turned.Width; ++x) {
      bool source = false;
      switch (rotate) {
        case TbcRotate::bcRotate90:  // clockwise: the old left column is the new top row
          source = image.black(y, h - 1 - x);
          break;
        case TbcRotate::bcRotate270:
          source = image.black(w - 1 - y, x);
          break;
        case TbcRotate::bcNoRotate:
        case TbcRotate::bcRotate180:
          break;
      }
      if (source) turned.Pixels[index(turned, x, y)] = 1;
    }
  }
  return turned;
}

}  // namespace kestrel
