#include "print/PainterCanvas.h"

#include <QFontMetrics>
#include <cstring>
#include <utility>

#include "print/PrintError.h"
#include "print/PrintFonts.h"

namespace kestrel {

PainterCanvas::PainterCanvas() {
  registerPrintFonts();
}

QFont PainterCanvas::qtFont(const PageFont& font) {
  QFont result(font.face);
  // A zero or negative size would make Qt warn and keep its default; one
  // pixel is the least a device can draw.
  result.setPixelSize(font.pixelHeight > 0 ? font.pixelHeight : 1);
  result.setWeight(font.bold ? QFont::Bold : QFont::Normal);
  result.setItalic(false);
  result.setUnderline(false);
  result.setStrikeOut(false);
  result.setKerning(false);
  result.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
  if (isOcrFace(font)) result.setStretch(ocrStretchPercent());
  return result;
}

bool PainterCanvas::isOcrFace(const PageFont& font) {
  return font.face == QLatin1String(kOcrFace);
}

QString PainterCanvas::drawableText(const PageFont& font, const QString& text) {
  return isOcrFace(font) ? ocrDrawableText(text) : text;
}

int PainterCanvas::advanceWidth(const PageFont& font, const QString& text) {
  return QFontMetrics(qtFont(font)).horizontalAdvance(drawableText(font, text));
}

void PainterCanvas::setFont(const PageFont& font) {
  m_font = font;
  m_qtFont = qtFont(font);
  if (isPainting()) m_painter->setFont(m_qtFont);
}

void PainterCanvas::beginPainting(QPaintDevice& device, const QString& refusal) {
  if (!m_ownPainter.begin(&device)) throw PrintError(refusal);
  m_painter = &m_ownPainter;
  setUpPainter();
}

void PainterCanvas::setUpPainter() {
  m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  // A painter on a PDF device (Qt's writer, which the tests compare the
  // program's own against) would otherwise store bar-code images as JPEG,
  // whose ringing blurs the bar edges a scanner reads.
  m_painter->setRenderHint(QPainter::LosslessImageRendering, true);
  m_painter->setRenderHint(QPainter::TextAntialiasing, true);
  m_painter->setPen(Qt::black);
  m_painter->setFont(m_qtFont);
}

bool PainterCanvas::endPainting() {
  m_painter = nullptr;
  return !m_ownPainter.isActive() || m_ownPainter.end();
}

void PainterCanvas::drawText(int x, int y, const QString& layoutText) {
  if (!isPainting() || layoutText.isEmpty()) return;
  const QString text = drawableText(m_font, layoutText);
  const QFontMetrics metrics(m_qtFont, m_painter->device());
  m_painter->save();
  m_painter->translate(x, y);
  // Qt turns clockwise on a y-down page; the page font's angle counts the
  // other way round.
  m_painter->rotate(-m_font.angle);
  m_painter->fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
  // Qt places text by its baseline; the cell's top lies one ascent above it.
  m_painter->drawText(0, metrics.ascent(), text);
  m_painter->restore();
}

int PainterCanvas::textWidth(const QString& text) {
  const QFontMetrics metrics(m_qtFont, isPainting() ? m_painter->device() : nullptr);
  return metrics.horizontalAdvance(drawableText(m_font, text));
}

void PainterCanvas::drawMonoImage(const QImage& image, const QRect& target) {
  if (!isPainting() || image.isNull() || target.isEmpty()) return;
  // A bar-code image is a few bands of identical rows: one for Code 128, two
  // for POSTNET (tall bars only, then every bar). Each band drawn as its
  // first row stretched over its share of the rectangle paints the same
  // pixels without smoothing, and spares a PDF or a printer spool hundreds
  // of identical rows, which a mass print would otherwise compress for
  // every mailer.
  const std::vector<RowBand> bands = identicalRowBands(image);
  if (bands.empty() || bands.size() > kMaxRowBands) {
    m_painter->drawImage(target, image);
    return;
  }
  for (const RowBand& band : bands) {
    const int top = target.top() + band.first * target.height() / image.height();
    const int bottom = target.top() + (band.first + band.rows) * target.height() / image.height();
    if (bottom > top)
      m_painter->drawImage(QRect(target.left(), top, target.width(), bottom - top),
                           image.copy(0, band.first, image.width(), 1));
  }
}

std::vector<PainterCanvas::RowBand> PainterCanvas::identicalRowBands(const QImage& image) {
  std::vector<RowBand> bands;
  const qsizetype rowBytes = (static_cast<qsizetype>(image.width()) * image.depth() + 7) / 8;
  for (int y = 0; y < image.height(); ++y) {
    if (!bands.empty() &&
        std::memcmp(image.constScanLine(bands.back().first), image.constScanLine(y),
                    static_cast<std::size_t>(rowBytes)) == 0) {
      ++bands.back().rows;
      continue;
    }
    if (bands.size() == kMaxRowBands) return {};  // not a bar code's few bands
    bands.push_back(RowBand{y, 1});
  }
  return bands;
}

bool PainterCanvas::hasIdenticalRows(const QImage& image) {
  return identicalRowBands(image).size() == 1;
}

}  // namespace kestrel
