#include "print/RecordingCanvas.h"

#include "print/PainterCanvas.h"
#include "print/PrintError.h"

namespace kestrel {

RecordingCanvas::RecordingCanvas(PageGeometry geometry, bool refuseJobs)
    : m_geometry(geometry), m_refuseJobs(refuseJobs) {}

int RecordingCanvas::advanceWidth(const QString& text, int pixelHeight) {
  return static_cast<int>(
      (static_cast<long long>(text.size()) * pixelHeight * kAdvancePerMille + 500) / 1000);
}

void RecordingCanvas::startJob(const QString& jobName) {
  if (m_refuseJobs) throw PrintError("The recording printer refused the print job.");
  if (m_jobOpen) throw PrintError("A print job is already open.");
  m_jobOpen = true;
  ++m_jobsStarted;
  m_calls.push_back({Call::Kind::StartJob, jobName, m_font, {}, {}, {}});
}

void RecordingCanvas::endJob() {
  if (!m_jobOpen) throw PrintError("No print job is open.");
  m_jobOpen = false;
  if (m_jobsStarted == m_failingJob) throw PrintError("The recording printer failed.");
  ++m_jobsEnded;
  m_calls.push_back({Call::Kind::EndJob, {}, m_font, {}, {}, {}});
}

void RecordingCanvas::abortJob() noexcept {
  if (!m_jobOpen) return;
  m_jobOpen = false;
  m_calls.push_back({Call::Kind::AbortJob, {}, m_font, {}, {}, {}});
}

void RecordingCanvas::setFont(const PageFont& font) {
  m_font = font;
  m_calls.push_back({Call::Kind::SetFont, {}, m_font, {}, {}, {}});
}

void RecordingCanvas::drawText(int x, int y, const QString& text) {
  m_calls.push_back({Call::Kind::Text, text, m_font, QPoint(x, y), {}, {}});
}

int RecordingCanvas::textWidth(const QString& text) {
  if (m_measureWithFonts) return PainterCanvas::advanceWidth(m_font, text);
  return advanceWidth(text, m_font.pixelHeight);
}

void RecordingCanvas::drawMonoImage(const QImage& image, const QRect& target) {
  m_calls.push_back({Call::Kind::Image, {}, m_font, {}, target, image});
}

std::vector<RecordingCanvas::Call> RecordingCanvas::drawings(int jobNumber) const {
  std::vector<Call> result;
  int job = 0;
  for (const Call& call : m_calls) {
    if (call.kind == Call::Kind::StartJob) ++job;
    if (job == jobNumber && (call.kind == Call::Kind::Text || call.kind == Call::Kind::Image))
      result.push_back(call);
  }
  return result;
}

}  // namespace kestrel
