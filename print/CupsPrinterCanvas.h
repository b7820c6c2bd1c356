#pragma once

#include <QTemporaryFile>
#include <memory>

#include "print/PrinterCanvas.h"

class QPrinter;

namespace kestrel {

// Prints on a real CUPS printer. Qt's own CUPS engine hands its spool file to
// CUPS and ignores the answer, so a refused job would pass as printed. Here
// each job is drawn into a PDF spool file with the printer's page, margins
// and resolution, checked whole, and submitted as one job whose refusal is a
// PrintError. The spool file is removed either way.
class CupsPrinterCanvas : public PrinterCanvas {
 public:
  // The printer (set up by Printer Setup) must outlive the canvas; its name,
  // page layout, resolution and copy count are read at each job's start.
  explicit CupsPrinterCanvas(QPrinter& target);
  ~CupsPrinterCanvas() override;

  void startJob(const QString& jobName) override;
  void endJob() override;
  void abortJob() noexcept override;

 private:
  CupsPrinterCanvas(QPrinter& target, std::unique_ptr<QPrinter> spool);

  QPrinter& m_target;
  std::unique_ptr<QPrinter> m_spool;
  std::unique_ptr<QTemporaryFile> m_spoolFile;
  QString m_jobName;
};

}  // namespace kestrel
