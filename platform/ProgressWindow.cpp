#include "platform/ProgressWindow.h"

#include <QProgressDialog>
#include <algorithm>

namespace kestrel {

namespace {
// The bar counts in thousandths, so that totals beyond the range of int fit.
constexpr int kSteps = 1000;
// Work that ends sooner shows no window at all.
constexpr int kShowAfterMilliseconds = 400;
}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent, const QString& title, const QString& label)
    : m_dialog(
          std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, kSteps, parent)) {
  m_dialog->setWindowTitle(title);
  m_dialog->setWindowModality(Qt::WindowModal);
  m_dialog->setMinimumDuration(kShowAfterMilliseconds);
  m_dialog->setAutoClose(false);
  m_dialog->setAutoReset(false);
  m_dialog->setValue(0);
}

ProgressWindow::~ProgressWindow() = default;

bool ProgressWindow::step(std::uint64_t done, std::uint64_t total, const QString& label) {
  if (!label.isEmpty()) m_dialog->setLabelText(label);
  const auto value =
      total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done, total) * kSteps / total);
  // A modal progress dialog handles the window's events while it is set.
  m_dialog->setValue(value);
  return !m_dialog->wasCanceled();
}

}  // namespace kestrel
