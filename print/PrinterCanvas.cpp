#include "print/PrinterCanvas.h"

#include <QPrinter>
#include <algorithm>

#include "print/PdfDrawing.h"
#include "print/PrintError.h"
#include "print/PrintFonts.h"

namespace kestrel {

PrinterCanvas::PrinterCanvas(QPrinter& printer, BeforeJob beforeJob)
    : m_printer(printer), m_beforeJob(std::move(beforeJob)) {
  registerPrintFonts();
}

PrinterCanvas::~PrinterCanvas() {
  abortJob();
}

void PrinterCanvas::openDocument(const QString& jobName) {
  m_output = std::make_unique<JobOutput>(m_printer, m_beforeJob);
  m_drawing = std::make_unique<PdfDrawing>(m_printer, jobName);
  m_title = jobName;
}

void PrinterCanvas::beginPage() {
  m_drawing->beginPage();
  m_drawing->setFont(m_font);
}

void PrinterCanvas::runJob(const QString& jobName, const std::function<void()>& drawPage) {
  // The pages of a shared document are handed over one at a time.
  if (m_shareDocument) {
    PageCanvas::runJob(jobName, drawPage);
    return;
  }
  if (m_jobOpen) throw PrintError("A print job is already open.");
  try {
    openDocument(jobName);
    for (int copy = 0; copy < m_output->copiesToDraw(); ++copy) {
      beginPage();
      m_jobOpen = true;
      drawPage();
      m_jobOpen = false;
      m_drawing->endPage();
    }
    finishDocument();
  } catch (...) {
    abortJob();
    throw;
  }
}

void PrinterCanvas::startJob(const QString& jobName) {
  if (m_jobOpen) throw PrintError("A print job is already open.");
  if (!m_shareDocument || !m_drawing) openDocument(jobName);
  beginPage();
  m_jobOpen = true;
}

void PrinterCanvas::endJob() {
  if (!m_jobOpen) throw PrintError("No print job is open.");
  m_jobOpen = false;
  m_drawing->endPage();
  if (!m_shareDocument) finishDocument();
}

void PrinterCanvas::finishDocument() {
  m_jobOpen = false;
  if (!m_drawing) return;
  // The output drops the job (and its file) unless it is delivered.
  const std::unique_ptr<PdfDrawing> drawing = std::move(m_drawing);
  const std::unique_ptr<JobOutput> output = std::move(m_output);
  const int pages = std::max(1, drawing->pages());
  output->write(drawing->finish(), pages);
  output->deliver(m_title, pages);
}

void PrinterCanvas::abortJob() noexcept {
  m_jobOpen = false;
  m_drawing.reset();
  m_output.reset();  // drops an unfinished job
}

PageGeometry PrinterCanvas::geometry() const {
  return m_drawing ? m_drawing->geometry() : PageGeometry{};
}

void PrinterCanvas::setFont(const PageFont& font) {
  m_font = font;
  if (m_drawing) m_drawing->setFont(font);
}

void PrinterCanvas::drawText(int x, int y, const QString& text) {
  if (m_jobOpen) m_drawing->drawText(x, y, text);
}

int PrinterCanvas::textWidth(const QString& text) {
  return PdfDrawing::textWidth(m_font, m_printer.resolution(), text);
}

void PrinterCanvas::drawMonoImage(const QImage& image, const QRect& target) {
  if (m_jobOpen) m_drawing->drawMonoImage(image, target);
}

}  // namespace kestrel
