#pragma once

#include <QString>

namespace kestrel {

// Hands a finished PDF file to the CUPS destination `printerName` as one job
// and returns the job's number. Throws PrintError, with CUPS's own reason,
// when the destination refuses the job (unknown printer, queue not accepting
// jobs, scheduler unreachable). The file may be removed once this returns:
// CUPS has taken its copy. The scheduler is the one the environment names
// (CUPS_SERVER, client.conf), as for every other CUPS client.
int submitCupsJob(const QString& printerName, const QString& pdfPath, const QString& title,
                  int copies);

}  // namespace kestrel
