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
}  // namespace

QPrinter& currentPrinter() {
  if (!g_printer) {
    g_printer = new QPrinter(QPrinter::HighResolution);
    g_pdfFallback = !hasInstalledPrinter();
    if (g_pdfFallback)
      makePdfWriter(*g_printer);
    else if (g_printer->printerName().isEmpty())
      // Printers but no system default: the first one, until Printer Setup
      // chooses another.
      g_printer->setPrinterName(QPrinterInfo::availablePrinterNames().constFirst());
    // The printer belongs to the application's lifetime; Qt's print support
    // must not outlive it.
    qAddPostRoutine(deletePrinter);
  }
  return *g_printer;
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
  return QDir::cleanPath(QString::fromStdString(folder) + QStringLiteral("Printed"));
}

QString prepareNextPdfJob() {
  QPrinter& printer = currentPrinter();
  // A real printer, or a PDF file the user chose in Printer Setup, keeps
  // its own destination.
  if (!g_pdfFallback || printer.outputFormat() != QPrinter::PdfFormat) return {};
  const QString folder = pdfJobFolder();
  const std::string folderName = QFile::encodeName(folder).toStdString();
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
      return path;
    }
    if (!QFile::exists(path)) break;  // not a name clash: the folder refuses files
  }
  QString reason = QStringLiteral("No PDF file can be made in the folder \"%1\".").arg(folder);
  // A user outside the group that shares the folder learns which group to join.
  if (const std::string refusal = writeRefusal(folderName); !refusal.empty())
    reason += QLatin1Char('\n') + QFile::decodeName(refusal.c_str());
  throw PrintError(reason);
}

}  // namespace kestrel
