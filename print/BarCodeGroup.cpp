#include <QImage>
#include <array>
#include <cstring>

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
void drawCode128(const LayoutPage& page, const QImage& image, double x, double y) {
  page.canvas.drawMonoImage(
      image, QRect(page.mapping.PageX(x), page.mapping.PageY(y),
                   code128PrintedWidth(page.mapping.pixelsPerInchX()), image.height()));
}

// One row of the number's Code 128 image, turned as asked. Every row of the
// image is the same (the symbol carries no text), and a row turned by 180
// degrees is the turned image's every row.
QImage code128Row(const std::string& number, TBarCodeType symbology, TbcRotate rotate, int scale) {
  TBarcodeBmp image;
  image.SetBarcodeType(symbology);
  image.SetInterpret(false);
  image.SetScale(scale);
  image.SetHeight(1);
  image.SetRotate(rotate);
  image.SetBarcodeText(number);
  return toQImage(image.Bitmap());
}

// The whole image, `height` copies of the row: the same pixels as the bar-code
// unit's image of that height, made without drawing and converting every
// row of a mass print's thousands of images.
QImage repeatedRow(const QImage& row, int height) {
  QImage image(row.width(), height, row.format());
  if (image.isNull() || row.isNull()) return QImage();
  image.setColorTable(row.colorTable());
  const auto bytes = static_cast<std::size_t>(row.bytesPerLine());
  for (int y = 0; y < height; ++y) std::memcpy(image.scanLine(y), row.constScanLine(0), bytes);
  return image;
}
}  // namespace

void drawBarCodeGroup(const LayoutPage& page, const std::string& tNumber,
                      const std::string& fNumber, TBarCodeType symbology) {
  const int scale = code128Scale(page.mapping.pixelsPerInchX());
  const int tall = code128TallHeight(page.mapping.pixelsPerInchY());
  const int low = code128ShortHeight(page.mapping.pixelsPerInchY());
  const QImage tRow = code128Row(tNumber, symbology, TbcRotate::bcRotate180, scale);
  const QImage fRow = code128Row(fNumber, symbology, TbcRotate::bcNoRotate, scale);
  drawCode128(page, repeatedRow(tRow, tall), kTallTX, kTallTY);
  drawCode128(page, repeatedRow(fRow, tall), kTallFX, kTallFY);
  // The short images are the same rows, fewer of them.
  drawCode128(page, repeatedRow(tRow, low), kShortTX, kShortTY);
  drawCode128(page, repeatedRow(fRow, low), kShortFX, kShortFY);
  const QString tText = fromAnsi(GroupMailerNumber(tNumber));
  const QString fText = fromAnsi(GroupMailerNumber(fNumber));
  for (const NumberText& item : kNumberTexts) {
    selectLayoutFont(page, item.font, item.angle);
    page.canvas.drawText(page.mapping.PageX(item.x), page.mapping.PageY(item.y),
                         item.number == Number::T ? tText : fText);
  }
}

}  // namespace kestrel
