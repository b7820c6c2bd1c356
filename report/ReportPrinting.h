#pragma once

#include <QString>

class QPrinter;

namespace kestrel {

class ReportDocument;
class ReportStatus;

// Prints every page of a generated report on the printer as one job, with
// the status window showing `printingText` ("%p" is the page). Copies and
// collation are done here when the printer cannot do them itself (a PDF
// file). False when the user cancelled; throws ReportError when the printer
// refuses the job or a page, so that a report that is not printed whole
// never passes for printed.
bool printReportDocument(ReportDocument& document, QPrinter& printer, ReportStatus& status,
                         const QString& printingText);

}  // namespace kestrel
