#include <array>

#include "numbering/Barcode.h"
#include "numbering/BarcodeSizes.h"
#include "numbering/MailerNumber.h"
#include "platform/AnsiText.h"
#include "print/LayoutFont.h"
#include "print/MailerLayout.h"
#include "print/MonoImage.h"

namespace kestrel {

namespace {
enum class Number { T, F };

// The T number reads upright on the mailer and is turned inside its image;
// the F number sits on the part of the form that is read the other way round.
struct NumberText {
  Number number;
  LayoutFont font;
  int angle;
  double x, y;  // inches
};

// Human-readable numbers, in display form (groups of four digits).
constexpr std::array<NumberText, 8> kNumberTexts{{
    {Number::T, LayoutFont::Ocr11, 180, 3.08, 4.02},
    {Number::F, LayoutFont::Ocr11, 180, 7.2, 4.92},
    {Number::T, LayoutFont::Ocr11, 180, 4.9, 1.98},
    {Number::F, LayoutFont::Ocr11, 180, 4.9, 0.35},
    {Number::T, LayoutFont::Ocr10, 180, 4.55, 2.8},
    {Number::T, LayoutFont::Ocr10, 270, 7.91, 3.8},
    {Number::T, LayoutFont::Ocr8, 270, 8.1, 1.56},
    {Number::T, LayoutFont::Base6, 180, 1.47, 3.17},
}};

// Top-left corners of the Code 128 images, in inches: the tall pair first,
// then the short pair.
constexpr double kTallTX = 0.62, kTallTY = 4.1;
constexpr double kTallFX = 4.7, kTallFY = 5.0;
constexpr double kShortTX = 2.4, kShortTY = 2.06;
constexpr double kShortFX = 2.4, kShortFY = 0.4;

// Every Code 128 image is stretched to 2.5 inches whatever its module count,
// and keeps its own height.
void drawCode128(const LayoutPage& page, const TBarcodeBmp& image, double x, double y) {
  const MonoBitmap& bitmap = image.Bitmap();
  page.canvas.drawMonoImage(
      toQImage(bitmap), QRect(page.mapping.PageX(x), page.mapping.PageY(y),
                              code128PrintedWidth(page.mapping.pixelsPerInchX()), bitmap.Height));
}

void setUpCode128(TBarcodeBmp& image, const std::string& number, TBarCodeType symbology,
                  TbcRotate rotate, int scale, int height) {
  image.SetBarcodeType(symbology);
  image.SetInterpret(false);
  image.SetScale(scale);
  image.SetHeight(height);
  image.SetRotate(rotate);
  image.SetBarcodeText(number);
}
}  // namespace

void drawBarCodeGroup(const LayoutPage& page, const std::string& tNumber,
                      const std::string& fNumber, TBarCodeType symbology) {
  const int scale = code128Scale(page.mapping.pixelsPerInchX());
  TBarcodeBmp tImage;
  TBarcodeBmp fImage;
  setUpCode128(tImage, tNumber, symbology, TbcRotate::bcRotate180, scale,
               code128TallHeight(page.mapping.pixelsPerInchY()));
  setUpCode128(fImage, fNumber, symbology, TbcRotate::bcNoRotate, scale,
               code128TallHeight(page.mapping.pixelsPerInchY()));
  drawCode128(page, tImage, kTallTX, kTallTY);
  drawCode128(page, fImage, kTallFX, kTallFY);

  // The short images are the tall ones rebuilt with the smaller height.
  tImage.SetHeight(code128ShortHeight(page.mapping.pixelsPerInchY()));
  fImage.SetHeight(code128ShortHeight(page.mapping.pixelsPerInchY()));
  drawCode128(page, tImage, kShortTX, kShortTY);
  drawCode128(page, fImage, kShortFX, kShortFY);

  const QString tText = fromAnsi(GroupMailerNumber(tNumber));
  const QString fText = fromAnsi(GroupMailerNumber(fNumber));
  for (const NumberText& item : kNumberTexts) {
    selectLayoutFont(page, item.font, item.angle);
    page.canvas.drawText(page.mapping.PageX(item.x), page.mapping.PageY(item.y),
                         item.number == Number::T ? tText : fText);
  }
}

}  // namespace kestrel
