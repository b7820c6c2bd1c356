#include "report/ReportStatus.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {
// Often enough for Cancel to answer at once, rarely enough not to slow the
// report.
constexpr qint64 kEventPauseMs = 50;
}  // namespace

ReportStatus::ReportStatus(const QString& title, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReportStatus"));
  setWindowTitle(title);
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  m_text = new QLabel(this);
  m_text->setObjectName(QStringLiteral("lblStatus"));
  m_text->setMinimumWidth(240);
  layout->addWidget(m_text);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_cancel->setObjectName(QStringLiteral("btnCancel"));
  layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
  connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
  // Escape and the window's close box cancel too.
  connect(this, &QDialog::rejected, this, [this] { m_cancelled = true; });
}

bool ReportStatus::showPage(const QString& format, int page) {
  m_text->setText(QString(format).replace(QStringLiteral("%p"), QString::number(page)));
  if (!isVisible()) {
    show();
    m_sinceEvents.invalidate();
  }
  if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventPauseMs) {
    QApplication::processEvents();
    m_sinceEvents.start();
  }
  return !m_cancelled;
}

}  // namespace kestrel
