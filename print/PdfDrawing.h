#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <memory>
#include <string>

#include "print/PageFont.h"
#include "print/PageGeometry.h"

class QPrinter;

namespace kestrel {

namespace pdf {
class PdfDocument;
}  // namespace pdf
struct PdfPageFont;

// The form printer's pages written straight into a PDF document, for the
// printer's sheet, margins and resolution: each text as the glyphs
// QPainter::drawText would put there, in subsets of the installed fonts
// embedded once per document, on its opaque white cell; each bar code as a
// black-and-white image. A mass print writes one such document per mailer,
// so that fonts, shapes and metrics are prepared once per run and each
// document costs little more than its own bytes.
class PdfDrawing {
 public:
  // The printer is only read (its sheet, margins, resolution); the drawing
  // may outlive it.
  PdfDrawing(const QPrinter& printer, const QString& title);
  ~PdfDrawing();
  PdfDrawing(const PdfDrawing&) = delete;
  PdfDrawing& operator=(const PdfDrawing&) = delete;

  const PageGeometry& geometry() const { return m_geometry; }
  int pages() const { return m_pages; }

  void beginPage();
  void endPage();

  // The PageCanvas operations, in device pixels of the printable area.
  void setFont(const PageFont& font);
  void drawText(int x, int y, const QString& text);
  void drawMonoImage(const QImage& image, const QRect& target);
  // The advance of the text in the font at a resolution, as drawText
  // places it (what QFontMetrics::horizontalAdvance gives).
  static int textWidth(const PageFont& font, int dotsPerInch, const QString& text);

  // The whole file. Throws PrintError when a font cannot be embedded.
  std::string finish();

 private:
  std::unique_ptr<pdf::PdfDocument> m_document;
  PageGeometry m_geometry;
  double m_widthPoints = 0, m_heightPoints = 0;
  const PdfPageFont* m_font = nullptr;
  int m_pages = 0;
  bool m_pageOpen = false;
};

}  // namespace kestrel
