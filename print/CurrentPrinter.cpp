#include "print/CurrentPrinter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/Folders.h"
#include "core/Settings.h"
#include "platform/AnsiText.h"
#include "platform/LocalPath.h"
#include "print/PrintError.h"

namespace kestrel {

namespace {
// PDF pages are drawn at the resolution of a good office printer, so that
// bar widths come out as they would on paper.
constexpr int kPdfResolution = 600;

QPrinter* g_printer = nullptr;
// Whether the printer is the machine's PDF fallback (no printer installed), as
// opposed to a PDF file chosen in Printer Setup.
bool g_pdfFallback = false;
// Whether the user chose the printer in this run; until then it follows the
// system's default.
bool g_chosenByUser = false;
PdfFallbackNotice g_pdfFallbackNotice;

void deletePrinter() {
  delete g_printer;
  g_printer = nullptr;
}

// A PDF has no unprintable margin: the whole sheet is the printable area and
// the physical offsets are zero.
void makePdfWriter(QPrinter& printer) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(kPdfResolution);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setFullPage(true);
}

// The printer the system offers now: its default printer, else the first
// one; empty when the machine has none.
QString systemPrinterName() {
  const QString byDefault = QPrinterInfo::defaultPrinterName();
  if (!byDefault.isEmpty()) return byDefault;
  const QStringList names = QPrinterInfo::availablePrinterNames();
  return names.isEmpty() ? QString() : names.constFirst();
}

// A printer set up afresh for the named printer, or the PDF fallback for an
// empty name, as at the first job of the run.
void makePrinter(const QString& name) {
  if (!g_printer) {
    // The printer belongs to the application's lifetime; Qt's print support
    // must not outlive it.
    qAddPostRoutine(deletePrinter);
  }
  deletePrinter();
  g_printer = new QPrinter(QPrinter::HighResolution);
  g_pdfFallback = name.isEmpty();
  if (g_pdfFallback)
    makePdfWriter(*g_printer);
  else if (g_printer->printerName() != name)
    g_printer->setPrinterName(name);
}
}  // namespace

QPrinter& currentPrinter() {
  if (!g_printer) makePrinter(systemPrinterName());
  return *g_printer;
}

QPrinter& printerForNextJob() {
  QPrinter& printer = currentPrinter();
  if (g_chosenByUser) return printer;
  const QString name = systemPrinterName();
  const bool unchanged = name.isEmpty() ? g_pdfFallback
                                        : !g_pdfFallback && printer.printerName() == name &&
                                              printer.outputFormat() == QPrinter::NativeFormat;
  // A fresh printer, not the old one renamed: the new printer's own paper,
  // margins and resolution apply, as they would had it been there at start.
  if (!unchanged) makePrinter(name);
  return *g_printer;
}

void keepChosenPrinter() {
  g_chosenByUser = true;
}

void setPdfFallbackNotice(PdfFallbackNotice notice) {
  g_pdfFallbackNotice = std::move(notice);
}

bool hasInstalledPrinter() {
  return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString pdfJobFolder() {
  // The program folder the main window was given (the executable's own
  // folder, unless a test hands in another); tools without a window use the
  // executable's.
  const std::string& given = Settings().ProgramFolder;
  const std::string folder = given.empty() ? programFolderPath() : given;
  return QDir::cleanPath(fromLocalPath(folder) + QStringLiteral("Printed"));
}

QString prepareNextPdfJob() {
  QPrinter& printer = currentPrinter();
  // A real printer, or a PDF file the user chose in Printer Setup, keeps
  // its own destination.
  if (!g_pdfFallback || printer.outputFormat() != QPrinter::PdfFormat) return {};
  const QString folder = pdfJobFolder();
  const std::string folderName = toLocalPath(folder);
  if (!makeSharedFolder(folderName))
    throw PrintError(
        QStringLiteral("The folder \"%1\" for printed PDF files cannot be made.").arg(folder));
  // Claiming the name by creating the file keeps two copies of the program
  // that share the folder from writing the same file.
  const QString stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const QString name = attempt == 0 ? QStringLiteral("Kestrel-%1.pdf").arg(stamp)
                                      : QStringLiteral("Kestrel-%1-%2.pdf").arg(stamp).arg(attempt);
    const QString path = folder + QLatin1Char('/') + name;
    QFile claim(path);
    if (claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      claim.close();
      printer.setOutputFileName(path);
      if (g_pdfFallbackNotice) g_pdfFallbackNotice(folder);
      return path;
    }
    if (!QFile::exists(path)) break;  // not a name clash: the folder refuses files
  }
  QString reason = QStringLiteral("No PDF file can be made in the folder \"%1\".").arg(folder);
  // A user outside the group that shares the folder learns which group to join.
  if (const std::string refusal = writeRefusal(folderName); !refusal.empty())
    reason += QLatin1Char('\n') + fromAnsi(refusal);
  throw PrintError(reason);
}

}  // namespace kestrel
