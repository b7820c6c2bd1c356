#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace kestrel {

class ReportDocument;

// The preview window of a report ("Report Preview"): one page at a time at
// a chosen zoom (100 percent at first), drawn whenever it is shown (no page
// is kept as a picture), with buttons to the first, previous, next and last
// page and to print the report. It opens maximised.
class ReportPreview : public QDialog {
  Q_OBJECT

 public:
  // `readThrough` reads the records up to a page before it is shown (false
  // when the user cancelled that); `print` prints the whole report (the
  // caller's output options and status window apply). A failed print is
  // shown by the general error display and the preview stays.
  ReportPreview(const QString& title, ReportDocument& document,
                std::function<bool(int page)> readThrough, std::function<void()> print,
                QWidget* parent = nullptr);

  int currentPage() const { return m_page; }  // 0-based
  int zoomPercent() const { return m_zoom; }
  void showPage(int page);
  void setZoomPercent(int percent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class PageView;
  void refresh();

  ReportDocument& m_document;
  std::function<bool(int page)> m_readThrough;
  std::function<void()> m_print;
  int m_page = 0;
  int m_zoom = 100;
  PageView* m_view = nullptr;
  QScrollArea* m_scroll = nullptr;
  QLabel* m_pageLabel = nullptr;
  QComboBox* m_zoomBox = nullptr;
  QPushButton* m_first = nullptr;
  QPushButton* m_prior = nullptr;
  QPushButton* m_next = nullptr;
  QPushButton* m_last = nullptr;
};

}  // namespace kestrel
