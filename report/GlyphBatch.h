#pragma once

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <vector>

#include "print/ShapedTexts.h"
#include "report/ReportSurface.h"

namespace kestrel {

// Shaped texts gathered at their places and drawn with one call for each
// font and line: a report page has hundreds of cells, and a PDF or printer
// engine pays a fixed price for every piece of text it is handed.
class GlyphBatch {
 public:
  // The text with the start of its baseline at `origin` (painter units).
  void add(const ShapedTexts::Text& text, QPointF origin);
  // Draws what was added and empties the batch.
  void draw(ReportSurface& surface);

 private:
  // Glyphs of one font engine drawn with one call; kept, emptied, for the
  // next page.
  struct Run {
    ShapedTexts::Glyphs glyphs;  // placed on the page
    QPointF last;                // the last glyph's place, in 1/64 steps
  };
  struct Whole {
    QFont font;
    QString text;
    QPointF origin;
  };
  std::vector<Run> m_runs;
  std::size_t m_used = 0;  // runs of m_runs in use, in drawing order
  std::vector<Whole> m_wholes;
};

}  // namespace kestrel
