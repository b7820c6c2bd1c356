#pragma once

#include <QString>

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

// Whether the machine has at least one installed printer.
bool hasInstalledPrinter();

// Before each job on the machine's PDF fallback: points it at a new, unused
// file in the print folder and returns its path. Returns an empty text when
// the current printer is a real printer or a PDF file chosen in Printer
// Setup (nothing to do: that job goes where the user said).
QString prepareNextPdfJob();

// The folder that PDF jobs go to (ends without a separator).
QString pdfJobFolder();

}  // namespace kestrel
