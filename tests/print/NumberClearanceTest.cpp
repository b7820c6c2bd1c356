// Where the real glyphs of the mailer end: the human-readable numbers must
// stay clear of every other item and on the printable part of the sheet,
// even when every other slot holds the longest text it can.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <string>

#include "print/FormPrinter.h"
#include "print/PainterCanvas.h"
#include "print/PrintFonts.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

constexpr int kDpi = 600;
const QFont kBaseFont(QStringLiteral("Arial"), 8);

// Every slot at its longest: address lines and comment of 35 characters (the
// longest the main window's edits take), the RE text's 25, fees in the
// thousands. Wide letters, for the proportional receipt type.
PrintRequest longestRequest() {
  const std::string line(35, 'W');
  PrintRequest request;
  for (int i = 0; i < 5; ++i) {
    request[i] = line;
    request[6 + i] = line;
  }
  request[5] = "12345-6789";
  request[11] = "98765-4321";
  request[12] = std::string(25, 'W');
  request[13] = line;
  request[14] = "Y";
  request[15] = "123456789";
  request[16] = "9999999";
  for (int fee = 17; fee <= 21; ++fee) request[fee] = "9999.99";
  request[22] = "0";
  request[23] = "0";
  request[24] = "Yes";
  request[25] = "Addressed To";
  request[26] = request[27] = "-1";
  return request;
}

// The part of the sheet a drawn item covers, in pixels: a text from the top
// of its cell to its baseline (where capitals and digits are), turned as the
// text is turned; an image its rectangle.
QRect coverOf(const RecordingCanvas::Call& call) {
  if (call.kind == RecordingCanvas::Call::Kind::Image) return call.rect;
  const int width = PainterCanvas::advanceWidth(call.font, call.text);
  const int ascent = QFontMetrics(PainterCanvas::qtFont(call.font)).ascent();
  const QPoint at = call.at;
  switch (call.font.angle) {
    case 180:
      return QRect(at.x() - width, at.y() - ascent, width, ascent);
    case 270:
      return QRect(at.x() - ascent, at.y(), ascent, width);
    default:
      return QRect(at.x(), at.y(), width, ascent);
  }
}

TEST(NumberClearance, NumbersAtTheOcrPitchClearEveryItemAndStayOnThePrintablePage) {
  // Within the rounding of a whole-percent stretch.
  EXPECT_NEAR(PainterCanvas::advanceWidth(PageFont{kOcrFace, 1000, 0, false}, "0123456789"),
              10 * kOcrAdvancePerMille, 10)
      << "the OCR face advances at ten characters per inch at 12 points";

  RecordingCanvas canvas(PageGeometry{kDpi, kDpi, 0, 0});
  canvas.setMeasureWithFonts(true);
  const std::string tNumber = PrintMailer(canvas, longestRequest(), true, kBaseFont);
  const std::vector<RecordingCanvas::Call> drawn = canvas.drawings();
  // The bar-code group comes first: four images, then the eight numbers.
  ASSERT_GT(drawn.size(), 12u);
  const QString tText = drawn[4].text;
  ASSERT_EQ(tText.size(), 27);

  // On the sheet, and the numbers clear of a quarter-inch unprintable margin
  // at either side, where a printer would cut their ends.
  const QRect sheet(0, 0, kDpi * 17 / 2, kDpi * 11);
  for (std::size_t i = 0; i < 12; ++i) {
    const QRect cover = coverOf(drawn[i]);
    EXPECT_TRUE(sheet.contains(cover)) << "bar-code item " << i;
    if (i >= 4) {
      EXPECT_TRUE(cover.left() >= kDpi / 4 && cover.right() < sheet.width() - kDpi / 4)
          << "number text " << i - 3 << " runs from x " << cover.left() << " to " << cover.right();
    }
  }

  for (std::size_t number = 4; number < 12; ++number) {
    for (std::size_t other = 0; other < drawn.size(); ++other) {
      if (other == number) continue;
      EXPECT_FALSE(coverOf(drawn[number]).intersects(coverOf(drawn[other])))
          << "number text " << number - 3 << " meets item " << other << " \""
          << drawn[other].text.toStdString() << "\"";
    }
  }
}

}  // namespace
}  // namespace kestrel
