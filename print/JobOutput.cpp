#include "print/JobOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/LocalPath.h"
#include "print/CupsJob.h"
#include "print/PdfFileCheck.h"
#include "print/PrintError.h"

namespace kestrel {

namespace {

// How CUPS is to print the job, as its printer was set up.
CupsJobOptions cupsOptionsOf(const QPrinter& printer) {
  CupsJobOptions options;
  options.copies = std::max(1, printer.copyCount());
  options.collate = printer.collateCopies();
  switch (printer.duplex()) {
    case QPrinter::DuplexLongSide:
      options.sides = CupsJobOptions::Sides::TwoSidedLongEdge;
      break;
    case QPrinter::DuplexShortSide:
      options.sides = CupsJobOptions::Sides::TwoSidedShortEdge;
      break;
    case QPrinter::DuplexAuto:
      // Turned over the way the page is read.
      options.sides = printer.pageLayout().orientation() == QPageLayout::Portrait
                          ? CupsJobOptions::Sides::TwoSidedLongEdge
                          : CupsJobOptions::Sides::TwoSidedShortEdge;
      break;
    case QPrinter::DuplexNone:
      break;
  }
  return options;
}

// Writes all of the bytes at the file's end, or says it could not.
bool writeAll(int file, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(file, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

JobOutput::JobOutput(QPrinter& printer, const BeforeJob& beforeJob)
    : m_target(printer), m_toCups(printer.outputFormat() == QPrinter::NativeFormat) {
  if (!m_toCups) {
    if (beforeJob) beforeJob();
    // Opened now, so that a folder that takes no file refuses the job
    // before anything is drawn; the file is not cut short until the pages
    // are written.
    m_file = ::open(toLocalPath(pdfPath()).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (m_file < 0)
      throw PrintError(QStringLiteral("%1 refused the print job: %2")
                           .arg(describePrinter(), QString::fromLocal8Bit(std::strerror(errno))));
    return;
  }
  if (printer.printerName().isEmpty()) throw PrintError("No printer is chosen.");
  // A stopped queue would hold the job while the program counted it as
  // printed; nothing is drawn for it.
  checkCupsDestination(printer.printerName());
  m_spoolFile = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/kestrel-job-XXXXXX.pdf"));
  if (!m_spoolFile->open())
    throw PrintError(QStringLiteral("The print job's spool file cannot be made in \"%1\": %2")
                         .arg(QDir::tempPath(), m_spoolFile->errorString()));
  // The pages go in through a descriptor of the job's own, whose every
  // write is checked.
  m_spoolFile->close();
  m_file = ::open(toLocalPath(pdfPath()).c_str(), O_WRONLY | O_CLOEXEC);
  if (m_file < 0)
    throw PrintError(QStringLiteral("The print job's spool file \"%1\" cannot be opened: %2")
                         .arg(pdfPath(), QString::fromLocal8Bit(std::strerror(errno))));
}

JobOutput::~JobOutput() {
  abort();
  closeFile();
}

bool JobOutput::closeFile() noexcept {
  if (m_file < 0) return true;
  const int file = std::exchange(m_file, -1);
  return ::close(file) == 0;
}

int JobOutput::copiesToDraw() const {
  return m_toCups ? 1 : std::max(1, m_target.copyCount());
}

QString JobOutput::pdfPath() const {
  return m_toCups ? m_spoolFile->fileName() : m_target.outputFileName();
}

QString JobOutput::describePrinter() const {
  if (!m_toCups) return QStringLiteral("The PDF file \"%1\"").arg(m_target.outputFileName());
  return QStringLiteral("The printer \"%1\"").arg(m_target.printerName());
}

void JobOutput::write(std::string_view pdf, int pages) {
  writePart(pdf);
  finishWriting(pages);
}

void JobOutput::writePart(std::string_view bytes) {
  if (m_writeFailed) return;
  if (!m_written) {
    m_written = true;
    m_writeFailed = m_file < 0 || ::ftruncate(m_file, 0) != 0 || ::lseek(m_file, 0, SEEK_SET) != 0;
  }
  if (!m_writeFailed) m_writeFailed = !writeAll(m_file, bytes);
}

void JobOutput::finishWriting(int pages) {
  if (!m_written) writePart({});
  // A network folder may report a failed write only when the file closes.
  const bool closed = closeFile();
  if (!closed || m_writeFailed) fail(pages);
}

void JobOutput::fail(int pages) {
  const QString what = pages == 1 ? QStringLiteral("the page") : QStringLiteral("the pages");
  m_open = false;
  if (m_toCups) {
    const QString spoolName = m_spoolFile->fileName();
    m_spoolFile.reset();
    throw PrintError(
        QStringLiteral("%1 failed while printing %2: its spool file \"%3\" was not written whole.")
            .arg(describePrinter(), what, spoolName));
  }
  removePartialOutput(toLocalPath(pdfPath()));
  throw PrintError(QStringLiteral("%1 failed while printing %2.").arg(describePrinter(), what));
}

void JobOutput::deliver(const QString& title, int pages) {
  if (!m_open) throw PrintError("No print job is open.");
  // Every write was checked; the file stands as a printout (or goes to the
  // printer) only when it also reads back whole, every object where its
  // table says, so that what a network folder stored is what was written.
  if (!isCompletePdf(toLocalPath(pdfPath()))) fail(pages);
  m_open = false;
  if (!m_toCups) return;
  // Whatever happens, the spool file goes: CUPS keeps its own copy.
  const std::unique_ptr<QTemporaryFile> spoolFile = std::move(m_spoolFile);
  submitCupsJob(m_target.printerName(), spoolFile->fileName(), title, cupsOptionsOf(m_target));
}

void JobOutput::abort() noexcept {
  if (m_open && !m_toCups && (m_written || QFileInfo(pdfPath()).size() == 0))
    removePartialOutput(toLocalPath(pdfPath()));
  m_open = false;
  m_spoolFile.reset();
}

}  // namespace kestrel
