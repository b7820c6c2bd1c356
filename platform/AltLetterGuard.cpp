#include "platform/AltLetterGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace kestrel {

AltLetterGuard::AltLetterGuard(QObject* parent) : QObject(parent) {
  // Menu and label keys are matched as shortcuts before any control sees the
  // key, so a filter on the key press itself sees only unclaimed ones.
  QCoreApplication::instance()->installEventFilter(this);
}

bool AltLetterGuard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  const auto& key = static_cast<const QKeyEvent&>(*event);
  const Qt::KeyboardModifiers modifiers = key.modifiers();
  if (!modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::ControlModifier) ||
      modifiers.testFlag(Qt::MetaModifier))
    return false;
  // Only keys that would type: Alt+Down still opens a drop-down list.
  const QString text = key.text();
  return !text.isEmpty() && text.front().isPrint();
}

}  // namespace kestrel
