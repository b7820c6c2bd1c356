#pragma once

#include <QPoint>
#include <vector>

#include "print/PageCanvas.h"

namespace kestrel {

// A page device that draws nothing and remembers every call, with the font in
// force, so that tests can read back exactly what a printer was asked to do.
// Text widths follow a fixed rule instead of real glyphs, so that expected
// positions are plain arithmetic: every character advances by
// kAdvancePerMille thousandths of the font's pixel height, rounded once for
// the whole text.
class RecordingCanvas : public PageCanvas {
 public:
  static constexpr int kAdvancePerMille = 600;

  struct Call {
    enum class Kind { StartJob, EndJob, AbortJob, SetFont, Text, Image };
    Kind kind = Kind::StartJob;
    QString text;   // the text drawn, or the job's name
    PageFont font;  // the font in force (or the one set)
    QPoint at;      // text: the top-left corner of its cell
    QRect rect;     // images: the target rectangle
    QImage image;   // images: the image drawn
  };

  explicit RecordingCanvas(PageGeometry geometry, bool refuseJobs = false);

  // Measures texts as a printer would, with the installed faces (at the
  // font's pixel size) instead of the fixed rule: for checks of where real
  // glyphs end.
  void setMeasureWithFonts(bool real) { m_measureWithFonts = real; }

  // Makes the next startJob calls fail, like a printer that went away.
  void setRefuseJobs(bool refuse) { m_refuseJobs = refuse; }
  // Makes the job numbered n (counting started jobs from 1) fail when it ends.
  void failEndOfJob(int jobNumber) { m_failingJob = jobNumber; }

  const std::vector<Call>& calls() const { return m_calls; }
  // Only the text and image calls of the given job (1-based), in order.
  std::vector<Call> drawings(int jobNumber = 1) const;
  int jobsStarted() const { return m_jobsStarted; }
  int jobsEnded() const { return m_jobsEnded; }

  void startJob(const QString& jobName) override;
  void endJob() override;
  void abortJob() noexcept override;
  PageGeometry geometry() const override { return m_geometry; }
  void setFont(const PageFont& font) override;
  PageFont font() const override { return m_font; }
  void drawText(int x, int y, const QString& text) override;
  int textWidth(const QString& text) override;
  void drawMonoImage(const QImage& image, const QRect& target) override;

  static int advanceWidth(const QString& text, int pixelHeight);

 private:
  PageGeometry m_geometry;
  PageFont m_font;
  std::vector<Call> m_calls;
  bool m_refuseJobs = false;
  bool m_measureWithFonts = false;
  bool m_jobOpen = false;
  int m_failingJob = 0;
  int m_jobsStarted = 0;
  int m_jobsEnded = 0;
};

}  // namespace kestrel
