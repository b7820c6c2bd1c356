#include "platform/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kestrel {

KeyPreview::KeyPreview(QWidget& window, Handler handler)
    : QObject(&window), m_window(window), m_handler(std::move(handler)) {
  // Key events go to the focused control first; only an application-wide
  // filter sees them before it.
  qApp->installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget != &m_window && !m_window.isAncestorOf(widget)) return false;
  return m_handler(static_cast<QKeyEvent&>(*event));
}

}  // namespace kestrel
