#pragma once

#include <QTemporaryDir>

#include "platform/UserInteraction.h"

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

// The user of a benchmark run, where no person answers: takes the notice of
// where the PDF files go (the run prints to the PDF fallback) and aborts
// the run at any other question, whose figures would be of another run.
// A benchmark that expects a question answers it in a subclass.
class BenchUser : public UserInteraction {
 public:
  Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
  int choiceBox(const QString&, const QString& text, const QStringList&) override { fail(text); }
  QString openFileName(const QString&, const QString&, const QString&) override { fail({}); }
  QString saveFileName(const QString&, const QString&, const QString&, const QString&,
                       ExistingFile) override {
    fail({});
  }
  int execDialog(QDialog& dialog) override;

 protected:
  [[noreturn]] static void fail(const QString& text);
};

}  // namespace kestrel::bench
