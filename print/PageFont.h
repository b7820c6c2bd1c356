#pragma once

#include <QString>

namespace kestrel {

// The page's current font as a printer knows it: a face, an em height in
// device pixels and a rotation. Sizes are given in pixels, never in points, so
// that every device draws the same glyph size at the same resolution.
struct PageFont {
  QString face;
  int pixelHeight = 0;  // em height (character height without internal leading)
  int angle = 0;        // degrees counter-clockwise: 0, 180 or 270 on the mailer
  bool bold = false;

  bool operator==(const PageFont&) const = default;
};

}  // namespace kestrel
