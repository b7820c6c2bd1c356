#include "print/PrintJob.h"

#include <QPageLayout>
#include <QPrinter>
#include <algorithm>

#include "print/PrintError.h"

namespace kestrel {

PrintJob::PrintJob(QPrinter& printer, const QString& title, const BeforeJob& beforeJob)
    : m_output(printer, beforeJob), m_title(title) {
  if (m_output.printerMakesCopies()) openSpool();
  QPrinter& output = device();
  output.setDocName(title);
  if (!output.isValid())
    throw PrintError(QStringLiteral("%1 is not available.").arg(m_output.describePrinter()));
  if (!m_painter.begin(&output))
    throw PrintError(QStringLiteral("%1 refused the print job.").arg(m_output.describePrinter()));
  m_output.markWritten();
  // Qt draws from the printable area's corner unless the printer is set to
  // full-page mode; either way that corner's distance from the paper's edge
  // is the physical offset.
  const QRect paintRect = output.pageLayout().paintRectPixels(output.resolution());
  m_geometry.pixelsPerInchX = output.logicalDpiX();
  m_geometry.pixelsPerInchY = output.logicalDpiY();
  m_geometry.physicalOffsetX = output.fullPage() ? 0 : paintRect.left();
  m_geometry.physicalOffsetY = output.fullPage() ? 0 : paintRect.top();
}

PrintJob::~PrintJob() {
  abort();
}

QPrinter& PrintJob::device() {
  return m_spool ? *m_spool : m_output.printer();
}

void PrintJob::openSpool() {
  // The same sheet, margins and resolution as the printer, so that every
  // item lands where the printer itself would put it.
  const QPrinter& target = m_output.printer();
  m_spool = std::make_unique<QPrinter>(QPrinter::HighResolution);
  m_spool->setOutputFormat(QPrinter::PdfFormat);
  m_spool->setResolution(target.resolution());
  m_spool->setFullPage(target.fullPage());
  m_spool->setPageLayout(target.pageLayout());
  m_spool->setOutputFileName(m_output.pdfPath());
}

void PrintJob::newPage() {
  if (!m_painter.isActive()) throw PrintError("No print job is open.");
  if (!device().newPage())
    throw PrintError(QStringLiteral("%1 refused a new page.").arg(m_output.describePrinter()));
  ++m_pages;
}

void PrintJob::finish() {
  if (!m_painter.isActive()) throw PrintError("No print job is open.");
  const bool ended = m_painter.end();
  // Qt's PDF writer reports no write error of its own; the output checks
  // that the file reads back whole.
  m_output.deliver(m_title, m_pages, ended && device().printerState() != QPrinter::Error);
}

void PrintJob::abort() noexcept {
  if (m_painter.isActive()) {
    // A half-drawn page must not reach the paper.
    device().abort();
    m_painter.end();
  }
  m_output.abort();
}

bool printPages(QPrinter& printer, const QString& title, int pageCount, const DrawPage& drawPage,
                const BeforeJob& beforeJob) {
  if (pageCount <= 0) return true;
  PrintJob job(printer, title, beforeJob);
  // A printer makes its copies itself; a file gets each copy drawn, in the
  // order asked for: 1 2 3, 1 2 3 collated, 1 1, 2 2, 3 3 otherwise.
  const int copies = job.printerMakesCopies() ? 1 : std::max(1, printer.copyCount());
  const bool collate = printer.collateCopies();
  const int outer = collate ? copies : 1;
  const int inner = collate ? 1 : copies;
  bool first = true;
  for (int copy = 0; copy < outer; ++copy) {
    for (int page = 0; page < pageCount; ++page) {
      for (int repeat = 0; repeat < inner; ++repeat) {
        if (!first) job.newPage();
        first = false;
        if (!drawPage(job.painter(), job.geometry(), page)) return false;  // dropped by ~PrintJob
      }
    }
  }
  job.finish();
  return true;
}

}  // namespace kestrel
