#pragma once

#include "report/ReportSurface.h"

class QPainter;

namespace kestrel {

// A report page on a QPainter whose origin is the sheet's top-left corner,
// at the device's resolution. The painter's state is put back when the
// surface goes.
class PainterReportSurface : public ReportSurface {
 public:
  PainterReportSurface(QPainter& painter, double dotsPerInchX, double dotsPerInchY);
  ~PainterReportSurface() override;
  PainterReportSurface(const PainterReportSurface&) = delete;
  PainterReportSurface& operator=(const PainterReportSurface&) = delete;

  void drawText(const QFont& font, const QRectF& place, Qt::Alignment alignment,
                const QString& text) override;
  void drawText(const QFont& font, const QPointF& origin, const QString& text) override;
  void drawGlyphs(const ShapedTexts::Glyphs& glyphs) override;
  void drawLine(const QPointF& from, const QPointF& to) override;
  void drawRect(const QRectF& rect) override;

 private:
  void useFont(const QFont& font);
  QPainter& m_painter;
};

}  // namespace kestrel
