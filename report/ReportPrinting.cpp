#include "report/ReportPrinting.h"

#include <QPageLayout>
#include <QPrinter>

#include "pdf/PdfDocument.h"
#include "pdf/PdfError.h"
#include "print/PrintError.h"
#include "report/PdfReportSurface.h"
#include "report/ReportDocument.h"
#include "report/ReportPainter.h"
#include "report/ReportStatus.h"

namespace kestrel {

bool printReportDocument(ReportDocument& document, QPrinter& printer, const QString& title,
                         ReportStatus& status, const QString& printingText,
                         const BeforeJob& beforeJob) {
  const int pageCount = document.pageCount();
  if (pageCount <= 0) return true;
  JobOutput output(printer, beforeJob);
  // The file is written as its pages are made: a long report need not be
  // held in memory.
  pdf::PdfDocument pages(title.toStdString(),
                         [&output](std::string_view bytes) { output.writePart(bytes); });
  PdfReportSurface surface(pages, document.shapedTexts());
  const QRectF sheet = printer.pageLayout().fullRect(QPageLayout::Point);
  // The report's tenths of a point, y down from the sheet's top-left corner.
  const pdf::Matrix toPage{0.1, 0, 0, -0.1, 0, sheet.height()};

  // A printer makes its copies itself; a file gets each copy drawn, in the
  // order asked for: 1 2 3, 1 2 3 collated, 1 1, 2 2, 3 3 otherwise.
  const int copies = output.copiesToDraw();
  const bool collate = printer.collateCopies();
  const int outer = collate ? copies : 1;
  const int inner = collate ? 1 : copies;
  for (int copy = 0; copy < outer; ++copy) {
    for (int page = 0; page < pageCount; ++page) {
      // The user may cancel in the status window; the job is dropped then.
      if (!status.showPage(printingText, page + 1)) return false;
      // Records are read as their pages print (the last page reads the rest).
      if (!document.readThrough(page, [&](int) { return status.showPage(printingText, page + 1); }))
        return false;
      for (int repeat = 0; repeat < inner; ++repeat) {
        pages.beginPage(sheet.width(), sheet.height(), toPage);
        drawReportPage(surface, document, page);
        pages.endPage();
      }
    }
  }
  try {
    pages.finish();
  } catch (const pdf::PdfError& error) {
    throw PrintError(std::string("The report's PDF could not be made: ") + error.what());
  }
  output.finishWriting(copies * pageCount);
  output.deliver(title, copies * pageCount);
  return true;
}

}  // namespace kestrel
