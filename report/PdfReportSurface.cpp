#include "report/PdfReportSurface.h"

#include "pdf/PdfDocument.h"
#include "print/PdfText.h"

namespace kestrel {

PdfReportSurface::PdfReportSurface(pdf::PdfDocument& document, ShapedTexts& texts)
    : m_document(document), m_texts(texts) {}

const QFontMetricsF& PdfReportSurface::metricsOf(const QFont& font) {
  for (const auto& [kept, metrics] : m_metrics)
    if (kept == font) return metrics;
  m_metrics.emplace_back(font, QFontMetricsF(font));
  return m_metrics.back().second;
}

void PdfReportSurface::drawText(const QFont& font, const QRectF& place, Qt::Alignment alignment,
                                const QString& text) {
  const ShapedTexts::Text& shaped = m_texts.shaped(font, text);
  const qreal x = (alignment & Qt::AlignRight) ? place.right() - shaped.width : place.left();
  drawText(font, QPointF(x, centredBaseline(metricsOf(font), place)), text);
}

void PdfReportSurface::drawText(const QFont& font, const QPointF& origin, const QString& text) {
  const ShapedTexts::Text* shaped = &m_texts.shaped(font, text);
  ShapedTexts::Text line;
  if (!shaped->drawnWhole.isEmpty()) {
    line = ShapedTexts::shapedLine(font, text);
    shaped = &line;
  }
  writeShapedText(m_document, pdf::Matrix{1, 0, 0, 1, origin.x(), origin.y()}, 0, *shaped);
}

void PdfReportSurface::drawGlyphs(const ShapedTexts::Glyphs& glyphs) {
  writeShapedGlyphs(m_document, pdf::Matrix{}, 0, glyphs);
}

void PdfReportSurface::drawLine(const QPointF& from, const QPointF& to) {
  const pdf::PathPiece line[] = {{pdf::PathPiece::Kind::Move, {from.x()}, {from.y()}},
                                 {pdf::PathPiece::Kind::Line, {to.x()}, {to.y()}}};
  m_document.strokePath(pdf::Matrix{}, line, 0);
}

void PdfReportSurface::drawRect(const QRectF& rect) {
  const pdf::PathPiece box[] = {{pdf::PathPiece::Kind::Move, {rect.left()}, {rect.top()}},
                                {pdf::PathPiece::Kind::Line, {rect.right()}, {rect.top()}},
                                {pdf::PathPiece::Kind::Line, {rect.right()}, {rect.bottom()}},
                                {pdf::PathPiece::Kind::Line, {rect.left()}, {rect.bottom()}},
                                {pdf::PathPiece::Kind::Close, {}, {}}};
  m_document.strokePath(pdf::Matrix{}, box, 0);
}

}  // namespace kestrel
