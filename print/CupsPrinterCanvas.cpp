#include "print/CupsPrinterCanvas.h"

#include <QDir>
#include <QPrinter>

#include "print/CupsJob.h"
#include "print/PrintError.h"

namespace kestrel {

CupsPrinterCanvas::CupsPrinterCanvas(QPrinter& target)
    : CupsPrinterCanvas(target, std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

// The base draws on the spool printer, which the member then keeps alive:
// the printer object itself never moves.
CupsPrinterCanvas::CupsPrinterCanvas(QPrinter& target, std::unique_ptr<QPrinter> spool)
    : PrinterCanvas(*spool), m_target(target), m_spool(std::move(spool)) {}

CupsPrinterCanvas::~CupsPrinterCanvas() {
  // The base's destructor would abort too late: the spool printer is gone by
  // then.
  CupsPrinterCanvas::abortJob();
}

void CupsPrinterCanvas::startJob(const QString& jobName) {
  if (m_target.printerName().isEmpty()) throw PrintError("No printer is chosen.");
  m_spoolFile = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/kestrel-job-XXXXXX.pdf"));
  if (!m_spoolFile->open())
    throw PrintError(QStringLiteral("The print job's spool file cannot be made in \"%1\": %2")
                         .arg(QDir::tempPath(), m_spoolFile->errorString()));
  m_spoolFile->close();  // the PDF writer opens it by name
  // The same sheet, margins and resolution as the printer, so that every
  // item lands where the printer itself would put it.
  m_spool->setOutputFormat(QPrinter::PdfFormat);
  m_spool->setResolution(m_target.resolution());
  m_spool->setFullPage(m_target.fullPage());
  m_spool->setPageLayout(m_target.pageLayout());
  m_spool->setOutputFileName(m_spoolFile->fileName());
  m_jobName = jobName;
  PrinterCanvas::startJob(jobName);
}

void CupsPrinterCanvas::endJob() {
  // Whatever happens, the spool file goes: CUPS keeps its own copy.
  const std::unique_ptr<QTemporaryFile> spoolFile = std::move(m_spoolFile);
  PrinterCanvas::endJob();
  submitCupsJob(m_target.printerName(), spoolFile->fileName(), m_jobName, m_target.copyCount());
}

void CupsPrinterCanvas::abortJob() noexcept {
  PrinterCanvas::abortJob();
  m_spoolFile.reset();
}

}  // namespace kestrel
