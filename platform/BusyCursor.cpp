#include "platform/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace kestrel {

// Override cursors stack in Qt, so nested guards restore correctly.
BusyCursor::BusyCursor() {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace kestrel
