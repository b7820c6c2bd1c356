#include "print/ImageCanvas.h"

#include <cmath>

#include "print/PrintError.h"

namespace kestrel {

namespace {
constexpr double kMillimetresPerInch = 25.4;

int inchesToPixels(double inches, int dotsPerInch) {
  return static_cast<int>(std::lround(inches * dotsPerInch));
}
}  // namespace

ImageCanvas::ImageCanvas(int dotsPerInch, QSizeF paperInches, QPointF offsetInches) {
  m_geometry.pixelsPerInchX = dotsPerInch;
  m_geometry.pixelsPerInchY = dotsPerInch;
  m_geometry.physicalOffsetX = inchesToPixels(offsetInches.x(), dotsPerInch);
  m_geometry.physicalOffsetY = inchesToPixels(offsetInches.y(), dotsPerInch);
  m_pixelSize =
      QSize(inchesToPixels(paperInches.width(), dotsPerInch) - 2 * m_geometry.physicalOffsetX,
            inchesToPixels(paperInches.height(), dotsPerInch) - 2 * m_geometry.physicalOffsetY);
}

void ImageCanvas::startJob(const QString& /*jobName*/) {
  if (isPainting()) throw PrintError("A print job is already open on the page image.");
  if (m_geometry.pixelsPerInchX <= 0 || m_pixelSize.isEmpty() || m_pixelSize.width() > 32767 ||
      m_pixelSize.height() > 32767)
    throw PrintError("The page image has no printable area at this resolution and offset.");
  // Eight-bit grey keeps a 600-dpi letter page near 34 MB and still carries the
  // smoothed edges of the glyphs.
  m_page = QImage(m_pixelSize, QImage::Format_Grayscale8);
  if (m_page.isNull()) throw PrintError("There is not enough memory for the page image.");
  const int dotsPerMetre =
      static_cast<int>(std::lround(m_geometry.pixelsPerInchX * 1000.0 / kMillimetresPerInch));
  m_page.setDotsPerMeterX(dotsPerMetre);
  m_page.setDotsPerMeterY(dotsPerMetre);
  m_page.fill(Qt::white);
  beginPainting(m_page, QStringLiteral("The page image cannot be drawn on."));
}

void ImageCanvas::endJob() {
  if (!isPainting()) throw PrintError("No print job is open on the page image.");
  if (!endPainting()) throw PrintError("The page image could not be finished.");
  m_lastPage = m_page;
  m_page = QImage();
  if (m_sink) m_sink(m_lastPage, m_pagesFinished);
  ++m_pagesFinished;
}

void ImageCanvas::abortJob() noexcept {
  endPainting();
  m_page = QImage();
}

}  // namespace kestrel
