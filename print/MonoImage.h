#pragma once

#include <QImage>

#include "numbering/MonoBitmap.h"

namespace kestrel {

// The bar-code unit's image as a one-bit Qt image, white 0 and black 1, ready
// to be stretched onto a page.
QImage toQImage(const MonoBitmap& bitmap);

}  // namespace kestrel
