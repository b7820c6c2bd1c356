// A mailer printed on a real CUPS printer: the test runs its own scheduler
// on a private socket with a cups-pdf queue as the machine's only (and
// default) printer, prints through the program's current printer, and reads
// the page that CUPS made with pdftotext and zxing-cpp.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <cmath>

#include "CodeReader.h"
#include "PrivateCups.h"
#include "QtPrinting.h"
#include "SampleRequest.h"
#include "core/Settings.h"
#include "print/CurrentPrinter.h"
#include "print/FormPrinter.h"
#include "print/PrintError.h"

namespace kestrel {
namespace {

using test::PrivateCups;

const QFont kBaseFont(QStringLiteral("Arial"), 8);

PrintRequest mailerRequest() {
  PrintRequest request = test::sampleRequest();
  request[slot::kPrintExtraLabel] = "No";
  return request;
}

QString pdfText(const QString& path) {
  QProcess process;
  process.start("pdftotext", {"-layout", path, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The page's turn as the PDF asks viewers to show it (degrees clockwise).
int pageRotation(const QString& pdf) {
  QProcess process;
  process.start("pdfinfo", {pdf});
  process.waitForFinished(30000);
  const QString info = QString::fromUtf8(process.readAllStandardOutput());
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("Page rot:\\s*(\\d+)")).match(info);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The first page at `dpi`, as pdftoppm draws it, turned back to the sheet as
// it lay in the printer: cups-pdf's Ghostscript turns a page whose text
// mostly runs upside down, as the mailer's does, by marking it rotated.
QImage pageImage(const QString& pdf, const QString& prefix, int dpi) {
  QProcess process;
  process.start("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", "-f", "1",
                             "-l", "1", pdf, prefix});
  process.waitForFinished(60000);
  return QImage(prefix + QStringLiteral(".png"))
      .transformed(QTransform().rotate(-pageRotation(pdf)));
}

// A new user's machine: Kestrel runs before any printer is installed, so
// the first mailer becomes a PDF file; then a printer is installed and made
// the default, and the next mailer goes to it. (First in this file: the
// other test chooses a printer for the rest of the run.)
TEST(CupsPrinting, APrinterInstalledAfterStartTakesTheNextMailer) {
  PrivateCups cups;
  const QString problem = cups.startWithoutPrinter();
  ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
  QTemporaryDir program;
  ASSERT_TRUE(program.isValid());
  Settings().ProgramFolder = program.path().toStdString() + "/";
  const QDir printed(program.filePath(QStringLiteral("Printed")));

  ASSERT_FALSE(hasInstalledPrinter());
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), "9214712345678900000015");
  EXPECT_EQ(printed.entryList({"*.pdf"}, QDir::Files).size(), 1);

  const QString added = cups.addQueue();
  ASSERT_TRUE(added.isEmpty()) << added.toStdString();
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), "9214712345678900000015");
  const QString pdf = cups.waitForPrintedPdf();
  ASSERT_FALSE(pdf.isEmpty()) << "no finished job in " << cups.outputFolder().toStdString();
  EXPECT_TRUE(pdfText(pdf).contains("9214 7123 4567 8900 0000 15"));
  EXPECT_EQ(printed.entryList({"*.pdf"}, QDir::Files).size(), 1) << "no second PDF file";
  Settings().ProgramFolder.clear();
}

TEST(CupsPrinting, AMailerGoesAsOneJobToTheDefaultPrinterAndARefusedJobIsAPrintError) {
  PrivateCups cups;
  const QString problem = cups.start();
  ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();

  ASSERT_TRUE(hasInstalledPrinter());
  EXPECT_EQ(printerForNextJob().outputFormat(), QPrinter::NativeFormat);
  EXPECT_EQ(printerForNextJob().printerName(), cups.queue());

  const std::string tNumber = "9214712345678900000015";
  const std::string fNumber = "9290912345678900000019";
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), tNumber);

  const QString pdf = cups.waitForPrintedPdf();
  ASSERT_FALSE(pdf.isEmpty()) << "no finished job in " << cups.outputFolder().toStdString();

  const QString text = pdfText(pdf);
  for (const char* expected : {"9214 7123 4567 8900 0000 15", "9290 9123 4567 8900 0000 19",
                               "SENDER NAME", "RECIPIENT NAME", "RE: Invoice 17", "$ 11.15"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;

  // The four Code 128 symbols, where the layout puts them on the sheet.
  constexpr int kDpi = 300;
  const QImage page = pageImage(pdf, QDir(cups.outputFolder()).filePath("page"), kDpi);
  ASSERT_FALSE(page.isNull());
  const struct {
    const std::string& number;
    double x, y, height;  // inches from the sheet's top-left corner
  } symbols[] = {{tNumber, 0.62, 4.1, 0.75},
                 {fNumber, 4.7, 5.0, 0.75},
                 {tNumber, 2.4, 2.06, 0.4},
                 {fNumber, 2.4, 0.4, 0.4}};
  for (const auto& symbol : symbols) {
    const QRect area(static_cast<int>(std::lround((symbol.x - 0.1) * kDpi)),
                     static_cast<int>(std::lround((symbol.y - 0.05) * kDpi)),
                     static_cast<int>(std::lround(2.7 * kDpi)),
                     static_cast<int>(std::lround((symbol.height + 0.1) * kDpi)));
    EXPECT_EQ(test::decodeIn(page, area).text, symbol.number)
        << "symbol at " << symbol.x << ", " << symbol.y;
  }

  // A queue that accepts no jobs refuses the next one: the mailer is not
  // printed, and the caller hears of it.
  ASSERT_EQ(cups.refuseJobs(), QString());
  try {
    PrintMailer(mailerRequest(), true, kBaseFont);
    ADD_FAILURE() << "a refused job counted as printed";
  } catch (const PrintError& error) {
    EXPECT_NE(std::string(error.what()).find("refused the print job"), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(QDir(QDir::tempPath()).entryList({"kestrel-job-*"}), QStringList())
      << "spool files removed";

  // A PDF file chosen in Printer Setup takes the job, and only a whole file
  // counts as printed there too.
  QTemporaryDir chosen;
  const QString chosenFile = chosen.filePath("chosen.pdf");
  keepChosenPrinter();
  currentPrinter().setOutputFormat(QPrinter::PdfFormat);
  currentPrinter().setOutputFileName(chosenFile);
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), tNumber);
  EXPECT_TRUE(pdfText(chosenFile).contains("9214 7123 4567 8900 0000 15"));
  currentPrinter().setOutputFileName("/dev/full");
  EXPECT_THROW(PrintMailer(mailerRequest(), true, kBaseFont), PrintError);
}

}  // namespace
}  // namespace kestrel
