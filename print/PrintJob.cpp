#include "print/PrintJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryFile>
#include <algorithm>

#include "platform/LocalPath.h"
#include "print/CupsJob.h"
#include "print/PdfFileCheck.h"
#include "print/PrintError.h"

namespace kestrel {

namespace {

// How CUPS is to print the job, as its printer was set up.
CupsJobOptions cupsOptionsOf(const QPrinter& printer) {
  CupsJobOptions options;
  options.copies = std::max(1, printer.copyCount());
  options.collate = printer.collateCopies();
  switch (printer.duplex()) {
    case QPrinter::DuplexLongSide:
      options.sides = CupsJobOptions::Sides::TwoSidedLongEdge;
      break;
    case QPrinter::DuplexShortSide:
      options.sides = CupsJobOptions::Sides::TwoSidedShortEdge;
      break;
    case QPrinter::DuplexAuto:
      // Turned over the way the page is read.
      options.sides = printer.pageLayout().orientation() == QPageLayout::Portrait
                          ? CupsJobOptions::Sides::TwoSidedLongEdge
                          : CupsJobOptions::Sides::TwoSidedShortEdge;
      break;
    case QPrinter::DuplexNone:
      break;
  }
  return options;
}

}  // namespace

PrintJob::PrintJob(QPrinter& printer, const QString& title, const BeforeJob& beforeJob)
    : m_target(printer),
      m_toCups(printer.outputFormat() == QPrinter::NativeFormat),
      m_title(title) {
  if (m_toCups) {
    if (printer.printerName().isEmpty()) throw PrintError("No printer is chosen.");
    // A stopped queue would hold the job while the program counted it as
    // printed; nothing is drawn for it.
    checkCupsDestination(printer.printerName());
    openSpool();
  } else if (beforeJob) {
    beforeJob();
  }
  QPrinter& output = device();
  output.setDocName(title);
  if (!output.isValid())
    throw PrintError(QStringLiteral("%1 is not available.").arg(describePrinter()));
  if (!m_painter.begin(&output)) {
    // A name claimed for this job (the PDF fallback creates its file first)
    // must not stay behind as an empty "printout".
    if (!m_toCups && QFileInfo(output.outputFileName()).size() == 0)
      removePartialOutput(toLocalPath(output.outputFileName()));
    throw PrintError(QStringLiteral("%1 refused the print job.").arg(describePrinter()));
  }
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
  return m_spool ? *m_spool : m_target;
}

QString PrintJob::describePrinter() const {
  if (!m_toCups) return QStringLiteral("The PDF file \"%1\"").arg(m_target.outputFileName());
  return QStringLiteral("The printer \"%1\"").arg(m_target.printerName());
}

void PrintJob::openSpool() {
  m_spoolFile = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/kestrel-job-XXXXXX.pdf"));
  if (!m_spoolFile->open())
    throw PrintError(QStringLiteral("The print job's spool file cannot be made in \"%1\": %2")
                         .arg(QDir::tempPath(), m_spoolFile->errorString()));
  m_spoolFile->close();  // the PDF writer opens it by name
  // The same sheet, margins and resolution as the printer, so that every
  // item lands where the printer itself would put it.
  m_spool = std::make_unique<QPrinter>(QPrinter::HighResolution);
  m_spool->setOutputFormat(QPrinter::PdfFormat);
  m_spool->setResolution(m_target.resolution());
  m_spool->setFullPage(m_target.fullPage());
  m_spool->setPageLayout(m_target.pageLayout());
  m_spool->setOutputFileName(m_spoolFile->fileName());
}

void PrintJob::newPage() {
  if (!m_painter.isActive()) throw PrintError("No print job is open.");
  if (!device().newPage())
    throw PrintError(QStringLiteral("%1 refused a new page.").arg(describePrinter()));
  ++m_pages;
}

void PrintJob::finish() {
  if (!m_painter.isActive()) throw PrintError("No print job is open.");
  QPrinter& output = device();
  const bool ended = m_painter.end();
  // Qt's PDF writer reports no write error of its own: only a file that
  // reads back whole may stand as a printout (or go to the printer).
  if (!ended || output.printerState() == QPrinter::Error ||
      !isCompletePdf(toLocalPath(output.outputFileName()))) {
    const QString what = m_pages == 1 ? QStringLiteral("the page") : QStringLiteral("the pages");
    if (m_toCups) {
      const QString spoolName = m_spoolFile->fileName();
      m_spoolFile.reset();
      throw PrintError(
          QStringLiteral(
              "%1 failed while printing %2: its spool file \"%3\" was not written whole.")
              .arg(describePrinter(), what, spoolName));
    }
    removePartialOutput(toLocalPath(output.outputFileName()));
    throw PrintError(QStringLiteral("%1 failed while printing %2.").arg(describePrinter(), what));
  }
  if (!m_toCups) return;
  // Whatever happens, the spool file goes: CUPS keeps its own copy.
  const std::unique_ptr<QTemporaryFile> spoolFile = std::move(m_spoolFile);
  submitCupsJob(m_target.printerName(), spoolFile->fileName(), m_title, cupsOptionsOf(m_target));
}

void PrintJob::abort() noexcept {
  if (m_painter.isActive()) {
    // A half-drawn page must not reach the paper.
    QPrinter& output = device();
    output.abort();
    m_painter.end();
    if (!m_toCups) removePartialOutput(toLocalPath(output.outputFileName()));
  }
  m_spoolFile.reset();
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
