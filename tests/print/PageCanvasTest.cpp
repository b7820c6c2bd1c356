#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QPrinter>
#include <QTemporaryDir>

#include "print/ImageCanvas.h"
#include "print/PrintError.h"
#include "print/PrinterCanvas.h"
#include "print/RecordingCanvas.h"
#include "print/SelectRotatedFont.h"

namespace kestrel {
namespace {

// The bounding box of the dark pixels of a grey page, or an empty one.
QRect ink(const QImage& page, QRect within) {
  within &= page.rect();
  QRect box;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if (qGray(page.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(PageCanvas, FontSizesAreEmHeightsAtThePrintersResolution) {
  EXPECT_EQ(fontPixelHeight(11, 600), 92);  // 91.67
  EXPECT_EQ(fontPixelHeight(10, 600), 83);  // 83.33
  EXPECT_EQ(fontPixelHeight(8, 300), 33);
  EXPECT_EQ(fontPixelHeight(6, 300), 25);
  EXPECT_EQ(fontPixelHeight(9, 100), 13);  // 12.5: halves away from zero

  RecordingCanvas canvas(PageGeometry{300, 600, 0, 0});
  canvas.startJob("fonts");
  SelectRotatedFont(canvas, "OCR A Extended", 10, 270, false);
  EXPECT_EQ(canvas.font(), (PageFont{"OCR A Extended", 83, 270, false}));
}

TEST(PageCanvas, MailerFacesResolveToInstalledOutlineFonts) {
  ImageCanvas canvas(300);
  EXPECT_EQ(QFontInfo(PainterCanvas::qtFont({"OCR A Extended", 40, 0, false})).family(), "OCRA");
  const QFontInfo arial(PainterCanvas::qtFont({"Arial", 40, 0, true}));
  EXPECT_EQ(arial.family(), "Liberation Sans");
  EXPECT_TRUE(arial.bold());
  EXPECT_EQ(arial.pixelSize(), 40);
}

// Letters the OCR face lacks are drawn as OCR-A letters, never taken from an
// unrelated face; the base font's texts are drawn as they are.
TEST(PageCanvas, OcrLinesDrawOnlyOcrGlyphs) {
  const PageFont ocr{"OCR A Extended", 40, 180, false};
  const struct {
    QString layout, drawn;
  } lines[] = {
      {QString::fromUtf8("JOS\u00E9 M\u00FCLLER"), QString::fromUtf8("JOSE M\u00FCLLER")},
      {QString::fromUtf8("\u00C9COLE \u00DCBER STRA\u00DFE"), "ECOLE UBER STRASSE"},
      {QString::fromUtf8("RE: Ren\u00E9 Stra\u00DFe"), "RE: Rene Strasse"},
      {QString::fromUtf8("NI\u00D1O \u00C4 \u20AC 5"),
       QString::fromUtf8("NI\u00D1O \u00C4 \u20AC 5")},
      {"1234 5678", "1234 5678"},
  };
  for (const auto& line : lines)
    EXPECT_EQ(PainterCanvas::drawableText(ocr, line.layout), line.drawn);
  const QString typed = QString::fromUtf8("Ren\u00E9 Stra\u00DFe");
  EXPECT_EQ(PainterCanvas::drawableText({"Arial", 40, 180, false}, typed), typed);
}

TEST(PageCanvas, TextTurnsAboutTheTopLeftCornerOfItsCell) {
  ImageCanvas canvas(300, QSizeF(4, 4));
  canvas.startJob("angles");
  SelectRotatedFont(canvas, "OCR A Extended", 20, 0, false);
  const int width = canvas.textWidth("HHHH");
  const int cell = QFontMetrics(PainterCanvas::qtFont(canvas.font())).height();
  canvas.drawText(400, 100, "HHHH");
  SelectRotatedFont(canvas, "OCR A Extended", 20, 180, false);
  canvas.drawText(600, 700, "HHHH");
  SelectRotatedFont(canvas, "OCR A Extended", 20, 270, false);
  canvas.drawText(900, 700, "HHHH");
  canvas.endJob();
  const QImage& page = canvas.lastPage();

  // Upright: to the right of and below the corner, within the advance width.
  const QRect upright = ink(page, QRect(300, 0, 600, 300));
  EXPECT_GE(upright.left(), 400);
  EXPECT_LE(upright.right(), 400 + width);
  EXPECT_GT(upright.top(), 100);
  EXPECT_LT(upright.bottom(), 100 + cell);
  // Upside down: to the left of and above the corner.
  const QRect turned = ink(page, QRect(0, 400, 700, 320));
  EXPECT_LE(turned.right(), 600);
  EXPECT_GE(turned.left(), 600 - width);
  EXPECT_LT(turned.bottom(), 700);
  EXPECT_GT(turned.top(), 700 - cell);
  // At 270 degrees: running down the sheet from the corner, to its left.
  const QRect down = ink(page, QRect(750, 650, 250, 500));
  EXPECT_LE(down.right(), 900);
  EXPECT_GT(down.left(), 900 - cell);
  EXPECT_GE(down.top(), 700);
  EXPECT_LE(down.bottom(), 700 + width);
  EXPECT_GT(down.height(), down.width());
}

TEST(PageCanvas, TextCellIsOpaqueWhiteAndImagesAreStretchedWithoutSmoothing) {
  ImageCanvas canvas(300, QSizeF(2, 2));
  canvas.startJob("cells");
  // A 2 x 1 checker stretched to 200 x 100 pixels: a black and a white square.
  QImage checker(2, 1, QImage::Format_Mono);
  checker.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  checker.setPixel(0, 0, 1);
  checker.setPixel(1, 0, 0);
  canvas.drawMonoImage(checker, QRect(100, 100, 200, 100));
  SelectRotatedFont(canvas, "Arial", 8, 0, false);
  canvas.drawText(110, 110, ".");  // a dot: most of its cell is background
  canvas.endJob();
  const QImage& page = canvas.lastPage();

  QSet<int> greys;
  for (int y = 100; y < 200; ++y)
    for (int x = 100; x < 300; ++x)
      if (!(x >= 110 && x < 110 + 20 && y >= 110 && y < 110 + 40))
        greys.insert(qGray(page.pixel(x, y)));
  EXPECT_EQ(greys, (QSet<int>{0, 255})) << "stretching must not blend black into white";
  EXPECT_EQ(qGray(page.pixel(199, 150)), 0);
  EXPECT_EQ(qGray(page.pixel(200, 150)), 255);
  // The cell's top-left corner is inside the black square and now white.
  EXPECT_EQ(qGray(page.pixel(111, 111)), 255);
}

TEST(PageCanvas, ImagesWithDifferentRowsKeepThemWhenStretched) {
  QImage rows(3, 2, QImage::Format_Mono);
  rows.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  rows.fill(0);
  rows.setPixel(0, 0, 1);  // top row: black, white, white
  rows.setPixel(2, 1, 1);  // bottom row: white, white, black
  EXPECT_FALSE(PainterCanvas::hasIdenticalRows(rows));
  QImage bars = rows.copy(0, 0, 3, 1).scaled(3, 50);
  EXPECT_TRUE(PainterCanvas::hasIdenticalRows(bars));

  ImageCanvas canvas(300, QSizeF(1, 1));
  canvas.startJob("rows");
  canvas.drawMonoImage(rows, QRect(0, 0, 300, 200));
  canvas.drawMonoImage(bars, QRect(0, 200, 300, 100));
  canvas.endJob();
  const QImage& page = canvas.lastPage();
  EXPECT_EQ(qGray(page.pixel(50, 50)), 0);
  EXPECT_EQ(qGray(page.pixel(250, 50)), 255);
  EXPECT_EQ(qGray(page.pixel(50, 150)), 255);
  EXPECT_EQ(qGray(page.pixel(250, 150)), 0);
  EXPECT_EQ(qGray(page.pixel(50, 290)), 0);
  EXPECT_EQ(qGray(page.pixel(250, 290)), 255);
}

TEST(PageCanvas, ImageCanvasCoversThePrintableAreaOfItsOffsets) {
  ImageCanvas canvas(600, QSizeF(8.5, 11), QPointF(0.25, 0.5));
  canvas.startJob("geometry");
  EXPECT_EQ(canvas.geometry().pixelsPerInchX, 600);
  EXPECT_EQ(canvas.geometry().physicalOffsetX, 150);
  EXPECT_EQ(canvas.geometry().physicalOffsetY, 300);
  canvas.endJob();
  EXPECT_EQ(canvas.lastPage().size(), QSize(4800, 6000));

  ImageCanvas nothingPrintable(300, QSizeF(1, 1), QPointF(0.5, 0.5));
  EXPECT_THROW(nothingPrintable.startJob("empty"), PrintError);
}

TEST(PageCanvas, AnInterruptedJobLeavesTheDeviceReadyForTheNext) {
  ImageCanvas image(100, QSizeF(1, 1));
  EXPECT_THROW(image.endJob(), PrintError);
  image.startJob("first");
  EXPECT_THROW(image.startJob("second"), PrintError);
  image.abortJob();
  image.startJob("third");
  image.endJob();
  EXPECT_EQ(image.pagesFinished(), 1);

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("missing-folder/out.pdf"));
  PrinterCanvas canvas(printer);
  EXPECT_THROW(canvas.startJob("refused"), PrintError);
  printer.setOutputFileName(dir.filePath("out.pdf"));
  canvas.startJob("accepted");
  canvas.endJob();
  EXPECT_GT(QFileInfo(dir.filePath("out.pdf")).size(), 0);
}

TEST(PageCanvas, PrinterCanvasReadsResolutionAndPhysicalOffsets) {
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setOutputFileName(dir.filePath("margins.pdf"));
  printer.setPageMargins(QMarginsF(0.25, 0.5, 0.25, 0.5), QPageLayout::Inch);
  PrinterCanvas canvas(printer);
  canvas.startJob("margins");
  EXPECT_EQ(canvas.geometry().pixelsPerInchX, 600);
  EXPECT_EQ(canvas.geometry().pixelsPerInchY, 600);
  EXPECT_EQ(canvas.geometry().physicalOffsetX, 150);
  EXPECT_EQ(canvas.geometry().physicalOffsetY, 300);
  canvas.endJob();
}

TEST(PageCanvas, RecordingCanvasMeasuresByAFixedRule) {
  RecordingCanvas canvas(PageGeometry{600, 600, 0, 0});
  canvas.startJob("rule");
  canvas.setFont(PageFont{"Arial", 50, 180, false});
  EXPECT_EQ(canvas.textWidth("12.50"), 150);  // 5 x 50 x 0.6
  EXPECT_EQ(canvas.textWidth(""), 0);
  canvas.endJob();
}

}  // namespace
}  // namespace kestrel
