#pragma once

#include "print/PageGeometry.h"

namespace kestrel {

// Turns layout positions, in inches from the top-left corner of the sheet as
// it lies in the printer, into device pixels, with the user's alignment
// offsets. One alignment unit is 3 device pixels whatever the resolution
// (1/100 inch at 300 dpi), the way the alignment has always behaved.
class PageMapping {
 public:
  static constexpr int kPixelsPerAlignmentUnit = 3;

  PageMapping(const PageGeometry& geometry, int leftRight, int topBottom);

  // 3 x LR + trunc((x - OffX) x LPX). The product is truncated toward zero in
  // double precision, so a decimal inch that falls a hair below a whole pixel
  // lands on the pixel below, exactly as the stock was aligned against.
  int PageX(double inches) const;
  int PageY(double inches) const;

  int pixelsPerInchX() const { return m_geometry.pixelsPerInchX; }
  int pixelsPerInchY() const { return m_geometry.pixelsPerInchY; }
  // Inches from the paper's edges to the printable area.
  double offsetX() const { return m_offX; }
  double offsetY() const { return m_offY; }

 private:
  PageGeometry m_geometry;
  int m_leftRight;
  int m_topBottom;
  double m_offX;
  double m_offY;
};

}  // namespace kestrel
