#pragma once

#include <QString>

namespace kestrel {

// How CUPS is to print a job: the copies, their order and the sides of the
// sheet, as the job's printer was set up (Printer Setup, Output Options).
struct CupsJobOptions {
  enum class Sides { OneSided, TwoSidedLongEdge, TwoSidedShortEdge };

  int copies = 1;
  bool collate = false;  // 1 2 3, 1 2 3 rather than 1 1, 2 2, 3 3
  Sides sides = Sides::OneSided;
};

// Whether the CUPS destination `printerName` would print a job now. Throws
// PrintError, with CUPS's own reason, when the destination is unknown or the
// scheduler cannot be reached, and when the queue is stopped (cupsdisable):
// a stopped queue takes a job and holds it, and a mailer logged as printed
// would never come out. A queue that refuses jobs is left to the submission,
// whose refusal carries CUPS's words.
void checkCupsDestination(const QString& printerName);

// Hands a finished PDF file to the CUPS destination `printerName` as one job
// and returns the job's number. Every answer is checked: the creation of the
// job, the start of its document, each write and the end of the document.
// Throws PrintError, with CUPS's own reason, when one of them fails (unknown
// printer, queue not accepting jobs, scheduler unreachable, a write cut
// short); a job already created is cancelled then, so that no half-sent job
// stays in the queue. The file may be removed once this returns: CUPS has
// taken its copy. The scheduler is the one the environment names
// (CUPS_SERVER, client.conf), as for every other CUPS client.
int submitCupsJob(const QString& printerName, const QString& pdfPath, const QString& title,
                  const CupsJobOptions& options);

}  // namespace kestrel
