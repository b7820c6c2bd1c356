#include "AppBench.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <cstdio>
#include <cstdlib>

#include "app/FormLook.h"
#include "core/Folders.h"
#include "platform/UserInteraction.h"

namespace kestrel::bench {

void writeMachineSettings(const QTemporaryDir& folder) {
  setMachineFolderForTests(folder.path().toStdString());
  QFile ini(folder.filePath(QStringLiteral("Kestrel3.ini")));
  if (!ini.open(QIODevice::WriteOnly)) std::abort();
  const QByteArray text =
      "[Type]\r\nBarCodeApp=0\r\n[YourAddress]\r\nLine1=Ann Example\r\n"
      "City=Springfield\r\nState=IL\r\nZip=62701\r\n"
      "[Values]\r\nPrintBarCode=1\r\nCustID=123456789\r\nSerialNum=0000001\r\n";
  if (ini.write(text) != text.size() || !ini.flush()) std::abort();
}

int runAppBenchmarks(int argc, char** argv, UserInteraction* user) {
  ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  if (user) setUserInteraction(user);
  formLook::registerFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

UserInteraction::Answer BenchUser::message(const QString&, const QString& text, Icon, Buttons) {
  if (text.startsWith(QStringLiteral("No printer is installed."))) return Answer::Ok;
  fail(text);
}

int BenchUser::execDialog(QDialog& dialog) {
  fail(dialog.objectName());
}

void BenchUser::fail(const QString& text) {
  std::fprintf(stderr, "unexpected question: %s\n", qPrintable(text));
  std::abort();
}

}  // namespace kestrel::bench
