#include "report/ReportPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include "platform/AnsiText.h"
#include "report/ReportDocument.h"

namespace kestrel {

namespace {

// The page is drawn in tenths of a point (1/720 inch), so that font sizes
// with one decimal become whole pixel sizes of the painter's scaled system.
constexpr double kUnitsPerPoint = 10;
constexpr double kUnitsPerInch = 720;

QFont reportFont(const ReportDocument& document, double points, bool bold) {
  QFont font(QString::fromStdString(document.report().fontFace));
  font.setPixelSize(static_cast<int>(points * kUnitsPerPoint + 0.5));
  font.setBold(bold);
  // Unhinted outlines scale evenly to every device's resolution.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QRectF cell(const ReportLayout& layout, const ReportColumn& column, double top, double height) {
  return QRectF((layout.marginLeft + column.left) * kUnitsPerInch, top,
                column.width * kUnitsPerInch, height);
}

// Text in a cell, vertically centred, cut at the cell's width. Drawn at a
// point rather than into a rectangle (no text layout) and cut rather than
// clipped (no clip path in every PDF cell): a long report has a million
// cells.
// A total is never cut: a wrong figure would pass for the right one; it
// grows to the left of its column instead.
void drawCell(QPainter& painter, const QFontMetricsF& metrics, const QRectF& place, QString text,
              bool right, bool cut = true) {
  qreal width = metrics.horizontalAdvance(text);
  while (cut && width > place.width() && !text.isEmpty()) {
    text.chop(1);
    width = metrics.horizontalAdvance(text);
  }
  const qreal x = right ? place.right() - width : place.left();
  const qreal baseline =
      place.top() + (place.height() - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
  painter.drawText(QPointF(x, baseline), text);
}

}  // namespace

void drawReportPage(QPainter& painter, ReportDocument& document, int page, double dotsPerInchX,
                    double dotsPerInchY) {
  const ReportLayout& layout = document.layout();
  const ReportDefinition& report = document.report();
  const double line = document.lineHeight() * kUnitsPerPoint;
  const double left = layout.marginLeft * kUnitsPerInch;
  const double right = (layout.pageWidth - layout.marginRight) * kUnitsPerInch;
  const QFont body = reportFont(document, report.fontSize, false);
  const QFont bold = reportFont(document, report.fontSize, true);
  const QFontMetricsF bodyMetrics(body);
  const QFontMetricsF boldMetrics(bold);

  // Callers read the page first, showing the status window as they do; a
  // page not read yet is read here without one.
  document.readThrough(page);

  painter.save();
  painter.scale(dotsPerInchX / kUnitsPerInch, dotsPerInchY / kUnitsPerInch);
  painter.setPen(QPen(Qt::black, 0));
  painter.setClipping(false);

  // Title, and "Page N of M" at the right margin.
  double y = layout.marginTop * kUnitsPerInch;
  const double title = document.titleHeight() * kUnitsPerPoint;
  painter.setFont(reportFont(document, report.fontSize + 4, true));
  painter.drawText(QRectF(left, y, right - left, title), Qt::AlignLeft | Qt::AlignVCenter,
                   fromAnsi(report.title));
  painter.setFont(body);
  painter.drawText(QRectF(left, y, right - left, title), Qt::AlignRight | Qt::AlignVCenter,
                   fromAnsi(report.pageLabel) +
                       QStringLiteral(" %1 of %2").arg(page + 1).arg(document.pageCount()));
  y += title;
  for (std::size_t p = 0; p < report.parameters.size(); ++p) {
    painter.drawText(QRectF(left, y, right - left, line), Qt::AlignLeft | Qt::AlignVCenter,
                     fromAnsi(document.parameterText(p)));
    y += line;
  }
  y += line / 2;

  // Column headings, one line per row of the record block.
  painter.setFont(bold);
  for (const ReportRow& row : report.rows) {
    for (const ReportColumn& column : row.columns)
      drawCell(painter, boldMetrics, cell(layout, column, y, line), fromAnsi(column.heading),
               column.alignRight);
    y += line;
  }
  y += 1 * kUnitsPerPoint;
  painter.drawLine(QPointF(left, y), QPointF(right, y));
  y += 3 * kUnitsPerPoint;

  // The records.
  painter.setFont(body);
  const double block = document.blockHeight() * kUnitsPerPoint;
  const double recordsTop = y;
  for (const std::vector<std::string>& texts : document.pageRecords(page)) {
    double rowTop = y;
    std::size_t index = 0;
    for (const ReportRow& row : report.rows) {
      for (const ReportColumn& column : row.columns) {
        drawCell(painter, bodyMetrics, cell(layout, column, rowTop, line), fromAnsi(texts[index++]),
                 column.alignRight);
      }
      rowTop += line;
    }
    y += block;
  }

  // A sheet keeps its fixed lines; the unused ones of the last sheet are
  // struck through with one diagonal, so that nothing can be added to the
  // sheet once it is handed over.
  if (report.sheetLines > 0) {
    const double end = recordsTop + report.sheetLines * block;
    if (document.isLastPage(page) && y < end)
      painter.drawLine(QPointF(left, y), QPointF(right, end));
    y = end;
  }

  // Totals and the record count after the last record.
  if (document.isLastPage(page)) {
    y += 1 * kUnitsPerPoint;
    painter.drawLine(QPointF(left, y), QPointF(right, y));
    y += 3 * kUnitsPerPoint;
    painter.setFont(bold);
    for (std::size_t r = 0; r < report.rows.size(); ++r) {
      bool summed = false;
      for (std::size_t c = 0; c < report.rows[r].columns.size(); ++c) {
        const ReportColumn& column = report.rows[r].columns[c];
        if (!column.sum) continue;
        summed = true;
        drawCell(painter, boldMetrics, cell(layout, column, y, line),
                 QString::fromStdString(document.totalText(r, c)), column.alignRight, false);
      }
      if (summed) y += line;
    }
    painter.drawText(QRectF(left, y, right - left, line), Qt::AlignLeft | Qt::AlignVCenter,
                     fromAnsi(report.countCaption) + QString::number(document.recordCount()));
    y += line;
  }

  // The foot: each footer line has a second line of room under it, and the
  // boxes and rules lie where the layout puts them, for what the receiving
  // side writes, signs or stamps by hand.
  if (!report.footers.empty() || !report.footShapes.empty()) {
    painter.setFont(body);
    y += 1 * kUnitsPerPoint;
    painter.drawLine(QPointF(left, y), QPointF(right, y));
    y += 3 * kUnitsPerPoint;
    const double footTop = y;
    const QString pieces = QString::number(document.pageRecordCount(page));
    for (const std::string& footer : report.footers) {
      painter.drawText(QRectF(left, y, right - left, line), Qt::AlignLeft | Qt::AlignVCenter,
                       fromAnsi(footer).replace(QStringLiteral("%n"), pieces));
      y += 2 * line;
    }
    painter.setBrush(Qt::NoBrush);
    for (const ReportShape& shape : report.footShapes) {
      const QRectF place(left + shape.left * kUnitsPerInch, footTop + shape.top * kUnitsPerInch,
                         shape.width * kUnitsPerInch, shape.height * kUnitsPerInch);
      if (shape.kind == ReportShape::Kind::Rule) {
        painter.drawLine(place.topLeft(), place.topRight());
        continue;
      }
      painter.drawRect(place);
      // The caption keeps two points off the box's lines.
      const double inset = 2 * kUnitsPerPoint;
      drawCell(
          painter, bodyMetrics,
          QRectF(place.left() + inset, place.top() + inset / 2, place.width() - 2 * inset, line),
          fromAnsi(shape.caption), false);
    }
  }
  painter.restore();
}

}  // namespace kestrel
