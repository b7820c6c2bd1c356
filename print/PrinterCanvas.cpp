#include "print/PrinterCanvas.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>

#include "platform/LocalPath.h"
#include "print/PdfFileCheck.h"
#include "print/PrintError.h"

namespace kestrel {

PrinterCanvas::PrinterCanvas(QPrinter& printer, BeforeJob beforeJob)
    : m_printer(printer), m_beforeJob(std::move(beforeJob)) {}

PrinterCanvas::~PrinterCanvas() {
  abortJob();
}

QString PrinterCanvas::describePrinter() const {
  if (isPdfFile()) return QStringLiteral("The PDF file \"%1\"").arg(m_printer.outputFileName());
  return QStringLiteral("The printer \"%1\"").arg(m_printer.printerName());
}

void PrinterCanvas::startJob(const QString& jobName) {
  if (m_jobOpen) throw PrintError("A print job is already open.");
  if (m_shareDocument && isPainting()) {
    if (!m_printer.newPage())
      throw PrintError(QStringLiteral("%1 refused a new page.").arg(describePrinter()));
    m_jobOpen = true;
    return;
  }
  if (m_beforeJob) m_beforeJob();
  m_printer.setDocName(jobName);
  if (!m_printer.isValid())
    throw PrintError(QStringLiteral("%1 is not available.").arg(describePrinter()));
  try {
    beginPainting(m_printer, QStringLiteral("%1 refused the print job.").arg(describePrinter()));
  } catch (const PrintError&) {
    // A name claimed for this job (the PDF fallback creates its file first)
    // must not stay behind as an empty "printout".
    if (isPdfFile() && QFileInfo(m_printer.outputFileName()).size() == 0)
      removePartialOutput(outputPath());
    throw;
  }
  // Qt draws from the printable area's corner unless the printer is set to
  // full-page mode; either way that corner's distance from the paper's edge
  // is the physical offset.
  const int resolution = m_printer.resolution();
  const QRect paintRect = m_printer.pageLayout().paintRectPixels(resolution);
  m_geometry.pixelsPerInchX = m_printer.logicalDpiX();
  m_geometry.pixelsPerInchY = m_printer.logicalDpiY();
  m_geometry.physicalOffsetX = m_printer.fullPage() ? 0 : paintRect.left();
  m_geometry.physicalOffsetY = m_printer.fullPage() ? 0 : paintRect.top();
  m_jobOpen = true;
}

void PrinterCanvas::endJob() {
  if (!m_jobOpen) throw PrintError("No print job is open.");
  m_jobOpen = false;
  if (m_shareDocument) return;
  finishOutput(QStringLiteral("the page"));
}

void PrinterCanvas::finishDocument() {
  m_jobOpen = false;
  finishOutput(QStringLiteral("the pages"));
}

void PrinterCanvas::finishOutput(const QString& what) {
  const bool ended = endPainting();
  if (ended && m_printer.printerState() != QPrinter::Error && outputIsWhole()) return;
  // Only a whole file may stand as a printout; a broken one is taken away so
  // that nobody mistakes it for one.
  if (isPdfFile()) removePartialOutput(outputPath());
  throw PrintError(QStringLiteral("%1 failed while printing %2.").arg(describePrinter(), what));
}

std::string PrinterCanvas::outputPath() const {
  return toLocalPath(m_printer.outputFileName());
}

bool PrinterCanvas::isPdfFile() const {
  return m_printer.outputFormat() == QPrinter::PdfFormat;
}

bool PrinterCanvas::outputIsWhole() const {
  // A printer's own spooler reports its errors through the printer state; a
  // PDF file is only known to be whole by reading it back.
  return !isPdfFile() || isCompletePdf(outputPath());
}

void PrinterCanvas::abortJob() noexcept {
  if (!m_jobOpen && !isPainting()) return;
  m_jobOpen = false;
  if (isPainting()) {
    // A half-drawn page must not reach the paper.
    m_printer.abort();
    endPainting();
    if (isPdfFile()) removePartialOutput(outputPath());
  }
}

}  // namespace kestrel
