#pragma once

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <functional>

#include "print/PainterCanvas.h"

namespace kestrel {

// Draws each job onto a page image at a chosen resolution: the preview of a
// mailer, the images kestrel-render writes, and the pictures whose bar codes
// tests decode. The image covers the printable area of a sheet whose
// unprintable margin is the given offset on every side, so positions land
// where a printer with those physical offsets would put them.
class ImageCanvas : public PainterCanvas {
 public:
  // Called with each finished page, numbered from 0 in the canvas's life.
  using PageSink = std::function<void(const QImage& page, int pageNumber)>;

  // Requires: dotsPerInch > 0; the offsets are inches, at least 0.
  explicit ImageCanvas(int dotsPerInch, QSizeF paperInches = QSizeF(8.5, 11.0),
                       QPointF offsetInches = QPointF(0.0, 0.0));

  void setPageSink(PageSink sink) { m_sink = std::move(sink); }
  // The last finished page (null before the first job ends).
  const QImage& lastPage() const { return m_lastPage; }
  int pagesFinished() const { return m_pagesFinished; }

  void startJob(const QString& jobName) override;
  void endJob() override;
  void abortJob() noexcept override;
  PageGeometry geometry() const override { return m_geometry; }

 private:
  PageGeometry m_geometry;
  QSize m_pixelSize;
  QImage m_page;
  QImage m_lastPage;
  PageSink m_sink;
  int m_pagesFinished = 0;
};

}  // namespace kestrel
