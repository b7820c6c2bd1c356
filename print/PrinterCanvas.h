#pragma once

#include <functional>

#include "print/PainterCanvas.h"

class QPrinter;

namespace kestrel {

// Draws on a QPrinter: a real printer, or a PDF file when the printer's output
// format is PDF. Each job opens the painter on the printer and closing it
// hands the page to the printer.
class PrinterCanvas : public PainterCanvas {
 public:
  // Runs before each job opens (the current printer's PDF writer uses it to
  // point each job at a file of its own). May throw PrintError.
  using BeforeJob = std::function<void()>;

  // The printer must outlive the canvas.
  explicit PrinterCanvas(QPrinter& printer, BeforeJob beforeJob = {});
  ~PrinterCanvas() override;

  // Lets consecutive jobs become consecutive pages of one document (for a
  // multi-page PDF of a label run); finishDocument() then ends it.
  void setJobsShareDocument(bool share) { m_shareDocument = share; }
  void finishDocument();

  void startJob(const QString& jobName) override;
  void endJob() override;
  void abortJob() noexcept override;
  PageGeometry geometry() const override { return m_geometry; }

 private:
  QString describePrinter() const;

  QPrinter& m_printer;
  BeforeJob m_beforeJob;
  PageGeometry m_geometry;
  bool m_shareDocument = false;
  bool m_jobOpen = false;
};

}  // namespace kestrel
