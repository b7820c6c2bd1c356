#include "print/PageMapping.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {
// Far beyond any sheet at any resolution; keeps absurd stored offsets from
// overflowing the device's coordinate arithmetic (the page clips anyway).
constexpr double kFarOffPage = 1 << 24;

int map(double inches, double offsetInches, int pixelsPerInch, int units) {
  const double pixels = static_cast<double>(PageMapping::kPixelsPerAlignmentUnit) * units +
                        std::trunc((inches - offsetInches) * pixelsPerInch);
  return static_cast<int>(std::clamp(pixels, -kFarOffPage, kFarOffPage));
}

double toInches(int pixels, int pixelsPerInch) {
  return pixelsPerInch > 0 ? static_cast<double>(pixels) / pixelsPerInch : 0.0;
}
}  // namespace

PageMapping::PageMapping(const PageGeometry& geometry, int leftRight, int topBottom)
    : m_geometry(geometry),
      m_leftRight(leftRight),
      m_topBottom(topBottom),
      m_offX(toInches(geometry.physicalOffsetX, geometry.pixelsPerInchX)),
      m_offY(toInches(geometry.physicalOffsetY, geometry.pixelsPerInchY)) {}

int PageMapping::PageX(double inches) const {
  return map(inches, m_offX, m_geometry.pixelsPerInchX, m_leftRight);
}

int PageMapping::PageY(double inches) const {
  return map(inches, m_offY, m_geometry.pixelsPerInchY, m_topBottom);
}

}  // namespace kestrel
