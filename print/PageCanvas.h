#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>

#include "print/PageFont.h"
#include "print/PageGeometry.h"

namespace kestrel {

// The few page operations the form printer needs from a printing device. One
// job carries exactly one page: startJob opens it, endJob hands it to the
// device. Every position is in device pixels from the top-left corner of the
// printable area.
class PageCanvas {
 public:
  virtual ~PageCanvas() = default;

  // Starts a print job and opens its page. Throws PrintError when the device
  // refuses the job.
  virtual void startJob(const QString& jobName) = 0;
  // Finishes the page and the job. Throws PrintError when the device fails.
  virtual void endJob() = 0;
  // Drops a job that an error interrupted, so that the next job can start.
  // Does nothing when no job is open.
  virtual void abortJob() noexcept = 0;

  // Prints one job of one page: opens it, lets drawPage draw the page and
  // ends it; a job that drawPage or the device leaves unfinished is dropped.
  // A device that takes its jobs whole (the printer, PrinterCanvas) runs
  // them its own way; drawPage may then be called more than once (a copy
  // each).
  virtual void runJob(const QString& jobName, const std::function<void()>& drawPage);

  // Resolution and physical offsets. Requires: a job is open.
  virtual PageGeometry geometry() const = 0;

  virtual void setFont(const PageFont& font) = 0;
  virtual PageFont font() const = 0;

  // Draws text in the current font. (x, y) is the top-left corner of the
  // text's cell before rotation; the text turns about that corner, and the
  // cell behind the glyphs is painted opaque white.
  virtual void drawText(int x, int y, const QString& text) = 0;
  // The advance width of the text in the current font, unrotated, in pixels.
  virtual int textWidth(const QString& text) = 0;
  // Draws a black-and-white image stretched to the rectangle, white pixels
  // included, without smoothing (bar widths must stay crisp).
  virtual void drawMonoImage(const QImage& image, const QRect& target) = 0;
};

}  // namespace kestrel
