#pragma once

#include <QFontMetricsF>
#include <vector>

#include "report/ReportSurface.h"

namespace kestrel {

namespace pdf {
class PdfDocument;
}  // namespace pdf

// A report page written into a PDF document: texts as glyphs of embedded
// font subsets, placed as QPainter places them (shaped by `texts`, the
// report's own), lines and boxes as thin strokes. The page must be open;
// its units are the page's tenths of a point.
class PdfReportSurface : public ReportSurface {
 public:
  PdfReportSurface(pdf::PdfDocument& document, ShapedTexts& texts);

  void drawText(const QFont& font, const QRectF& place, Qt::Alignment alignment,
                const QString& text) override;
  void drawText(const QFont& font, const QPointF& origin, const QString& text) override;
  void drawGlyphs(const ShapedTexts::Glyphs& glyphs) override;
  void drawLine(const QPointF& from, const QPointF& to) override;
  void drawRect(const QRectF& rect) override;

 private:
  const QFontMetricsF& metricsOf(const QFont& font);

  pdf::PdfDocument& m_document;
  ShapedTexts& m_texts;
  std::vector<std::pair<QFont, QFontMetricsF>> m_metrics;  // of the few fonts of a report
};

}  // namespace kestrel
