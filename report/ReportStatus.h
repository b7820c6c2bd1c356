#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;

namespace kestrel {

// The status window of a running report ("Report Status"): the page being
// generated or printed, and Cancel. It keeps the other windows from taking
// input while it is up, and lets the window system breathe every so often,
// so that a long report neither freezes the screen nor is re-entered.
class ReportStatus : public QDialog {
  Q_OBJECT

 public:
  ReportStatus(const QString& title, QWidget* parent = nullptr);

  // Shows `format` with "%p" replaced by the page; false once the user has
  // pressed Cancel.
  bool showPage(const QString& format, int page);
  bool cancelled() const { return m_cancelled; }

 private:
  QLabel* m_text = nullptr;
  QPushButton* m_cancel = nullptr;
  QElapsedTimer m_sinceEvents;
  bool m_cancelled = false;
};

}  // namespace kestrel
