#pragma once

#include <memory>

#include "print/JobOutput.h"
#include "print/PageCanvas.h"

class QPrinter;

namespace kestrel {

class PdfDrawing;

// Prints on a QPrinter through the road to the printer (JobOutput), with
// the pages written as PDF by PdfDrawing: a real printer gets each job as
// one checked CUPS job, a PDF writer one checked file per job. A job the
// printer refuses, or a file that is not whole, is a PrintError and nothing
// counts as printed.
class PrinterCanvas : public PageCanvas {
 public:
  // The printer must outlive the canvas. `beforeJob` runs before each job
  // opens on a PDF writer (the current printer's PDF fallback uses it to
  // point each job at a file of its own); it may throw PrintError.
  explicit PrinterCanvas(QPrinter& printer, BeforeJob beforeJob = {});
  ~PrinterCanvas() override;

  // Lets consecutive jobs become consecutive pages of one document (for a
  // multi-page PDF of a label run); finishDocument() then ends it.
  void setJobsShareDocument(bool share) { m_shareDocument = share; }
  void finishDocument();

  // A job on its own gets the printer's copies: CUPS makes them, a file has
  // each drawn.
  void runJob(const QString& jobName, const std::function<void()>& drawPage) override;
  void startJob(const QString& jobName) override;
  void endJob() override;
  void abortJob() noexcept override;
  PageGeometry geometry() const override;

  void setFont(const PageFont& font) override;
  PageFont font() const override { return m_font; }
  void drawText(int x, int y, const QString& text) override;
  int textWidth(const QString& text) override;
  void drawMonoImage(const QImage& image, const QRect& target) override;

 private:
  void openDocument(const QString& jobName);
  void beginPage();

  QPrinter& m_printer;
  BeforeJob m_beforeJob;
  std::unique_ptr<JobOutput> m_output;    // of the open document
  std::unique_ptr<PdfDrawing> m_drawing;  // its pages
  QString m_title;
  PageFont m_font;
  bool m_shareDocument = false;
  bool m_jobOpen = false;
};

}  // namespace kestrel
