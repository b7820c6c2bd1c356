#include "print/PdfDrawing.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPrinter>
#include <cmath>

#include "pdf/PdfDocument.h"
#include "pdf/PdfError.h"
#include "print/PainterCanvas.h"
#include "print/PdfText.h"
#include "print/PrintError.h"
#include "print/ShapedTexts.h"

namespace kestrel {

namespace {

using pdf::Matrix;

}  // namespace

// A page font at one resolution, with what drawing a text in it needs.
struct PdfPageFont {
  PageFont page;
  int dotsPerInch = 0;
  QFont font;  // resolved for the resolution, as a painter on the printer resolves it
  int ascent = 0;
  int height = 0;
};

namespace {

// What every document of the run shares: the texts as shaped and the page
// fonts at their resolutions. Fonts do not change while the program runs;
// the shapes are bounded by ShapedTexts.
// Kept for the whole run (never destroyed, as font engines must not outlive
// the application's font database).
struct SharedFonts {
  // The form's captions and fixed texts, and the names of a mailer or two.
  ShapedTexts texts{256};
  std::vector<std::unique_ptr<PdfPageFont>> pageFonts;
};

SharedFonts& shared() {
  static SharedFonts* const fonts = new SharedFonts;
  return *fonts;
}

// Qt's turn on a y-down page, exact for the quarter turns the mailer uses.
Matrix textFrame(int x, int y, int angle) {
  // The page font's angle counts counter-clockwise; Qt's turn is clockwise.
  const int turn = ((-angle % 360) + 360) % 360;
  double cosine = 0, sine = 0;
  switch (turn) {
    case 0:
      cosine = 1;
      break;
    case 90:
      sine = 1;
      break;
    case 180:
      cosine = -1;
      break;
    case 270:
      sine = -1;
      break;
    default: {
      const double radians = turn * M_PI / 180;
      cosine = std::cos(radians);
      sine = std::sin(radians);
    }
  }
  return Matrix{cosine, sine, -sine, cosine, static_cast<double>(x), static_cast<double>(y)};
}

// The image's rows first..first+rows as packed bits, a set bit white.
pdf::BitImage bitsOf(const QImage& image, int first, int rows) {
  const QImage mono = image.format() == QImage::Format_Mono
                          ? image
                          : image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
  const bool oneIsWhite = mono.colorCount() > 1 && qGray(mono.color(1)) >= 128;
  pdf::BitImage bits;
  bits.width = mono.width();
  bits.height = rows;
  const std::size_t rowBytes = (static_cast<std::size_t>(bits.width) + 7) / 8;
  bits.rows.reserve(rowBytes * static_cast<std::size_t>(rows));
  for (int y = first; y < first + rows; ++y) {
    const uchar* line = mono.constScanLine(y);
    for (std::size_t b = 0; b < rowBytes; ++b)
      bits.rows.push_back(static_cast<char>(oneIsWhite ? line[b] : ~line[b]));
  }
  return bits;
}

}  // namespace

PdfDrawing::PdfDrawing(const QPrinter& printer, const QString& title)
    : m_document(std::make_unique<pdf::PdfDocument>(title.toStdString())) {
  const int dpi = printer.resolution();
  const QPageLayout layout = printer.pageLayout();
  const QRectF sheet = layout.fullRect(QPageLayout::Point);
  m_widthPoints = sheet.width();
  m_heightPoints = sheet.height();
  // Drawing starts at the printable area's corner unless the printer is in
  // full-page mode; either way that corner's distance from the paper's edge
  // is the physical offset.
  const QRect printable = layout.paintRectPixels(dpi);
  m_geometry.pixelsPerInchX = dpi;
  m_geometry.pixelsPerInchY = dpi;
  m_geometry.physicalOffsetX = printer.fullPage() ? 0 : printable.left();
  m_geometry.physicalOffsetY = printer.fullPage() ? 0 : printable.top();
}

PdfDrawing::~PdfDrawing() = default;

void PdfDrawing::beginPage() {
  // Device pixels, y down, onto points from the sheet's lower-left corner.
  const double scale = 72.0 / m_geometry.pixelsPerInchX;
  m_document->beginPage(m_widthPoints, m_heightPoints,
                        Matrix{scale, 0, 0, -scale, m_geometry.physicalOffsetX * scale,
                               m_heightPoints - m_geometry.physicalOffsetY * scale});
  m_pageOpen = true;
}

void PdfDrawing::endPage() {
  if (!m_pageOpen) return;
  m_document->endPage();
  m_pageOpen = false;
  ++m_pages;
}

namespace {

const PdfPageFont& pageFontAt(const PageFont& font, int dotsPerInch) {
  for (const std::unique_ptr<PdfPageFont>& kept : shared().pageFonts)
    if (kept->page == font && kept->dotsPerInch == dotsPerInch) return *kept;
  auto state = std::make_unique<PdfPageFont>();
  state->page = font;
  state->dotsPerInch = dotsPerInch;
  // A painter resolves its font for the device's resolution; an image of
  // that resolution resolves it alike.
  QImage device(1, 1, QImage::Format_Mono);
  const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
  device.setDotsPerMeterX(dotsPerMeter);
  device.setDotsPerMeterY(dotsPerMeter);
  state->font = QFont(PainterCanvas::qtFont(font), &device);
  const QFontMetrics metrics(state->font, &device);
  state->ascent = metrics.ascent();
  state->height = metrics.height();
  shared().pageFonts.push_back(std::move(state));
  return *shared().pageFonts.back();
}

}  // namespace

int PdfDrawing::textWidth(const PageFont& font, int dotsPerInch, const QString& text) {
  const PdfPageFont& state = pageFontAt(font, dotsPerInch);
  return qRound(shared().texts.shaped(state.font, PainterCanvas::drawableText(font, text)).width);
}

void PdfDrawing::setFont(const PageFont& font) {
  m_font = &pageFontAt(font, m_geometry.pixelsPerInchY);
}

void PdfDrawing::drawText(int x, int y, const QString& layoutText) {
  if (!m_pageOpen || !m_font || layoutText.isEmpty()) return;
  const PdfPageFont& font = *m_font;
  const QString text = PainterCanvas::drawableText(font.page, layoutText);
  const ShapedTexts::Text* shaped = &shared().texts.shaped(font.font, text);
  ShapedTexts::Text line;
  if (!shaped->drawnWhole.isEmpty()) {
    // Tabs and control characters: laid out as a line would lay them out.
    line = ShapedTexts::shapedLine(font.font, text);
    shaped = &line;
  }
  const Matrix frame = textFrame(x, y, font.page.angle);
  m_document->fillRectangle(frame, 0, 0, qRound(shaped->width), font.height, 1);
  writeShapedText(*m_document, frame, font.ascent, *shaped);
}

void PdfDrawing::drawMonoImage(const QImage& image, const QRect& target) {
  if (!m_pageOpen || image.isNull() || target.isEmpty()) return;
  // A bar code is a few bands of identical rows: each is stored as one row
  // stretched over its share of the rectangle, which paints the same pixels
  // and keeps a mass print's files small (see PainterCanvas).
  std::vector<PainterCanvas::RowBand> bands = PainterCanvas::identicalRowBands(image);
  const bool picture = bands.empty();
  if (picture) bands.push_back(PainterCanvas::RowBand{0, image.height()});
  for (const PainterCanvas::RowBand& band : bands) {
    const int top = target.top() + band.first * target.height() / image.height();
    const int bottom = target.top() + (band.first + band.rows) * target.height() / image.height();
    if (bottom > top)
      m_document->drawBitImage(bitsOf(image, band.first, picture ? band.rows : 1), target.left(),
                               top, target.width(), bottom - top);
  }
}

std::string PdfDrawing::finish() {
  endPage();
  try {
    return m_document->finish();
  } catch (const pdf::PdfError& error) {
    throw PrintError(std::string("The PDF file could not be made: ") + error.what());
  }
}

}  // namespace kestrel
