#pragma once

class QPainter;

namespace kestrel {

class ReportDocument;
class ReportSurface;

// Draws one page (0-based) of a generated report: the title with "Page N of
// M", the parameter line, the column headings, the page's records and, on
// the last page, the totals and the record count, then the foot with its
// boxes and rules. The one drawing path of the preview, the printer and PDF
// files.
void drawReportPage(ReportSurface& surface, ReportDocument& document, int page);

// The same on a painter: `dotsPerInchX` and `dotsPerInchY` are the
// device's; the painter's origin must be the sheet's top-left corner. The
// painter's state is kept.
void drawReportPage(QPainter& painter, ReportDocument& document, int page, double dotsPerInchX,
                    double dotsPerInchY);

}  // namespace kestrel
