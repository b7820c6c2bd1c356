// Whole pages drawn as a printer would draw them, checked by independent
// readers: zxing-cpp decodes the Code 128 symbols of page images, pdftotext
// reads the numbers and addresses out of PDF files.
#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "CodeReader.h"
#include "SampleRequest.h"
#include "print/FormPrinter.h"
#include "print/ImageCanvas.h"
#include "print/PageMapping.h"
#include "print/PrinterCanvas.h"

namespace kestrel {
namespace {

using test::Decoded;
using test::decodeIn;

const QFont kBaseFont(QStringLiteral("Arial"), 8);
const std::string kT = "9214712345678900000015";
const std::string kF = "9290912345678900000019";

PrintRequest mailerRequest(const char* leftRight, const char* topBottom) {
  PrintRequest request = test::sampleRequest();
  request[slot::kRecipientZip] = "54321-1234";
  request[slot::kLeftRight] = leftRight;
  request[slot::kTopBottom] = topBottom;
  return request;
}

struct Symbol {
  const std::string& number;
  double x, y;    // inches
  double height;  // inches
};

// The four Code 128 symbols decode to their numbers where the layout puts
// them: within the 2.5-inch rectangle of each image.
void expectSymbols(const QImage& page, const PageMapping& mapping,
                   const std::string& symbology = "]C0") {
  const Symbol symbols[] = {
      {kT, 0.62, 4.1, 0.75}, {kF, 4.7, 5.0, 0.75}, {kT, 2.4, 2.06, 0.4}, {kF, 2.4, 0.4, 0.4}};
  const int dpi = mapping.pixelsPerInchX();
  for (const Symbol& symbol : symbols) {
    const QRect image(mapping.PageX(symbol.x), mapping.PageY(symbol.y),
                      static_cast<int>(std::lround(dpi * 2.5)),
                      static_cast<int>(std::lround(dpi * symbol.height)));
    SCOPED_TRACE(testing::Message() << dpi << " dpi, symbol at " << symbol.x << ", " << symbol.y);
    const Decoded decoded =
        decodeIn(page, image.adjusted(-dpi / 10, -dpi / 20, dpi / 10, dpi / 20));
    EXPECT_EQ(decoded.text, symbol.number);
    EXPECT_EQ(decoded.symbology, symbology);
    EXPECT_TRUE(image.adjusted(-2, -2, 2, 2).contains(decoded.where))
        << "found at " << decoded.where.x() << "," << decoded.where.y() << " "
        << decoded.where.width() << "x" << decoded.where.height();
  }
}

class EndToEnd : public testing::TestWithParam<int> {};

TEST_P(EndToEnd, CodeSymbolsOnThePageImageDecodeToTheNumbersAtTheirPlaces) {
  const int dpi = GetParam();
  // A printer with a quarter-inch unprintable margin and the user's alignment.
  ImageCanvas canvas(dpi, QSizeF(8.5, 11.0), QPointF(0.25, 0.25));
  EXPECT_EQ(PrintMailer(canvas, mailerRequest("4", "-3"), true, kBaseFont), kT);
  ASSERT_EQ(canvas.pagesFinished(), 1);
  canvas.startJob("geometry");
  const PageMapping mapping(canvas.geometry(), 4, -3);
  canvas.abortJob();
  expectSymbols(canvas.lastPage(), mapping);
}

TEST_P(EndToEnd, PrePrintedLabelsDecodeToConsecutiveNumbers) {
  const int dpi = GetParam();
  ImageCanvas canvas(dpi);
  std::vector<std::string> decoded;
  canvas.setPageSink([&](const QImage& page, int) {
    const PageMapping mapping(PageGeometry{dpi, dpi, 0, 0}, 0, 0);
    decoded.push_back(decodeIn(page, QRect(mapping.PageX(4.6), mapping.PageY(4.95), dpi * 27 / 10,
                                           dpi * 85 / 100))
                          .text);
  });
  PrintBarCodeLabels(canvas, 2, "123456789", "9999999", 0, 0, kBaseFont);
  EXPECT_EQ(decoded,
            (std::vector<std::string>{"9290912345678999999997", "9290912345678900000019"}));
}

// With IMpb symbols chosen every symbol of a mailer and of a label is
// GS1-128, which a postal scanner reads as "]C1" and the same 22 digits.
TEST_P(EndToEnd, Gs1SymbolsOfMailersAndLabelsDecodeAsGs1128) {
  const int dpi = GetParam();
  ImageCanvas canvas(dpi, QSizeF(8.5, 11.0), QPointF(0.25, 0.25));
  EXPECT_EQ(PrintMailer(canvas, mailerRequest("0", "0"), true, kBaseFont, TBarCodeType::bcEAN128),
            kT);
  canvas.startJob("geometry");
  const PageMapping mapping(canvas.geometry(), 0, 0);
  canvas.abortJob();
  expectSymbols(canvas.lastPage(), mapping, "]C1");

  PrintBarCodeLabels(canvas, 1, "123456789", "0000001", 0, 0, kBaseFont, nullptr,
                     TBarCodeType::bcEAN128);
  expectSymbols(canvas.lastPage(), mapping, "]C1");
}

INSTANTIATE_TEST_SUITE_P(Resolutions, EndToEnd, testing::Values(300, 600));

// Runs a poppler tool on the file and returns what it printed.
QString poppler(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString printPdf(const QString& path, const PrintRequest& request, bool barcodes) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setFullPage(true);
  printer.setOutputFileName(path);
  PrinterCanvas canvas(printer);
  PrintMailer(canvas, request, barcodes, kBaseFont);
  return poppler("pdftotext", {path, "-"});
}

TEST(EndToEndPdf, HumanReadableNumbersAndAddressesAreTextInThePdf) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString text = printPdf(dir.filePath("mailer.pdf"), mailerRequest("0", "0"), true);
  EXPECT_EQ(text.count("9214 7123 4567 8900 0000 15"), 6) << text.toStdString();
  EXPECT_EQ(text.count("9290 9123 4567 8900 0000 19"), 2) << text.toStdString();
  EXPECT_TRUE(text.contains("OTHERTOWN OT 54321"));
  EXPECT_TRUE(text.contains("Othertown OT 54321"));
  EXPECT_TRUE(text.contains("$ 11.15"));
  EXPECT_TRUE(poppler("pdfinfo", {dir.filePath("mailer.pdf")})
                  .contains(QRegularExpression("Pages:\\s+1\\n")));

  // The bar codes survive the PDF: stored without lossy compression, and
  // decoded again from the page rendered at 300 dpi by poppler.
  QFile pdf(dir.filePath("mailer.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_FALSE(pdf.readAll().contains("/DCTDecode"));
  ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "300", "-gray", "-singlefile",
                                           dir.filePath("mailer.pdf"), dir.filePath("page")}),
            0);
  const QImage page(dir.filePath("page.pgm"));
  ASSERT_EQ(page.size(), QSize(2550, 3300));
  expectSymbols(page, PageMapping(PageGeometry{300, 300, 0, 0}, 0, 0));

  const QString plain = printPdf(dir.filePath("plain.pdf"), mailerRequest("0", "0"), false);
  EXPECT_FALSE(plain.contains("9214")) << "no number without bar codes";
  EXPECT_TRUE(plain.contains("SENDER NAME"));
}

TEST(EndToEndPdf, AnAllEmptyRequestStillPrintsOnePageOfCaptions) {
  QTemporaryDir dir;
  PrintRequest empty;
  empty[22] = "0";
  empty[23] = "0";
  const QString text = printPdf(dir.filePath("empty.pdf"), empty, false);
  for (const char* caption : {"Postage", "Certified Fee", "Return Receipt", "Restricted", "RECEIPT",
                              "FROM:", "SEND TO:", "FEES:", "TOTAL", "POSTMARK OR DATE"})
    EXPECT_TRUE(text.contains(caption)) << caption;
  EXPECT_TRUE(poppler("pdfinfo", {dir.filePath("empty.pdf")})
                  .contains(QRegularExpression("Pages:\\s+1\\n")));
}

}  // namespace
}  // namespace kestrel
