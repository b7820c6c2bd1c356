// Speed of the form printer on the devices it draws on: one mailer as a
// 600-dpi PDF and as a 300-dpi page image, the check that a PDF was written
// whole, and a 1,000-label pre-print run.
// Each benchmark reports the process's peak memory; run.sh runs them in
// separate processes so that each peak is its own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFile>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include "SampleRequest.h"
#include "print/FormPrinter.h"
#include "print/ImageCanvas.h"
#include "print/PdfFileCheck.h"
#include "print/PrinterCanvas.h"

namespace {

using namespace kestrel;

const QFont& baseFont() {
  static const QFont font(QStringLiteral("Arial"), 8);
  return font;
}

PrintRequest mailer() {
  PrintRequest request = test::fullSampleRequest();
  request[slot::kRestrictedFee] = "     5.10";
  request[slot::kTotal] = "    16.25";
  return request;
}

void reportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The PDF writer a machine without a printer prints to: one file per job.
void pdfPrinter(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setFullPage(true);
  printer.setOutputFileName(path);
}

void BM_MailerPdf600(benchmark::State& state) {
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  pdfPrinter(printer, dir.filePath("mailer.pdf"));
  PrinterCanvas canvas(printer);
  const PrintRequest request = mailer();
  for (auto _ : state) benchmark::DoNotOptimize(PrintMailer(canvas, request, true, baseFont()));
  reportPeakMemory(state);
}
BENCHMARK(BM_MailerPdf600)->Unit(benchmark::kMillisecond);

void BM_MailerImage300(benchmark::State& state) {
  ImageCanvas canvas(300);
  const PrintRequest request = mailer();
  for (auto _ : state) benchmark::DoNotOptimize(PrintMailer(canvas, request, true, baseFont()));
  reportPeakMemory(state);
}
BENCHMARK(BM_MailerImage300)->Unit(benchmark::kMillisecond);

// 1,000 labels, each its own job and PDF file, as the pre-print command
// prints them on a machine without a printer.
void BM_LabelRun1000Pdf(benchmark::State& state) {
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  pdfPrinter(printer, dir.filePath("label.pdf"));
  int job = 0;
  PrinterCanvas canvas(printer, [&] {
    printer.setOutputFileName(dir.filePath(QStringLiteral("label-%1.pdf").arg(++job)));
  });
  for (auto _ : state) PrintBarCodeLabels(canvas, 1000, "123456789", "0000001", 0, 0, baseFont());
  state.counters["labels_per_s"] = benchmark::Counter(
      1000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  reportPeakMemory(state);
}
BENCHMARK(BM_LabelRun1000Pdf)->Unit(benchmark::kSecond)->Iterations(1);

// Reading a finished mailer PDF back to make sure it is whole, as every PDF
// job does before it counts as printed: its share of BM_MailerPdf600.
void BM_CheckMailerPdf(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("mailer.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, path);
    PrinterCanvas canvas(printer);
    PrintMailer(canvas, mailer(), true, baseFont());
  }
  const std::string file = QFile::encodeName(path).toStdString();
  for (auto _ : state) benchmark::DoNotOptimize(isCompletePdf(file));
  if (!isCompletePdf(file)) state.SkipWithError("the mailer PDF does not read back whole");
}
BENCHMARK(BM_CheckMailerPdf)->Unit(benchmark::kMicrosecond);

// The same run drawn as 300-dpi page images (a preview of every label).
void BM_LabelRun1000Image300(benchmark::State& state) {
  ImageCanvas canvas(300);
  for (auto _ : state) PrintBarCodeLabels(canvas, 1000, "123456789", "0000001", 0, 0, baseFont());
  state.counters["labels_per_s"] = benchmark::Counter(
      1000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  reportPeakMemory(state);
}
BENCHMARK(BM_LabelRun1000Image300)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
