#pragma once

#include <QString>

#include "print/JobOutput.h"

class QPrinter;

namespace kestrel {

class ReportDocument;
class ReportStatus;

// Prints every page of a generated report on the printer as one job named
// `title`, through the program's one road to the printer (JobOutput), the
// pages written as PDF as they are read: the printer's copies, collation
// and duplex apply, a real printer gets one checked CUPS job, a PDF writer
// one checked file (`beforeJob` runs before it opens). The status window shows `printingText` ("%p"
// is the page). False when the user cancelled (nothing is printed); throws PrintError when the
// printer refuses the job or the output is not whole, so that a report that
// is not printed never passes for printed.
bool printReportDocument(ReportDocument& document, QPrinter& printer, const QString& title,
                         ReportStatus& status, const QString& printingText,
                         const BeforeJob& beforeJob = {});

}  // namespace kestrel
