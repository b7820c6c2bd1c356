#pragma once

#include <QPainter>
#include <QString>
#include <functional>
#include <memory>

#include "print/JobOutput.h"
#include "print/PageGeometry.h"

class QPrinter;

namespace kestrel {

// Draws page `page` (counted from 0) of a job. The painter's origin is the
// corner of the printable area, whose place on the sheet the geometry gives.
// Returns false to drop the job (the user cancelled it).
using DrawPage = std::function<bool(QPainter& painter, const PageGeometry& geometry, int page)>;

// The road from pages drawn with a QPainter to a printer (the reports; the
// form printer writes its PDF itself and shares the same JobOutput): one
// job of `pageCount` pages on `printer`, with that printer's copies,
// collation and duplex.
//
// - A real printer: the pages are drawn into a PDF spool file with the
//   printer's paper, margins and resolution, checked whole, and submitted to
//   CUPS as one job that asks CUPS for the copies, their order and the
//   sides. A stopped queue, a refused job or a failed submission is a
//   PrintError, and nothing counts as printed.
// - A PDF writer (the machine's fallback, or a file chosen in Printer
//   Setup): `beforeJob` runs, the pages are written (copies drawn here,
//   collated or not, as a file cannot make them), and the file counts only
//   when it reads back whole; a file that does not is removed.
//
// Returns false, with nothing sent and no file left, when drawPage dropped
// the job; true once the job is handed over. No pages: nothing is done.
bool printPages(QPrinter& printer, const QString& title, int pageCount, const DrawPage& drawPage,
                const BeforeJob& beforeJob = {});

// One open job of printPages, its pages drawn one at a time: opened by the
// constructor, finished by finish(), dropped by the destructor when it was
// not finished.
class PrintJob {
 public:
  // Opens the job's output and its first page. Throws PrintError when the
  // printer is not available or refuses the job (a stopped CUPS queue
  // included).
  PrintJob(QPrinter& printer, const QString& title, const BeforeJob& beforeJob = {});
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  QPainter& painter() { return m_painter; }
  const PageGeometry& geometry() const { return m_geometry; }
  // Whether the printer makes the copies itself (CUPS does; a file cannot).
  bool printerMakesCopies() const { return m_output.printerMakesCopies(); }

  // Ends the page and opens the next one.
  void newPage();
  // Ends the output, checks it and, for a real printer, submits it. Throws
  // PrintError when the output is not whole or the printer refuses it; the
  // job is over either way.
  void finish();
  // Drops the job: nothing reaches the printer, a partial file is removed.
  void abort() noexcept;

 private:
  QPrinter& device();
  void openSpool();

  JobOutput m_output;
  QString m_title;
  std::unique_ptr<QPrinter> m_spool;  // a real printer's pages, as a PDF
  QPainter m_painter;
  PageGeometry m_geometry;
  int m_pages = 1;
};

}  // namespace kestrel
