#include "print/PrinterCanvas.h"

#include "print/PrintError.h"

namespace kestrel {

PrinterCanvas::PrinterCanvas(QPrinter& printer, BeforeJob beforeJob)
    : m_printer(printer), m_beforeJob(std::move(beforeJob)) {}

PrinterCanvas::~PrinterCanvas() {
  abortJob();
}

void PrinterCanvas::runJob(const QString& jobName, const std::function<void()>& drawPage) {
  // The pages of a shared document are handed over one at a time.
  if (m_shareDocument) {
    PainterCanvas::runJob(jobName, drawPage);
    return;
  }
  if (m_jobOpen) throw PrintError("A print job is already open.");
  printPages(
      m_printer, jobName, 1,
      [&](QPainter& painter, const PageGeometry& geometry, int) {
        borrowPainter(painter);
        m_geometry = geometry;
        m_jobOpen = true;
        // The job keeps its painter; the canvas lets go of it whatever
        // happens while drawing.
        struct LetGo {
          PrinterCanvas& canvas;
          ~LetGo() {
            canvas.m_jobOpen = false;
            canvas.endPainting();
          }
        } letGo{*this};
        drawPage();
        return true;
      },
      m_beforeJob);
}

void PrinterCanvas::openJob(const QString& jobName) {
  m_job = std::make_unique<PrintJob>(m_printer, jobName, m_beforeJob);
  borrowPainter(m_job->painter());
  m_geometry = m_job->geometry();
}

void PrinterCanvas::startJob(const QString& jobName) {
  if (m_jobOpen) throw PrintError("A print job is already open.");
  if (m_shareDocument && m_job)
    m_job->newPage();
  else
    openJob(jobName);
  m_jobOpen = true;
}

void PrinterCanvas::endJob() {
  if (!m_jobOpen) throw PrintError("No print job is open.");
  m_jobOpen = false;
  if (m_shareDocument) return;
  finishDocument();
}

void PrinterCanvas::finishDocument() {
  m_jobOpen = false;
  if (!m_job) return;
  endPainting();
  const std::unique_ptr<PrintJob> job = std::move(m_job);
  job->finish();
}

void PrinterCanvas::abortJob() noexcept {
  m_jobOpen = false;
  endPainting();
  m_job.reset();  // drops an unfinished job
}

}  // namespace kestrel
