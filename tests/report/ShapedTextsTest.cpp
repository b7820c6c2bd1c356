// The report's shaped texts: a text kept for one font must never be drawn
// or measured for another, nor for another text, and the kept glyphs must
// land where QPainter::drawText puts them (Qt's own drawing is the oracle).
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "platform/AnsiText.h"
#include "report/GlyphBatch.h"
#include "report/PainterReportSurface.h"

namespace kestrel {
namespace {

QFont font(const char* family, int pixels, bool bold) {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

// Three fonts of one family differing only in weight or size, and another
// family; plain ASCII texts (put together from their pairs) with kerned
// pairs and possible ligatures, digits and signs alone, blanks at either
// end, Windows-1252 letters, soft hyphens (never printed), a tab, bytes the
// code page lacks and nothing at all.
const std::vector<QFont>& fonts() {
  static const std::vector<QFont> all{font("Arial", 75, false), font("Arial", 75, true),
                                      font("Arial", 115, true),
                                      font("Liberation Serif", 75, false)};
  return all;
}
const std::vector<std::string> kTexts{"Total",
                                      "AVAWAY Tor",
                                      "Recipient 12345",
                                      "   4.64",
                                      "trailing  ",
                                      "Caf\xE9 \x80 5 \xBD",
                                      "hyphen\xAD",
                                      "soft\xADhyphen",
                                      "tab\tstop",
                                      "\x81\x9D",
                                      "Page 12 of 1389",
                                      "Griffin office",
                                      "9214 7123 4567 8900 0004 25",
                                      "12/08/2026",
                                      "L'Tyr \"11\" W.A.V.",
                                      ""};

// Each text of each font drawn at its own place, scaled as a report page
// is for the preview; by the kept glyphs (one batch) or by drawText.
QImage drawn(bool kept, ShapedTexts& shapes) {
  QImage image(700, 40 * static_cast<int>(fonts().size() * kTexts.size()) / 4 + 40,
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterReportSurface surface(painter, 96, 96);
  GlyphBatch batch;
  double y = 100.3;
  for (const std::string& text : kTexts) {
    for (const QFont& f : fonts()) {
      const QPointF origin(37.7 + 11.1 * static_cast<double>(text.size()), y);
      if (kept)
        batch.add(shapes.shaped(f, text), origin);
      else
        surface.drawText(f, origin, fromAnsi(text));
      y += 75.9;
    }
  }
  batch.draw(surface);
  return image;
}

TEST(ShapedTextsTest, EachTextOfEachFontMeasuresAndDrawsAsDrawTextDoes) {
  ShapedTexts shapes;
  // Interleaved and twice over, so that a text found again under the wrong
  // font, or the wrong text under its font, shows as a wrong width.
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& text : kTexts) {
      for (const QFont& f : fonts()) {
        SCOPED_TRACE(text + " in " + f.key().toStdString());
        EXPECT_EQ(shapes.shaped(f, text).width, QFontMetricsF(f).horizontalAdvance(fromAnsi(text)));
      }
    }
  }
  EXPECT_TRUE(drawn(true, shapes) == drawn(false, shapes));

  // Texts past what one font keeps, and fonts past what is kept, are shaped
  // anew and still right.
  for (int i = 0; i < 20000; ++i) shapes.shaped(fonts()[0], "Recipient " + std::to_string(i));
  for (int size = 10; size < 30; ++size)
    shapes.shaped(font("Arial", size, false), std::string("Total"));
  for (const std::string& text : kTexts)
    EXPECT_EQ(shapes.shaped(fonts()[1], text).width,
              QFontMetricsF(fonts()[1]).horizontalAdvance(fromAnsi(text)));
  EXPECT_TRUE(drawn(true, shapes) == drawn(false, shapes));
}

}  // namespace
}  // namespace kestrel
