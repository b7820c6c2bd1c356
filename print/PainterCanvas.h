#pragma once

#include <QFont>
#include <QPainter>
#include <vector>

#include "print/PageCanvas.h"

namespace kestrel {

// The form printer's drawing onto a QPainter: the page images of the
// preview, of kestrel-render and of the bar-code tests draw through here
// (printers and PDF files take PdfDrawing, which places the same glyphs).
// Subclasses own the device and open and close the painter around each job.
class PainterCanvas : public PageCanvas {
 public:
  PainterCanvas();

  void setFont(const PageFont& font) override;
  PageFont font() const override { return m_font; }
  void drawText(int x, int y, const QString& text) override;
  int textWidth(const QString& text) override;
  void drawMonoImage(const QImage& image, const QRect& target) override;

  // The Qt font that draws a page font: pixel-sized, outline glyphs only, no
  // kerning (printers of this form advance glyph by glyph); the OCR face is
  // narrowed to the standard OCR-A pitch.
  static QFont qtFont(const PageFont& font);
  // The text as the font draws it (see ocrDrawableText for the OCR face).
  static QString drawableText(const PageFont& font, const QString& text);
  // The advance width of the text in the font, unrotated, in pixels, without
  // a device: what textWidth gives on a device at the font's pixel size.
  static int advanceWidth(const PageFont& font, const QString& text);

  static bool isOcrFace(const PageFont& font);

  // Whether every row of the image holds the same pixels.
  static bool hasIdenticalRows(const QImage& image);

  // A run of identical rows of an image, from its first row.
  struct RowBand {
    int first = 0;
    int rows = 0;
  };
  static constexpr std::size_t kMaxRowBands = 4;
  // The image as runs of identical rows, top to bottom; empty when it has
  // more than kMaxRowBands of them (a picture, not a bar code).
  static std::vector<RowBand> identicalRowBands(const QImage& image);

 protected:
  // Opens the canvas's own painter on the device and sets the drawing state
  // every page needs. Throws PrintError with the given reason when the
  // device refuses.
  void beginPainting(QPaintDevice& device, const QString& refusal);
  // Closes the canvas's painter; false when the device reported a failure.
  bool endPainting();
  bool isPainting() const { return m_painter && m_painter->isActive(); }

 private:
  void setUpPainter();

  QPainter m_ownPainter;
  QPainter* m_painter = nullptr;  // the own painter, while painting
  PageFont m_font;
  QFont m_qtFont;
};

}  // namespace kestrel
