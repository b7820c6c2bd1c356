#pragma once

#include <QImage>
#include <QRect>
#include <string>

namespace kestrel::test {

// One Code 128 symbol read back from a page image by zxing-cpp.
struct Decoded {
  std::string text;       // "<not decoded>" when nothing was read
  QRect where;            // page pixels
  std::string symbology;  // "]C0" for plain Code 128, "]C1" for GS1-128
};

// Decodes the one Code 128 symbol inside `area` of the page (zxing-cpp 1.4
// must see one symbol at a time) and returns its text and where it lies.
Decoded decodeIn(const QImage& page, const QRect& area);

}  // namespace kestrel::test
