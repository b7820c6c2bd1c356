#include "addresses/MassPrintProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ApplicationTitle.h"

namespace kestrel {

MassPrintProgress::MassPrintProgress(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MassPrintProgress"));
  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  // The main window stays out of reach while the run goes on.
  setWindowModality(Qt::WindowModal);
  m_text = new QLabel(this);
  m_text->setMinimumWidth(220);
  m_text->setAlignment(Qt::AlignCenter);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_cancel->setObjectName(QStringLiteral("btnCancel"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text);
  layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
  connect(m_cancel, &QPushButton::clicked, this, [this] { m_canceled = true; });
}

void MassPrintProgress::step(int number, int count) {
  m_text->setText(QStringLiteral("Printing mailer %1 of %2").arg(number).arg(count));
  // The windows are painted and the clicks taken some twenty-five times a
  // second, not at every mailer: a mass print prints hundreds a second, and
  // painting the window and the record each time would take longer than
  // printing them. The last count shown is at most a few mailers behind.
  constexpr qint64 kEventsEveryMilliseconds = 40;
  if (!isVisible()) {
    show();
  } else if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventsEveryMilliseconds) {
    return;
  }
  QCoreApplication::processEvents();
  m_sinceEvents.start();
}

QString MassPrintProgress::text() const {
  return m_text->text();
}

void MassPrintProgress::reject() {
  m_canceled = true;
}

}  // namespace kestrel
