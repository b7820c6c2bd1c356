// Loaded into the installed kestrel with LD_PRELOAD by the package test: the
// user at the keyboard. Once the main window is up it types a recipient,
// presses Print, confirms the mailer number dialog and, when the mailer is
// printed, closes the window the way a user does (which writes the settings
// file). Any message box but the notice of where PDF files go ends the run:
// its text goes to standard error and
// the process exits with status 3, so the test sees what a user would have
// seen. The recipient's first line comes from KESTREL_ROBOT_NAME.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kStepMs = 200;
constexpr qint64 kGiveUpMs = 120000;

enum class Stage { WaitForWindow, Printing, Closing };

QWidget* mainWindow() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible() && top->findChild<QAbstractButton*>(QStringLiteral("btnPrint")))
      return top;
  return nullptr;
}

[[noreturn]] void giveUp(const QString& why, int status) {
  std::fprintf(stderr, "print robot: %s\n", qPrintable(why));
  std::fflush(stderr);
  std::_Exit(status);
}

void enterRecipient(QWidget& window) {
  const QString name = qEnvironmentVariable("KESTREL_ROBOT_NAME", QStringLiteral("Robin Robot"));
  auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("memoAddress"));
  auto* city = window.findChild<QLineEdit*>(QStringLiteral("editCity"));
  auto* state = window.findChild<QLineEdit*>(QStringLiteral("editState"));
  auto* zip = window.findChild<QLineEdit*>(QStringLiteral("editZip"));
  if (!memo || !city || !state || !zip) giveUp(QStringLiteral("no recipient fields"), 4);
  memo->setPlainText(name + QStringLiteral("\n12 Orchard Road"));
  city->setText(QStringLiteral("Springfield"));
  state->setText(QStringLiteral("IL"));
  zip->setText(QStringLiteral("62704-1234"));
}

void step() {
  static Stage stage = Stage::WaitForWindow;
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  if (clock.elapsed() > kGiveUpMs) giveUp(QStringLiteral("no printed mailer in time"), 5);

  if (QWidget* modal = QApplication::activeModalWidget()) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      // The first PDF job of a run says where the files go; that is no fault.
      if (box->text().startsWith(QStringLiteral("No printer is installed. "))) {
        box->accept();
        return;
      }
      giveUp(QStringLiteral("message \"%1\"").arg(box->text()), 3);
    }
    // The mailer number dialog, offered before the first print of a run.
    if (modal->objectName() == QLatin1String("TF_Mailer")) {
      if (auto* ok = modal->findChild<QAbstractButton*>(QStringLiteral("btnOK"))) ok->click();
      return;
    }
    giveUp(QStringLiteral("unexpected window \"%1\"").arg(modal->windowTitle()), 3);
  }

  QWidget* window = mainWindow();
  if (!window) return;  // the splash is still up
  auto* print = window->findChild<QAbstractButton*>(QStringLiteral("btnPrint"));
  switch (stage) {
    case Stage::WaitForWindow:
      enterRecipient(*window);
      stage = Stage::Printing;
      // Queued: the print runs its dialog in a loop of its own.
      QTimer::singleShot(0, print, &QAbstractButton::click);
      return;
    case Stage::Printing:
      // The Print button is disabled once the mailer is printed and logged.
      if (print->isEnabled()) return;
      stage = Stage::Closing;
      window->close();
      return;
    case Stage::Closing:
      return;
  }
}

void startRobot() {
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, &step);
  timer->start(kStepMs);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(startRobot)
