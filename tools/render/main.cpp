// kestrel-render: draws a mailer or a run of pre-printed labels to PDF or PNG
// files through the same form printer the program uses on paper.
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <cstdio>
#include <exception>
#include <iostream>

#include "PngFile.h"
#include "RenderOptions.h"
#include "RequestFile.h"
#include "core/InfoOptions.h"
#include "platform/AnsiText.h"
#include "print/FormPrinter.h"
#include "print/ImageCanvas.h"
#include "print/PrintError.h"
#include "print/PrinterCanvas.h"

namespace {

using kestrel::render::RenderOptions;

constexpr int kPdfResolution = 600;
constexpr int kUsageError = 2;
constexpr int kPrintFailure = 1;

// The base font the main window hands to the form printer.
QFont baseFont() {
  return QFont(QStringLiteral("Arial"), 8);
}

// "labels.png" with 12 pages becomes "labels-01.png" ... "labels-12.png".
QString numberedPath(const QString& path, int page, int pages) {
  if (pages == 1) return path;
  const QFileInfo info(path);
  const int width = static_cast<int>(QString::number(pages).size());
  const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
  return info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('-') +
         QStringLiteral("%1").arg(page + 1, width, 10, QLatin1Char('0')) + suffix;
}

// Draws the request or the labels on the canvas.
void render(kestrel::PageCanvas& canvas, const RenderOptions& options,
            const kestrel::PrintRequest& request) {
  if (options.mode == RenderOptions::Mode::Mailer)
    kestrel::PrintMailer(canvas, request, options.barcodes, baseFont());
  else
    kestrel::PrintBarCodeLabels(canvas, options.count, options.custId, options.serial,
                                options.leftRight, options.topBottom, baseFont());
}

void renderPdf(const RenderOptions& options, const kestrel::PrintRequest& request) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(kPdfResolution);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setFullPage(false);
  const QPointF offset = options.offsetInches;
  printer.setPageMargins(QMarginsF(offset.x(), offset.y(), offset.x(), offset.y()),
                         QPageLayout::Inch);
  printer.setOutputFileName(options.outputPath);
  kestrel::PrinterCanvas canvas(printer);
  canvas.setJobsShareDocument(true);  // one label a page, all in one file
  render(canvas, options, request);
  canvas.finishDocument();
}

void renderPng(const RenderOptions& options, const kestrel::PrintRequest& request) {
  kestrel::ImageCanvas canvas(options.dpi, QSizeF(8.5, 11.0), options.offsetInches);
  const int pages = options.mode == RenderOptions::Mode::Labels ? options.count : 1;
  canvas.setPageSink([&](const QImage& page, int number) {
    kestrel::render::writePngFile(page, numberedPath(options.outputPath, number, pages));
  });
  render(canvas, options, request);
}

}  // namespace

// What "kestrel-render --help" answers: the usage and what the options do.
constexpr const char* kHelp =
    "%1"
    "\n"
    "Draws a mailer, or a run of pre-printed bar-code labels, to PDF or PNG files\n"
    "through the form printer Kestrel prints with on paper.\n"
    "\n"
    "Options:\n"
    "  --request FILE   the mailer: a text file of the 28 lines of a print request\n"
    "  --barcodes       print the mailer number as Code 128 bar codes\n"
    "  --labels COUNT CUSTID SERIAL\n"
    "                   COUNT labels for the 9-digit customer ID CUSTID and the\n"
    "                   7-digit serial number SERIAL, as Print Bar Codes takes them\n"
    "  --align LR,TB    the labels' printer alignment offsets\n"
    "  --pdf OUT        write one PDF file\n"
    "  --png OUT        write PNG files, one a page (numbered when there are several)\n"
    "  --dpi N          the PNG resolution\n"
    "  --offset X,Y     the printer's unprintable margins, in inches\n"
    "  --help           show this text and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Exit status: 0 done, 1 the page could not be drawn or written, 2 bad arguments.\n";

int main(int argc, char** argv) {
  if (kestrel::answerInfoOption(argc, argv, "kestrel-render",
                                QString::fromLatin1(kHelp)
                                    .arg(QString::fromLatin1(kestrel::render::kUsage))
                                    .toStdString(),
                                std::cout))
    return 0;
  // A tool for scripts: without a display it draws off screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QString error;
  const std::optional<RenderOptions> options =
      kestrel::render::parseRenderOptions(app.arguments().mid(1), error);
  if (!options) {
    std::fprintf(stderr, "kestrel-render: %s\n%s", qPrintable(error), kestrel::render::kUsage);
    return kUsageError;
  }
  kestrel::PrintRequest request;
  if (options->mode == RenderOptions::Mode::Mailer) {
    const auto read = kestrel::render::readRequestFile(options->requestFile, error);
    if (!read) {
      std::fprintf(stderr, "kestrel-render: %s\n", qPrintable(error));
      return kUsageError;
    }
    request = *read;
  }
  try {
    if (options->output == RenderOptions::Output::Pdf)
      renderPdf(*options, request);
    else
      renderPng(*options, request);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrel-render: %s\n",
                 kestrel::fromAnsi(e.what()).toLocal8Bit().constData());
    return kPrintFailure;
  }
  return 0;
}
