#include "report/ReportPrinting.h"

#include <QPainter>

#include "report/ReportDocument.h"
#include "report/ReportPainter.h"
#include "report/ReportStatus.h"

namespace kestrel {

bool printReportDocument(ReportDocument& document, QPrinter& printer, const QString& title,
                         ReportStatus& status, const QString& printingText,
                         const BeforeJob& beforeJob) {
  const auto drawPage = [&](QPainter& painter, const PageGeometry& geometry, int page) {
    if (!status.showPage(printingText, page + 1)) return false;
    // Records are read as their pages print (the last page reads the rest).
    if (!document.readThrough(page, [&](int) { return status.showPage(printingText, page + 1); }))
      return false;
    // The painter's origin is the printable area's corner; the report is
    // laid out from the sheet's corner.
    painter.save();
    painter.translate(-geometry.physicalOffsetX, -geometry.physicalOffsetY);
    drawReportPage(painter, document, page, geometry.pixelsPerInchX, geometry.pixelsPerInchY);
    painter.restore();
    return true;
  };
  return printPages(printer, title, document.pageCount(), drawPage, beforeJob);
}

}  // namespace kestrel
