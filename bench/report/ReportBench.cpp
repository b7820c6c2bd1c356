// The log report over a 100,000-record log sorted by name: the time until
// the preview can show the first page, the whole report to a PDF file, and
// the process's peak memory (run each benchmark in a process of its own to
// read it: bench/run.sh does).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <filesystem>

#include "dbase/DateText.h"
#include "dbase/TTzDbf.h"
#include "log/LogReport.h"
#include "log/MailingLog.h"
#include "numbering/MailerNumber.h"
#include "report/ReportDocument.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"
#include "report/ReportPrinting.h"
#include "report/ReportStatus.h"

namespace kestrel {
namespace {

constexpr int kRecords = 100000;

// With KESTREL_BENCH_ONE_NUMBER set, every mailer of the log has the same
// number, as the log of the first measurements had (its own folder).
bool oneNumber() {
  return std::getenv("KESTREL_BENCH_ONE_NUMBER") != nullptr;
}

std::string benchFolder() {
  const char* dir = std::getenv("KESTREL_BENCH_DIR");
  static QTemporaryDir temporary;
  return (dir ? std::string(dir) : temporary.path().toStdString()) +
         (oneNumber() ? "/report-bench-one-number/" : "/report-bench/");
}

// The log of kRecords mailers, made once per folder; names in a shuffled
// order so that the sort has work to do, and every mailer with a number of
// its own, as in a real log (a report must not gain from texts that only a
// made-up log repeats).
const std::string& programFolder() {
  static const std::string folder = [] {
    const std::string f = benchFolder();
    if (!std::filesystem::exists(f + kMailingLogFileName)) {
      std::filesystem::create_directories(f + kReportsFolderName);
      TTzDbf log("bench");
      setUpMailingLog(log, f);
      log.Open();
      log.ALock();
      for (int i = 0; i < kRecords; ++i) {
        const int key = static_cast<int>((i * 7919LL) % kRecords);
        log.ClearRecord();
        log.SetFieldText("sentname0", "Recipient " + std::to_string(key));
        log.SetFieldText("sentname1", "123 Main Street");
        log.SetFieldText("city", "Springfield");
        log.SetFieldText("state", "IL");
        log.SetFieldText("zip", "62701-1234");
        log.SetFieldText("rdate", "12/8/2026");
        log.SetFieldText("mailernum", GroupMailerNumber(ComposeMailerNumber(
                                          "123456789", std::to_string(oneNumber() ? 42 : i + 1),
                                          kTNumberPrefix)));
        log.SetFieldText("postage", "      0.39");
        log.SetFieldText("certified", "      2.40");
        log.SetFieldText("return", "      1.85");
        log.SetFieldText("total", "      4.64");
        log.SetFieldText("comments", "Lease notice");
        log.SetFieldText("re", "Unit 12");
        log.AppendRec();
      }
      log.UnLock();
    }
    return f;
  }();
  return folder;
}

const ReportLayout& layout() {
  static const ReportLayout shipped = loadReportLayout(KESTREL_REPORT_LAYOUT);
  return shipped;
}

void reportPeakMemory(benchmark::State& state) {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The log opened and sorted by name, as the Report menu's By Name does.
void openSortedByName(TTzDbf& log, const std::string& folder) {
  setUpMailingLog(log, folder);
  log.Open();
  log.IndexOnOne("sentname0", "name");
}

// Open, sort by name, read the first page's records and draw page 1 as the
// preview does at 100 percent.
void BM_FirstPage(benchmark::State& state, const char* report) {
  const std::string folder = programFolder();
  for (auto _ : state) {
    TTzDbf log("MailingLog");
    openSortedByName(log, folder);
    ReportDocument document(layout(), *layout().find(report), {{"MyTime", "Date Printed: now"}},
                            log);
    document.begin();
    document.readThrough(0);
    QImage page(816, 1056, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    drawReportPage(painter, document, 0, 96, 96);
    painter.end();
    state.counters["pages"] = document.pageCount();
    log.Close();
  }
  reportPeakMemory(state);
}

// The same and every page to a PDF file, as the printer destination does
// without a printer.
void BM_WholePdf(benchmark::State& state, const char* report) {
  const std::string folder = programFolder();
  for (auto _ : state) {
    TTzDbf log("MailingLog");
    openSortedByName(log, folder);
    ReportDocument document(layout(), *layout().find(report), {{"MyTime", "Date Printed: now"}},
                            log);
    document.begin();  // the pages are read as they print
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setFullPage(true);
    printer.setOutputFileName(QString::fromStdString(folder + "report.pdf"));
    ReportStatus status(QStringLiteral("Report Status"));
    printReportDocument(document, printer, QStringLiteral("ReportPrinter Report"), status,
                        QStringLiteral("Printing page %p"));
    state.counters["pages"] = document.pageCount();
    state.counters["pdf_MiB"] =
        static_cast<double>(std::filesystem::file_size(folder + "report.pdf")) / (1 << 20);
    log.Close();
  }
  reportPeakMemory(state);
}

BENCHMARK_CAPTURE(BM_FirstPage, Short, "ShortDetail")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_FirstPage, Full, "FullDetail")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_WholePdf, Short, "ShortDetail")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_WholePdf, Full, "FullDetail")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  kestrel::SetProgramDateFormat("M/d/yyyy");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
