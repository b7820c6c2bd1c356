#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kestrel {

// The window of a long piece of work: a label, a bar and Cancel. It shows
// itself only when the work lasts longer than a moment, and keeps the
// window responsive while the work runs on the program's one thread.
class ProgressWindow {
 public:
  ProgressWindow(QWidget* parent, const QString& title, const QString& label);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Moves the bar (and, when given, changes the label); false once the user
  // has pressed Cancel.
  bool step(std::uint64_t done, std::uint64_t total, const QString& label = {});

 private:
  std::unique_ptr<QProgressDialog> m_dialog;
};

}  // namespace kestrel
