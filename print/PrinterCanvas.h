#pragma once

#include <functional>
#include <string>

#include "print/PainterCanvas.h"

class QPrinter;

namespace kestrel {

// Draws on a QPrinter: a real printer, or a PDF file when the printer's output
// format is PDF. Each job opens the painter on the printer and closing it
// hands the page to the printer. A PDF file counts as printed only when it
// reads back whole; a file that is not, or whose job was dropped, is removed.
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
  bool isPdfFile() const;
  std::string outputPath() const;  // the PDF file's name as the file system knows it
  bool outputIsWhole() const;
  // Ends the painter and checks that the device took all of it; throws
  // PrintError, and removes a partial PDF file, when it did not.
  void finishOutput(const QString& what);

  QPrinter& m_printer;
  BeforeJob m_beforeJob;
  PageGeometry m_geometry;
  bool m_shareDocument = false;
  bool m_jobOpen = false;
};

}  // namespace kestrel
