// Prints one mailer from the main window as the user whose id is given, so
// that a test can show that a second user of the machine prints and logs
// into what the first one created (or is told why it may not). Usage: print_as_user UID MACHINE
// PROGRAM. Exit status 0 when the mailer printed and was logged without a message
// beyond the run's one word of where the PDF files go.
#include <grp.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"
#include "platform/UserInteraction.h"

namespace {

// Every message but the notice of the PDF folder counts as a failure and is
// shown on standard error.
class ReportingUser : public kestrel::UserInteraction {
 public:
  Answer message(const QString& caption, const QString& text, Icon, Buttons) override {
    if (text.startsWith(QStringLiteral("No printer is installed. "))) return Answer::Ok;
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    ++failures;
    return Answer::Ok;
  }
  int choiceBox(const QString&, const QString& text, const QStringList&) override {
    std::fprintf(stderr, "choice: %s\n", qPrintable(text));
    ++failures;
    return 1;
  }
  QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
  QString saveFileName(const QString&, const QString&, const QString&, const QString&,
                       ExistingFile) override {
    return {};
  }
  int execDialog(QDialog& dialog) override {
    std::fprintf(stderr, "dialog: %s\n", qPrintable(dialog.objectName()));
    ++failures;
    return QDialog::Rejected;
  }
  int failures = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const auto user = static_cast<uid_t>(std::strtoul(argv[1], nullptr, 10));
  // The user's own group only: the groups of the test's root stay behind.
  if (user != 0 && (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0))
    return 3;
  // No printer: the mailer becomes a PDF file in the program's "Printed" folder.
  ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  ReportingUser reporting;
  kestrel::setUserInteraction(&reporting);
  kestrel::formLook::registerFontSubstitutions();
  kestrel::setMachineFolderForTests(argv[2]);

  kestrel::TF_Main window(argv[3]);
  window.show();
  while (window.firstShowPending()) QCoreApplication::processEvents();
  kestrel::Settings().ShowMailerDialog = false;
  window.memoAddress->setPlainText(QStringLiteral("Second User\n1 Shared Way"));
  window.btnPrintClick();
  return reporting.failures == 0 ? 0 : 1;
}
