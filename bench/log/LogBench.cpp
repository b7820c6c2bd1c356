// The Print command's own work per mailer: PrintOneMailer from the main
// window to the PDF fallback printer, the settings write and the append to
// the mailing log, once with an empty log and once with a log of 1,000,000
// records (the append must not grow with the log); and the look-up of the
// number about to be printed in a log of 100,000 records.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "AppBench.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"
#include "dbase/TTzDbf.h"
#include "log/MailingLog.h"
#include "platform/UserInteraction.h"

namespace {

using namespace kestrel;

// Grows the log to `records` copies of one appended record by writing the
// file as the storage layer lays it out: header, records, end-of-file byte.
void growLog(const std::string& programFolder, std::uint32_t records) {
  TTzDbf log("grow");
  setUpMailingLog(log, programFolder);
  Mailer mailer;
  mailer.names = {"Recipient Name", "c/o Acme", "456 Oak Ave", ""};
  LogPrintedMailer(log, mailer, "9214 7123 4567 8900 0000 10");
  log.Open();
  const std::uint32_t header = log.headerLength();
  const std::uint32_t length = log.recordLength();
  log.Close();

  const QString path = QString::fromStdString(programFolder + kMailingLogFileName);
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) std::abort();
  QByteArray bytes = file.readAll();
  const QByteArray record = bytes.mid(header, length);
  bytes.truncate(header);
  bytes.reserve(static_cast<qsizetype>(header) + qsizetype{length} * records + 1);
  for (std::uint32_t i = 0; i < records; ++i) bytes.append(record);
  bytes.append('\x1a');
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>((records >> (8 * i)) & 0xff);
  file.seek(0);
  if (file.write(bytes) != bytes.size() || !file.flush()) std::abort();
}

void printMailers(benchmark::State& state) {
  QTemporaryDir machine;
  QTemporaryDir program;
  bench::writeMachineSettings(machine);
  Settings() = SettingsRecord{};
  TF_Main window(program.path().toStdString());
  window.show();
  while (window.firstShowPending()) QCoreApplication::processEvents();
  Settings().ShowMailerDialog = false;
  if (state.range(0) > 0)
    growLog(Settings().ProgramFolder, static_cast<std::uint32_t>(state.range(0)));
  window.memoAddress->setPlainText(QStringLiteral("Recipient Name\nc/o Acme\n456 Oak Ave"));

  for (auto _ : state) window.PrintOneMailer();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["mailers_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  setMachineFolderForTests("");
}
BENCHMARK(printMailers)
    ->Name("BM_PrintOneMailerToPdf/log_records")
    ->Arg(0)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The look-up that runs before every print: a number that is not in the log
// (the usual case, and the whole visit) among `range(0)` logged mailers,
// with the log's file cache warm.
void findPrintedMailerInLog(benchmark::State& state) {
  QTemporaryDir program;
  const std::string folder = program.path().toStdString() + "/";
  if (!QDir(program.path()).mkdir(QString::fromLatin1(kReportsFolderName))) std::abort();
  growLog(folder, static_cast<std::uint32_t>(state.range(0)));
  for (auto _ : state) {
    if (findPrintedMailer(folder, "9589 0710 5270 4022 2902 93")) std::abort();
  }
}
BENCHMARK(findPrintedMailerInLog)
    ->Name("BM_FindPrintedMailer/log_records")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  bench::BenchUser noQuestions;
  return kestrel::bench::runAppBenchmarks(argc, argv, &noQuestions);
}
