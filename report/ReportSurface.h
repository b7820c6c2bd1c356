#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include "print/ShapedTexts.h"

namespace kestrel {

// Where the baseline of one line of text in the font lies when the line is
// centred on the place's height, as a one-line layout centres it: its
// height is the ascent and the descent.
inline qreal centredBaseline(const QFontMetricsF& metrics, const QRectF& place) {
  return place.top() + (place.height() - metrics.ascent() - metrics.descent()) / 2 +
         metrics.ascent();
}

// What a report page is drawn on: a QPainter (the preview, page images) or
// a PDF document (printers and PDF files). Positions are tenths of a point
// from the sheet's top-left corner, y down; lines are the thinnest the
// device draws, in black.
class ReportSurface {
 public:
  virtual ~ReportSurface() = default;

  // One line of text at the left or the right of the place and centred on
  // its height, as QPainter::drawText(place, alignment | AlignVCenter)
  // draws it; nothing is clipped.
  virtual void drawText(const QFont& font, const QRectF& place, Qt::Alignment alignment,
                        const QString& text) = 0;
  // One line of text whose baseline starts at `origin`.
  virtual void drawText(const QFont& font, const QPointF& origin, const QString& text) = 0;
  // Glyphs of one font engine, their positions the baselines' origins on
  // the page.
  virtual void drawGlyphs(const ShapedTexts::Glyphs& glyphs) = 0;
  virtual void drawLine(const QPointF& from, const QPointF& to) = 0;
  // The rectangle's outline.
  virtual void drawRect(const QRectF& rect) = 0;
};

}  // namespace kestrel
