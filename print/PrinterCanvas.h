#pragma once

#include <memory>

#include "print/PainterCanvas.h"
#include "print/PrintJob.h"

class QPrinter;

namespace kestrel {

// Draws on a QPrinter through the one road to the printer (printPages): a
// real printer gets each job as one checked CUPS job, a PDF writer one
// checked file per job. A job the printer refuses, or a file that is not
// whole, is a PrintError and nothing counts as printed.
class PrinterCanvas : public PainterCanvas {
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

  void runJob(const QString& jobName, const std::function<void()>& drawPage) override;
  void startJob(const QString& jobName) override;
  void endJob() override;
  void abortJob() noexcept override;
  PageGeometry geometry() const override { return m_geometry; }

 private:
  void openJob(const QString& jobName);

  QPrinter& m_printer;
  BeforeJob m_beforeJob;
  std::unique_ptr<PrintJob> m_job;  // a job opened by startJob
  PageGeometry m_geometry;
  bool m_shareDocument = false;
  bool m_jobOpen = false;
};

}  // namespace kestrel
