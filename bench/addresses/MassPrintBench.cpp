// Mass Print of an AddressBook of 1,000 records to the PDF fallback printer,
// as the user runs it: the question, the mailer number dialog once, and per
// record the numbering, the mailer, the settings write and the log append.
// Reports mailers per second, the peak memory, and how much the resident
// memory grew between the 100th and the last mailer (flat: close to 0).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "AppBench.h"
#include "addresses/AddressBook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"
#include "dbase/TTzDbf.h"
#include "platform/UserInteraction.h"
#include "print/FormPrinter.h"

namespace {

using namespace kestrel;

constexpr int kRecords = 1000;

// The user of a mass print: opens the table, answers Yes, and ticks "Do not
// show this screen again" in the mailer number dialog.
class MassPrintUser : public bench::BenchUser {
 public:
  explicit MassPrintUser(QString table) : m_table(std::move(table)) {}
  Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override {
    if (text.startsWith(QStringLiteral("You are about to print"))) return Answer::Yes;
    return BenchUser::message(title, text, icon, buttons);
  }
  QString openFileName(const QString&, const QString&, const QString&) override { return m_table; }
  int execDialog(QDialog& dialog) override {
    dialog.show();
    auto* dontShow = dialog.findChild<QCheckBox*>(QStringLiteral("cbDontShow"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btnOK"));
    if (!dontShow || !ok) fail(dialog.objectName());
    dontShow->setChecked(true);
    ok->click();
    return dialog.result();
  }

 private:
  QString m_table;
};

double residentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

void writeAddressBook(const QString& path) {
  TTzDbf table("bench");
  setUpAddressBook(table, path.toStdString());
  table.Open();
  for (int i = 0; i < kRecords; ++i) {
    table.Insert();
    table.SetMField("address", {"Recipient " + std::to_string(i + 1), "c/o Acme", "456 Oak Ave"});
    table.SetFieldText("city", "Springfield");
    table.SetFieldText("state", "IL");
    table.SetFieldText("zip", "62701-1234");
    table.Post();
  }
  table.Close();
}

void massPrint(benchmark::State& state) {
  QTemporaryDir machine;
  QTemporaryDir program;
  bench::writeMachineSettings(machine);
  const QString tablePath = program.filePath(QStringLiteral("friends.dbf"));
  writeAddressBook(tablePath);
  MassPrintUser user(tablePath);
  UserInteraction* previous = setUserInteraction(&user);
  Settings() = SettingsRecord{};
  TF_Main window(program.path().toStdString());
  window.show();
  while (window.firstShowPending()) QCoreApplication::processEvents();

  // The program's own printer, watched for the memory after the 100th mailer.
  int printed = 0;
  double residentAt100 = 0;
  window.setMailerPrinter([&](const PrintRequest& request, bool barCodes, const QFont& font) {
    std::string number = PrintMailer(request, barCodes, font);
    if (++printed == 100) residentAt100 = residentMegabytes();
    return number;
  });
  window.MIReadWriteToDB->trigger();
  if (!window.addressBook().Active()) std::abort();

  for (auto _ : state) {
    printed = 0;
    window.MIMassPrint->trigger();
    if (printed != kRecords) std::abort();
  }

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["mailers_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kRecords, benchmark::Counter::kIsRate);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["growth_100_to_1000_MB"] = residentMegabytes() - residentAt100;
  setUserInteraction(previous);
  setMachineFolderForTests("");
}
BENCHMARK(massPrint)
    ->Name("BM_MassPrint1000ToPdf")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return kestrel::bench::runAppBenchmarks(argc, argv);
}
