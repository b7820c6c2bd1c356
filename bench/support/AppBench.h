#pragma once

#include <QTemporaryDir>

namespace kestrel {
class UserInteraction;
}

namespace kestrel::bench {

// Points the machine folder at `folder` and writes its Kestrel3.ini there: a
// stored sender (so the main window starts without questions) and bar codes
// on for customer 123456789 from serial 0000001. Aborts the run when the file
// cannot be written, since every figure after it would be of another set-up.
void writeMachineSettings(const QTemporaryDir& folder);

// The main() of a benchmark of the whole program: an offscreen QApplication
// with the form's font substitutions, no CUPS scheduler (so that every mailer
// goes to the PDF fallback in the program folder's "Printed" folder, not to
// the machine's printers) and, when given, `user` answering every question of
// the whole run. Returns the process's exit code.
int runAppBenchmarks(int argc, char** argv, UserInteraction* user = nullptr);

}  // namespace kestrel::bench
