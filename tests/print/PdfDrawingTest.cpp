// The form printer's own PDF writer against Qt's: the same mailer drawn with
// QPainter into Qt's PDF writer and written by PdfDrawing reads back as the
// same text in the same places (pdftotext -layout) and renders to the same
// pixels (pdftoppm) but for the shades of glyph edges. The bar codes are
// left out: Qt's writer scales their images to a hair less than their
// width, and the decoding tests read them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include "SampleRequest.h"
#include "print/FormPrinter.h"
#include "print/PainterCanvas.h"
#include "print/PrintError.h"
#include "print/PrinterCanvas.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

const QFont kBaseFont(QStringLiteral("Arial"), 8);

// Draws through QPainter onto Qt's PDF writer, as every printer did before
// the form printer wrote its PDF itself.
class QtPdfCanvas : public PainterCanvas {
 public:
  explicit QtPdfCanvas(QPrinter& printer) : m_printer(printer) {}
  void startJob(const QString&) override { beginPainting(m_printer, "refused"); }
  void endJob() override { endPainting(); }
  void abortJob() noexcept override { endPainting(); }
  PageGeometry geometry() const override { return PageGeometry{600, 600, 0, 0}; }

 private:
  QPrinter& m_printer;
};

void setUpPdf(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setFullPage(true);
  printer.setOutputFileName(path);
}

QByteArray run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
  EXPECT_EQ(process.readAllStandardError(), QByteArray()) << program.toStdString();
  return process.readAllStandardOutput();
}

QImage rendered(const QString& pdf, int dpi) {
  run("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, pdf});
  return QImage(pdf + ".pgm");
}

TEST(PdfDrawingTest, WritesTheMailerAsQtsPdfWriterDrawsIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  PrintRequest request = test::fullSampleRequest();
  // Accents the OCR face spells without them, a ligature-prone pair, and a
  // sign that only a fallback face has.
  request[slot::kRecipientLine1] =
      "Ren\xE9"
      "e M\xFCller & S\xF8n \x80 office";
  request[slot::kComment] = "fine print: ffi 100%";
  const QString qtPdf = dir.filePath("qt.pdf");
  const QString ownPdf = dir.filePath("own.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, qtPdf);
    QtPdfCanvas canvas(printer);
    PrintMailer(canvas, request, true, kBaseFont);
  }
  {
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, ownPdf);
    PrinterCanvas canvas(printer);
    PrintMailer(canvas, request, true, kBaseFont);
  }
  const QByteArray ownText = run("pdftotext", {"-layout", ownPdf, "-"});
  EXPECT_EQ(ownText, run("pdftotext", {"-layout", qtPdf, "-"}));
  EXPECT_TRUE(
      ownText.contains("Ren\xC3\xA9"
                       "e M\xC3\xBCller & S\xC3\xB8n \xE2\x82\xAC office"))
      << ownText.toStdString();

  // Where the mailer's images go, in 600-dpi pixels.
  RecordingCanvas recorder(PageGeometry{600, 600, 0, 0});
  recorder.setMeasureWithFonts(true);
  PrintMailer(recorder, request, true, kBaseFont);
  std::vector<QRect> images;
  for (const RecordingCanvas::Call& call : recorder.drawings())
    if (call.kind == RecordingCanvas::Call::Kind::Image) images.push_back(call.rect);
  ASSERT_EQ(images.size(), 6u) << "four Code 128 symbols, two POSTNET codes";

  constexpr int kDpi = 150;
  const QImage own = rendered(ownPdf, kDpi);
  const QImage qt = rendered(qtPdf, kDpi);
  ASSERT_EQ(own.size(), QSize(1275, 1650));
  ASSERT_EQ(qt.size(), own.size());
  int compared = 0, largest = 0;
  for (int y = 0; y < own.height(); ++y) {
    for (int x = 0; x < own.width(); ++x) {
      bool inImage = false;
      for (const QRect& image : images)
        inImage |=
            QRect(image.topLeft() / 4, image.size() / 4).adjusted(-2, -2, 2, 2).contains(x, y);
      if (inImage) continue;
      ++compared;
      largest = std::max(largest, qAbs(qGray(own.pixel(x, y)) - qGray(qt.pixel(x, y))));
    }
  }
  EXPECT_GT(compared, own.width() * own.height() * 9 / 10);
  // Qt's writer embeds outlines it traced again from the glyphs, this one
  // the font's own: their edges' grey differs by a few levels, a glyph a
  // pixel off or missing would differ by far more.
  EXPECT_LE(largest, 32);
}

}  // namespace
}  // namespace kestrel
