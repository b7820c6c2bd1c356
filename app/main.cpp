// Kestrel: the start of the process. The splash comes up first, the main
// window is created behind it (loading the settings) and replaces it when it
// is first shown; the process ends when the main window closes.
#include <QApplication>
#include <iostream>

#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/InfoOptions.h"
#include "dialogs/QtUserInteraction.h"
#include "dialogs/U_About.h"
#include "platform/ApplicationTitle.h"
#include "platform/ProgramLocale.h"
#include "platform/StorageConnection.h"
#include "platform/UserInteraction.h"

namespace {

// What "kestrel --help" answers (and the manual page shows). Every choice is
// made in the windows and kept in the settings file; the two questions are
// answered before any window opens, so they need no display.
constexpr const char* kHelp =
    "Usage: kestrel [--help | --version]\n"
    "Prints U.S. certified mailers on the postal service's pre-printed mailer stock\n"
    "and keeps every printed mailer in a dBASE mailing log.\n"
    "\n"
    "Kestrel is a desktop program: it takes no other options. Every choice is made\n"
    "in its windows and kept in the settings file shared by every user who prints\n"
    "on the machine.\n"
    "\n"
    "Options:\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Files:\n"
    "  /var/lib/kestrel/Kestrel3.ini  the settings of every user of the machine\n"
    "  Reports/report3.dbf            the mailing log, in the program folder (the\n"
    "                                 folder of the kestrel executable); its sorted\n"
    "                                 reports leave their .MDX index files beside it\n"
    "  Printed/                       one PDF file for every print job while the\n"
    "                                 machine has no printer\n"
    "  Addresses/                     where the address table dialogs start\n"
    "  Kestrel3.rav                   the layout of the log reports\n"
    "\n"
    "Sharing:\n"
    "  The settings folder and the folders Reports, Printed and Addresses belong\n"
    "  to the group \"kestrel\": only its members may print and log. An\n"
    "  administrator adds a user with \"adduser NAME kestrel\"; the user then logs\n"
    "  out and in again.\n";

}  // namespace

int main(int argc, char** argv) {
  if (kestrel::answerInfoOption(argc, argv, "kestrel", kHelp, std::cout)) return 0;
  QApplication application(argc, argv);
  kestrel::formLook::registerFontSubstitutions();
  kestrel::QtUserInteraction userInteraction;
  kestrel::setUserInteraction(&userInteraction);
  kestrel::useProgramLocale();
  kestrel::connectStorageLayer();

  // The main window takes the splash over and discards it at its first show.
  auto* splash = new kestrel::TF_About();
  splash->SplashMode = true;
  splash->show();
  splash->repaint();

  QApplication::setApplicationName(QString::fromLatin1(kestrel::kApplicationTitle));
  // No display name: Qt would append it to every window's caption
  // ("Extra Label — Kestrel"), and each window has its own exact caption.
  // The desktop's menu entry (and so its icon) for the windows of the process.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.example.brightwater.Kestrel"));

  kestrel::TF_Main mainWindow(kestrel::programFolderPath(), splash);
  mainWindow.show();
  return application.exec();
}
