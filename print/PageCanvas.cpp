#include "print/PageCanvas.h"

namespace kestrel {

void PageCanvas::runJob(const QString& jobName, const std::function<void()>& drawPage) {
  startJob(jobName);
  try {
    drawPage();
  } catch (...) {
    // The next job must still be possible.
    abortJob();
    throw;
  }
  endJob();
}

}  // namespace kestrel
