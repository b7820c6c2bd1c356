// Kestrel: the start of the process. The splash comes up first, the main
// window is created behind it (loading the settings) and replaces it when it
// is first shown; the process ends when the main window closes.
#include <QApplication>

#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "dialogs/QtUserInteraction.h"
#include "dialogs/U_About.h"
#include "platform/ApplicationTitle.h"
#include "platform/ProgramLocale.h"
#include "platform/StorageConnection.h"
#include "platform/UserInteraction.h"

int main(int argc, char** argv) {
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

  kestrel::TF_Main mainWindow(kestrel::programFolderPath(), splash);
  mainWindow.show();
  return application.exec();
}
