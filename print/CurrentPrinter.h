#pragma once

#include <QString>
#include <functional>

class QPrinter;

namespace kestrel {

// The one process-wide printer every print job goes to: the system's default
// CUPS printer (or the first one when there is no default) until Printer
// Setup chooses another printer, or a PDF file, for this process. On a
// machine without any installed printer it is a PDF writer, and every job
// becomes its own PDF file in the folder "Printed" under the program folder,
// open to every user of the machine and named so that jobs never overwrite
// each other.
QPrinter& currentPrinter();

// The current printer, made ready for the next job (a mailer, a run of
// labels, a report). Until the user has chosen a printer in this run, each
// job asks CUPS again for the default printer, so that a printer installed
// (or made the default) while the program runs takes the next job, and a
// machine whose last printer went falls back to PDF files. The reference
// holds until the next call.
QPrinter& printerForNextJob();

// The user chose the printer (Printer Setup): it takes every job for the
// rest of the run, whatever becomes the system's default.
void keepChosenPrinter();

// Whether the machine has at least one installed printer.
bool hasInstalledPrinter();

// Before each job on the machine's PDF fallback: points it at a new, unused
// file in the print folder and returns its path. Returns an empty text when
// the current printer is a real printer or a PDF file chosen in Printer
// Setup (nothing to do: that job goes where the user said).
QString prepareNextPdfJob();

// The folder that PDF jobs go to (ends without a separator).
QString pdfJobFolder();

// Hears of every job that goes to the machine's PDF fallback, with the
// folder its file is in, once the file's name is claimed (the main window
// tells the user where the file went). Empty: nobody hears.
using PdfFallbackNotice = std::function<void(const QString& folder)>;
void setPdfFallbackNotice(PdfFallbackNotice notice);

}  // namespace kestrel
