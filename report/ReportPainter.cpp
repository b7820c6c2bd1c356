#include "report/ReportPainter.h"

#include <QFont>
#include <QFontMetricsF>

#include "platform/AnsiText.h"
#include "report/GlyphBatch.h"
#include "report/PainterReportSurface.h"
#include "report/ReportDocument.h"

namespace kestrel {

namespace {

// The page is drawn in tenths of a point (1/720 inch), so that font sizes
// with one decimal become whole pixel sizes of the painter's scaled system.
constexpr double kUnitsPerPoint = 10;
constexpr double kUnitsPerInch = 720;
// The rules under the headings, above the totals and over the foot: a point
// above the line and three under it.
constexpr double kAboveRule = 1 * kUnitsPerPoint;
constexpr double kUnderRule = 3 * kUnitsPerPoint;

QFont reportFont(const ReportDocument& document, double points, bool bold) {
  QFont font(QString::fromStdString(document.report().fontFace));
  font.setPixelSize(static_cast<int>(points * kUnitsPerPoint + 0.5));
  font.setBold(bold);
  // Unhinted outlines scale evenly to every device's resolution.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

// One font of the page with its metrics.
struct PageFont {
  explicit PageFont(QFont f) : font(std::move(f)), metrics(font) {}
  QFont font;
  QFontMetricsF metrics;
};

// What every band of one page draws with.
struct Page {
  Page(ReportSurface& s, ReportDocument& d, int n)
      : surface(s),
        document(d),
        layout(d.layout()),
        report(d.report()),
        number(n),
        line(d.lineHeight() * kUnitsPerPoint),
        left(layout.marginLeft * kUnitsPerInch),
        right((layout.pageWidth - layout.marginRight) * kUnitsPerInch),
        body(reportFont(d, report.fontSize, false)),
        bold(reportFont(d, report.fontSize, true)) {}

  ReportSurface& surface;
  ReportDocument& document;
  const ReportLayout& layout;
  const ReportDefinition& report;
  const int number;  // 0-based
  const double line;
  const double left;
  const double right;
  const PageFont body;
  const PageFont bold;
  // The cells' glyphs, drawn together at the end of each band.
  GlyphBatch cells;

  QRectF across(double top, double height) const { return QRectF(left, top, right - left, height); }
  QRectF cell(const ReportColumn& column, double top) const {
    return QRectF((layout.marginLeft + column.left) * kUnitsPerInch, top,
                  column.width * kUnitsPerInch, line);
  }
  // A rule across the page, with its room above and under; returns the
  // top of what follows.
  double rule(double y) {
    y += kAboveRule;
    surface.drawLine(QPointF(left, y), QPointF(right, y));
    return y + kUnderRule;
  }

  // Text (Windows-1252) in a cell, vertically centred, cut at the cell's
  // width. Each distinct text of a font is shaped once for the whole report
  // and its glyphs go into the band's drawing calls; nothing is clipped (no
  // clip path in every PDF cell: a long report has a million cells).
  // A total is never cut: a wrong figure would pass for the right one; it
  // grows to the left of its column instead.
  void drawCell(const PageFont& font, const QRectF& place, const std::string& text, bool alignRight,
                bool cut = true) {
    const ShapedTexts::Text& shaped = fitted(font, place, text, cut);
    cells.add(shaped, origin(font, place, shaped, alignRight));
  }

  // The same for a text that comes once a page (a box's caption): drawn as
  // text on its own, so that it is handed to the device with its
  // characters.
  void drawSingleText(const PageFont& font, const QRectF& place, const std::string& text) {
    std::string shown;
    const ShapedTexts::Text& shaped = fitted(font, place, text, true, &shown);
    surface.drawText(font.font, origin(font, place, shaped, false), fromAnsi(shown));
  }

 private:
  // The text as shaped, cut from the end until it fits the place's width
  // when `cut`; `shown` (when given) is set to what is left of it.
  const ShapedTexts::Text& fitted(const PageFont& font, const QRectF& place,
                                  const std::string& text, bool cut, std::string* shown = nullptr) {
    ShapedTexts& shapes = document.shapedTexts();
    const ShapedTexts::Text* shaped = &shapes.shaped(font.font, text);
    if (shown) *shown = text;
    if (!cut || shaped->width <= place.width()) return *shaped;
    std::string kept = text;
    while (shaped->width > place.width() && !kept.empty()) {
      kept.pop_back();
      shaped = &shapes.shaped(font.font, kept);
    }
    if (shown) *shown = kept;
    return *shaped;
  }

  // Where a shaped text starts its baseline in a cell.
  static QPointF origin(const PageFont& font, const QRectF& place, const ShapedTexts::Text& shaped,
                        bool alignRight) {
    const qreal x = alignRight ? place.right() - shaped.width : place.left();
    return QPointF(x, centredBaseline(font.metrics, place));
  }
};

// The title, and "Page N of M" at the right margin.
double drawTitle(Page& page, double y) {
  const double height = page.document.titleHeight() * kUnitsPerPoint;
  page.surface.drawText(reportFont(page.document, page.report.fontSize + 4, true),
                        page.across(y, height), Qt::AlignLeft, fromAnsi(page.report.title));
  page.surface.drawText(
      page.body.font, page.across(y, height), Qt::AlignRight,
      fromAnsi(page.report.pageLabel) +
          QStringLiteral(" %1 of %2").arg(page.number + 1).arg(page.document.pageCount()));
  return y + height;
}

// Each parameter on a line of its own, then half a line of room.
double drawParameters(Page& page, double y) {
  for (std::size_t p = 0; p < page.report.parameters.size(); ++p) {
    page.surface.drawText(page.body.font, page.across(y, page.line), Qt::AlignLeft,
                          fromAnsi(page.document.parameterText(p)));
    y += page.line;
  }
  return y + page.line / 2;
}

// The column headings, one line per row of the record block, and a rule.
double drawHeadings(Page& page, double y) {
  for (const ReportRow& row : page.report.rows) {
    for (const ReportColumn& column : row.columns)
      page.drawCell(page.bold, page.cell(column, y), column.heading, column.alignRight);
    y += page.line;
  }
  page.cells.draw(page.surface);
  return page.rule(y);
}

// The page's records; a sheet keeps its fixed lines, and the unused ones of
// the last sheet are struck through with one diagonal, so that nothing can
// be added to the sheet once it is handed over.
double drawRecords(Page& page, double y) {
  const double block = page.document.blockHeight() * kUnitsPerPoint;
  const double recordsTop = y;
  for (const std::vector<std::string>& texts : page.document.pageRecords(page.number)) {
    double rowTop = y;
    std::size_t index = 0;
    for (const ReportRow& row : page.report.rows) {
      for (const ReportColumn& column : row.columns)
        page.drawCell(page.body, page.cell(column, rowTop), texts[index++], column.alignRight);
      rowTop += page.line;
    }
    y += block;
  }
  page.cells.draw(page.surface);
  if (page.report.sheetLines > 0) {
    const double end = recordsTop + page.report.sheetLines * block;
    if (page.document.isLastPage(page.number) && y < end)
      page.surface.drawLine(QPointF(page.left, y), QPointF(page.right, end));
    y = end;
  }
  return y;
}

// After the last record: a rule, a line of totals for each row that sums a
// column, and the record count, all bold.
double drawTotals(Page& page, double y) {
  y = page.rule(y);
  const std::vector<ReportRow>& rows = page.report.rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    bool summed = false;
    for (std::size_t c = 0; c < rows[r].columns.size(); ++c) {
      const ReportColumn& column = rows[r].columns[c];
      if (!column.sum) continue;
      summed = true;
      page.drawCell(page.bold, page.cell(column, y), page.document.totalText(r, c),
                    column.alignRight, false);
    }
    if (summed) y += page.line;
  }
  page.cells.draw(page.surface);
  // The count is as bold as the totals.
  page.surface.drawText(
      page.bold.font, page.across(y, page.line), Qt::AlignLeft,
      fromAnsi(page.report.countCaption) + QString::number(page.document.recordCount()));
  return y + page.line;
}

// The foot: each footer line has a second line of room under it, and the
// boxes and rules lie where the layout puts them, for what the receiving
// side writes, signs or stamps by hand.
void drawFoot(Page& page, double y) {
  const ReportDefinition& report = page.report;
  if (report.footers.empty() && report.footShapes.empty()) return;
  y = page.rule(y);
  const double footTop = y;
  const QString pieces = QString::number(page.document.pageRecordCount(page.number));
  for (const std::string& footer : report.footers) {
    page.surface.drawText(page.body.font, page.across(y, page.line), Qt::AlignLeft,
                          fromAnsi(footer).replace(QStringLiteral("%n"), pieces));
    y += 2 * page.line;
  }
  for (const ReportShape& shape : report.footShapes) {
    const QRectF place(page.left + shape.left * kUnitsPerInch, footTop + shape.top * kUnitsPerInch,
                       shape.width * kUnitsPerInch, shape.height * kUnitsPerInch);
    if (shape.kind == ReportShape::Kind::Rule) {
      page.surface.drawLine(place.topLeft(), place.topRight());
      continue;
    }
    page.surface.drawRect(place);
    // The caption keeps two points off the box's lines.
    const double inset = 2 * kUnitsPerPoint;
    page.drawSingleText(
        page.body,
        QRectF(place.left() + inset, place.top() + inset / 2, place.width() - 2 * inset, page.line),
        shape.caption);
  }
}

}  // namespace

void drawReportPage(ReportSurface& surface, ReportDocument& document, int page) {
  // Callers read the page first, showing the status window as they do; a
  // page not read yet is read here without one.
  document.readThrough(page);
  Page bands(surface, document, page);
  double y = document.layout().marginTop * kUnitsPerInch;
  y = drawTitle(bands, y);
  y = drawParameters(bands, y);
  y = drawHeadings(bands, y);
  y = drawRecords(bands, y);
  if (document.isLastPage(page)) y = drawTotals(bands, y);
  drawFoot(bands, y);
}

void drawReportPage(QPainter& painter, ReportDocument& document, int page, double dotsPerInchX,
                    double dotsPerInchY) {
  PainterReportSurface surface(painter, dotsPerInchX, dotsPerInchY);
  drawReportPage(surface, document, page);
}

}  // namespace kestrel
