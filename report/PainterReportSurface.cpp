#include "report/PainterReportSurface.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPen>

namespace kestrel {

namespace {
// The page's units: tenths of a point.
constexpr double kUnitsPerInch = 720;
}  // namespace

PainterReportSurface::PainterReportSurface(QPainter& painter, double dotsPerInchX,
                                           double dotsPerInchY)
    : m_painter(painter) {
  m_painter.save();
  m_painter.scale(dotsPerInchX / kUnitsPerInch, dotsPerInchY / kUnitsPerInch);
  m_painter.setPen(QPen(Qt::black, 0));
  m_painter.setBrush(Qt::NoBrush);
  m_painter.setClipping(false);
}

PainterReportSurface::~PainterReportSurface() {
  m_painter.restore();
}

void PainterReportSurface::useFont(const QFont& font) {
  if (m_painter.font() != font) m_painter.setFont(font);
}

void PainterReportSurface::drawText(const QFont& font, const QRectF& place, Qt::Alignment alignment,
                                    const QString& text) {
  useFont(font);
  m_painter.drawText(place, static_cast<int>(alignment | Qt::AlignVCenter), text);
}

void PainterReportSurface::drawText(const QFont& font, const QPointF& origin, const QString& text) {
  useFont(font);
  m_painter.drawText(origin, text);
}

void PainterReportSurface::drawGlyphs(const ShapedTexts::Glyphs& glyphs) {
  QGlyphRun run;
  run.setRawFont(glyphs.font);
  run.setRawData(glyphs.indexes.data(), glyphs.positions.data(),
                 static_cast<int>(glyphs.indexes.size()));
  m_painter.drawGlyphRun(QPointF(0, 0), run);
}

void PainterReportSurface::drawLine(const QPointF& from, const QPointF& to) {
  m_painter.drawLine(from, to);
}

void PainterReportSurface::drawRect(const QRectF& rect) {
  m_painter.drawRect(rect);
}

}  // namespace kestrel
