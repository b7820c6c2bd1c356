#include "report/ReportPreview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/CommandRunner.h"
#include "report/ReportDocument.h"
#include "report/ReportPainter.h"

namespace kestrel {

namespace {
constexpr int kZoomSteps[] = {50, 75, 100, 150, 200};
}

// The sheet on the screen: white paper, drawn at the preview's zoom from
// the document each time it is painted.
class ReportPreview::PageView : public QWidget {
 public:
  PageView(ReportPreview& preview) : QWidget(nullptr), m_preview(preview) {
    setObjectName(QStringLiteral("pageView"));
  }
  void resizeToPage() {
    const ReportLayout& layout = m_preview.m_document.layout();
    resize(static_cast<int>(layout.pageWidth * dpiX()),
           static_cast<int>(layout.pageHeight * dpiY()));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawReportPage(painter, m_preview.m_document, m_preview.m_page, dpiX(), dpiY());
  }

 private:
  double dpiX() const { return logicalDpiX() * m_preview.m_zoom / 100.0; }
  double dpiY() const { return logicalDpiY() * m_preview.m_zoom / 100.0; }
  ReportPreview& m_preview;
};

ReportPreview::ReportPreview(const QString& title, ReportDocument& document,
                             std::function<bool(int page)> readThrough, std::function<void()> print,
                             QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_readThrough(std::move(readThrough)),
      m_print(std::move(print)) {
  setObjectName(QStringLiteral("ReportPreview"));
  setWindowTitle(title);
  setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);

  auto* buttons = new QHBoxLayout;
  const auto button = [&](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  m_first = button("btnFirst", QStringLiteral("&First"));
  m_prior = button("btnPrior", QStringLiteral("&Previous"));
  m_next = button("btnNext", QStringLiteral("&Next"));
  m_last = button("btnLast", QStringLiteral("&Last"));
  m_pageLabel = new QLabel(this);
  m_pageLabel->setObjectName(QStringLiteral("lblPage"));
  buttons->addWidget(m_pageLabel);
  m_zoomBox = new QComboBox(this);
  m_zoomBox->setObjectName(QStringLiteral("cbZoom"));
  for (int percent : kZoomSteps) m_zoomBox->addItem(QStringLiteral("%1%").arg(percent), percent);
  buttons->addWidget(m_zoomBox);
  QPushButton* printButton = button("btnPrint", QStringLiteral("P&rint"));
  QPushButton* closeButton = button("btnClose", QStringLiteral("&Close"));
  buttons->addStretch();

  m_view = new PageView(*this);
  m_scroll = new QScrollArea(this);
  m_scroll->setObjectName(QStringLiteral("scrollPage"));
  m_scroll->setBackgroundRole(QPalette::Dark);
  m_scroll->setAlignment(Qt::AlignHCenter);
  m_scroll->setWidget(m_view);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(m_scroll, 1);

  connect(m_first, &QPushButton::clicked, this, [this] { showPage(0); });
  connect(m_prior, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
  connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
  connect(m_last, &QPushButton::clicked, this, [this] { showPage(m_document.pageCount() - 1); });
  connect(m_zoomBox, &QComboBox::currentIndexChanged, this,
          [this](int index) { setZoomPercent(m_zoomBox->itemData(index).toInt()); });
  // A print that fails is told here; the preview stays open.
  connect(printButton, &QPushButton::clicked, this, [this] { runCommand(m_print); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  m_zoomBox->setCurrentIndex(m_zoomBox->findData(100));
  setWindowState(windowState() | Qt::WindowMaximized);
  refresh();
}

void ReportPreview::showPage(int page) {
  page = std::clamp(page, 0, std::max(0, m_document.pageCount() - 1));
  if (m_readThrough && !m_readThrough(page)) return;  // cancelled: stay
  // Reading to the end may have found fewer pages than counted.
  m_page = std::clamp(page, 0, std::max(0, m_document.pageCount() - 1));
  m_scroll->verticalScrollBar()->setValue(0);
  refresh();
}

void ReportPreview::setZoomPercent(int percent) {
  m_zoom = percent;
  const int index = m_zoomBox->findData(percent);
  if (index >= 0 && index != m_zoomBox->currentIndex()) m_zoomBox->setCurrentIndex(index);
  refresh();
}

void ReportPreview::refresh() {
  const int count = m_document.pageCount();
  m_pageLabel->setText(QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(count));
  m_first->setEnabled(m_page > 0);
  m_prior->setEnabled(m_page > 0);
  m_next->setEnabled(m_page + 1 < count);
  m_last->setEnabled(m_page + 1 < count);
  m_view->resizeToPage();
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageDown:
      showPage(m_page + 1);
      return;
    case Qt::Key_PageUp:
      showPage(m_page - 1);
      return;
    case Qt::Key_Home:
      if (event->modifiers() & Qt::ControlModifier) return showPage(0);
      break;
    case Qt::Key_End:
      if (event->modifiers() & Qt::ControlModifier) return showPage(m_document.pageCount() - 1);
      break;
    default:
      break;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kestrel
