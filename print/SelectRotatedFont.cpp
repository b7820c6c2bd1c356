#include "print/SelectRotatedFont.h"

#include <cmath>

namespace kestrel {

int fontPixelHeight(double points, int pixelsPerInch) {
  return static_cast<int>(std::lround(points * pixelsPerInch / 72.0));
}

void SelectRotatedFont(PageCanvas& canvas, const QString& face, int points, int angle, bool bold) {
  canvas.setFont(
      PageFont{face, fontPixelHeight(points, canvas.geometry().pixelsPerInchY), angle, bold});
}

}  // namespace kestrel
