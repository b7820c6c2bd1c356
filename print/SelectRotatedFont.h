#pragma once

#include <QString>

#include "print/PageCanvas.h"

namespace kestrel {

// The em height in device pixels of a font of `points` at `pixelsPerInch`:
// points / 72 inch, rounded to the nearest pixel (halves away from zero).
int fontPixelHeight(double points, int pixelsPerInch);

// Makes the page's current font the face at the size in points (an em height
// at the device's vertical resolution), turned by `angle` degrees
// counter-clockwise, weight bold or normal, never italic, underlined or struck
// out. Requires: a job is open on the canvas.
void SelectRotatedFont(PageCanvas& canvas, const QString& face, int points, int angle, bool bold);

}  // namespace kestrel
