#include "report/ReportPrinting.h"

#include <QPainter>
#include <QPrinter>

#include "report/ReportDocument.h"
#include "report/ReportError.h"
#include "report/ReportPainter.h"
#include "report/ReportStatus.h"

namespace kestrel {

bool printReportDocument(ReportDocument& document, QPrinter& printer, ReportStatus& status,
                         const QString& printingText) {
  // Copies the printer makes itself are asked for once; the rest are sent.
  const int copies = std::max(1, printer.copyCount());
  const bool printerCopies = printer.supportsMultipleCopies();
  const int sentCopies = printerCopies ? 1 : copies;
  const bool collate = printer.collateCopies();
  const int pages = document.pageCount();

  // A PDF writer has no printer name; its file says where the report went.
  const std::string name = (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                          : printer.printerName())
                               .toStdString();
  QPainter painter;
  if (!painter.begin(&printer))
    throw ReportError("The printer \"" + name + "\" did not accept the report.");
  // The painter's origin is the printable area's corner; the report is laid
  // out from the sheet's corner.
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
  painter.translate(paper.topLeft() - printable.topLeft());

  bool first = true;
  const auto printPage = [&](int page) {
    if (!status.showPage(printingText, page + 1)) return false;
    // Records are read as their pages print (the last page reads the rest).
    if (!document.readThrough(page, [&](int) { return status.showPage(printingText, page + 1); }))
      return false;
    if (!first && !printer.newPage()) {
      painter.end();
      throw ReportError("The printer refused page " + std::to_string(page + 1) + " of the report.");
    }
    first = false;
    drawReportPage(painter, document, page, printer.logicalDpiX(), printer.logicalDpiY());
    return true;
  };
  const int outer = collate ? sentCopies : 1;
  const int inner = collate ? 1 : sentCopies;
  for (int copy = 0; copy < outer; ++copy) {
    for (int page = 0; page < pages; ++page) {
      for (int repeat = 0; repeat < inner; ++repeat) {
        if (!printPage(page)) {
          printer.abort();
          painter.end();
          return false;
        }
      }
    }
  }
  if (!painter.end()) throw ReportError("The printer \"" + name + "\" did not finish the report.");
  return true;
}

}  // namespace kestrel
