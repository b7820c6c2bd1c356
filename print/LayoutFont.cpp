#include "print/LayoutFont.h"

#include "print/PrintFonts.h"
#include "print/SelectRotatedFont.h"

namespace kestrel {

namespace {
struct FontSpec {
  bool ocr;  // the OCR face, else the base font's face
  int points;
  bool bold;
};

FontSpec fontSpecOf(LayoutFont font) {
  switch (font) {
    case LayoutFont::Ocr11:
      return {true, 11, false};
    case LayoutFont::Ocr10:
      return {true, 10, false};
    case LayoutFont::Ocr8:
      return {true, 8, false};
    case LayoutFont::Base6:
      return {false, 6, false};
    case LayoutFont::Base8Bold:
      return {false, 8, true};
  }
  return {false, 8, false};
}
}  // namespace

void selectLayoutFont(const LayoutPage& page, LayoutFont font, int angle) {
  const FontSpec s = fontSpecOf(font);
  SelectRotatedFont(page.canvas, s.ocr ? QString::fromLatin1(kOcrFace) : page.baseFace, s.points,
                    angle, s.bold);
}

}  // namespace kestrel
