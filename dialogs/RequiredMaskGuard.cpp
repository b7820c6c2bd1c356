#include "dialogs/RequiredMaskGuard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

#include "platform/MaskedEdit.h"
#include "platform/UserInteraction.h"

namespace kestrel {

RequiredMaskGuard::RequiredMaskGuard(MaskedEdit& edit, Completeness complete)
    : QObject(&edit), m_edit(edit), m_complete(std::move(complete)) {
  if (!m_complete) m_complete = [](const MaskedEdit& e) { return e.hasAcceptableInput(); };
  // Qt hands the focus to a clicked control before the click itself is
  // delivered, so the click must be stopped on its way to another control:
  // only an application-wide filter sees it there. The same filter sees the
  // edit's own focus events.
  qApp->installEventFilter(this);
}

bool RequiredMaskGuard::mayLeave() const {
  return !m_edit.isModified() || m_complete(m_edit);
}

bool RequiredMaskGuard::checkBeforeLeaving() {
  if (mayLeave()) return true;
  refuse();
  return false;
}

void RequiredMaskGuard::refuse() {
  QApplication::beep();
  showError(kInvalidInputMessage);
  m_edit.setFocus(Qt::OtherFocusReason);
}

bool RequiredMaskGuard::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_edit && event->type() == QEvent::FocusOut) {
    // Only moves within the window count as leaving the field; a hidden
    // window or another window taking the focus (a message box among them)
    // is not the user leaving it.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool moveInWindow = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                              reason == Qt::ShortcutFocusReason || reason == Qt::MouseFocusReason;
    if (moveInWindow && m_edit.isVisible() && !mayLeave()) {
      m_swallowPress = reason == Qt::MouseFocusReason;
      refuse();
    }
    return false;
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (m_swallowPress) {
        m_swallowPress = false;
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      // A refused press that never arrived must not swallow a later one.
      m_swallowPress = false;
      break;
    default:
      break;
  }
  return false;
}

}  // namespace kestrel
