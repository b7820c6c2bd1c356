#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QPrinter;
class QTemporaryFile;

namespace kestrel {

// Runs just before a job opens its output on a PDF writer (the machine's PDF
// fallback points each job at a file of its own there). May throw
// PrintError.
using BeforeJob = std::function<void()>;

// Where one print job's PDF goes, and its checked hand-over: the half of the
// road to the printer that does not care how the pages were drawn.
//
// - A real printer: a stopped queue is refused before anything is drawn;
//   the pages go into a spool file, which deliver() checks whole and
//   submits to CUPS as one job with the printer's copies, collation and
//   sides.
// - A PDF writer (the machine's fallback, or a file chosen in Printer
//   Setup): `beforeJob` runs, and the pages go into the writer's file,
//   which counts only when it reads back whole.
//
// Until deliver() succeeds the job can be dropped (abort, or the
// destructor): nothing reaches a printer and a partial file is removed.
class JobOutput {
 public:
  // Throws PrintError when the printer is not available (no printer named,
  // a stopped or unknown CUPS queue, a spool file that cannot be made, a
  // PDF file that cannot be opened for writing).
  JobOutput(QPrinter& printer, const BeforeJob& beforeJob);
  ~JobOutput();
  JobOutput(const JobOutput&) = delete;
  JobOutput& operator=(const JobOutput&) = delete;

  // How many copies of each page the document must hold: one when the
  // printer makes the copies itself (CUPS does), else the printer's copies
  // (a file cannot make them).
  int copiesToDraw() const;
  // The PDF file the pages go to: the spool file, or the writer's file.
  QString pdfPath() const;
  // "The printer "name"" or "The PDF file "path"", for messages.
  QString describePrinter() const;

  // Writes the document's bytes to the PDF file whole. Throws PrintError
  // (and drops the job) when they cannot all be written.
  void write(std::string_view pdf, int pages);
  // The same in parts, in order, as a long document is made: the first
  // part replaces the file's content. A part that cannot be written is
  // reported by finishWriting, which ends the file.
  void writePart(std::string_view bytes);
  void finishWriting(int pages);
  // Hands the written file over. Throws PrintError when the file does not
  // read back whole or the printer refuses it; the job is over either way.
  void deliver(const QString& title, int pages);
  // Drops the job: nothing reaches the printer; a partial file, or a name
  // claimed for the job and left empty, is removed. A file the user chose
  // is kept when nothing was written to it yet.
  void abort() noexcept;

 private:
  [[noreturn]] void fail(int pages);
  bool closeFile() noexcept;

  QPrinter& m_target;
  const bool m_toCups;
  std::unique_ptr<QTemporaryFile> m_spoolFile;  // a real printer's pages
  int m_file = -1;                              // the PDF file, open from the start of the job
  bool m_open = true;
  bool m_written = false;      // the file was opened for writing
  bool m_writeFailed = false;  // a part was not written whole
};

}  // namespace kestrel
