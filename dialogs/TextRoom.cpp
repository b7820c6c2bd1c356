#include "dialogs/TextRoom.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kestrel {

QSize roomForTexts(const QWidget& widget, QSize designed) {
  QLayout* layout = widget.layout();
  if (layout == nullptr) return designed;
  layout->activate();
  const QSize minimum = layout->totalMinimumSize();
  const int width = std::max(designed.width(), minimum.width());
  const int preferred = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                    : layout->totalSizeHint().height();
  return {width, std::max({designed.height(), minimum.height(), preferred})};
}

namespace {

// One pixel below the lowest child.
int lowestChildBottom(const QWidget& parent) {
  int lowest = 0;
  for (const QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow()) lowest = std::max(lowest, child->geometry().bottom() + 1);
  }
  return lowest;
}

void setHeight(QWidget& widget, int height) {
  const bool fixed = widget.minimumSize() == widget.maximumSize();
  if (fixed)
    widget.setFixedSize(widget.width(), height);
  else
    widget.resize(widget.width(), height);
}

}  // namespace

void growDown(QWidget& widget, int extra) {
  QWidget* grown = &widget;
  while (extra > 0 && !grown->isWindow()) {
    QWidget& parent = *grown->parentWidget();
    // The margin the design leaves below the lowest child, kept up to a
    // usual one; a parent with more room than that absorbs the growth.
    const int margin = std::min(8, std::max(0, parent.height() - lowestChildBottom(parent)));
    const int oldBottom = grown->geometry().bottom();
    setHeight(*grown, grown->height() + extra);
    for (QWidget* sibling : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling != grown && !sibling->isWindow() && sibling->y() > oldBottom)
        sibling->move(sibling->x(), sibling->y() + extra);
    }
    extra = std::max(0, lowestChildBottom(parent) + margin - parent.height());
    if (extra == 0) return;
    if (parent.isWindow()) {
      setHeight(parent, parent.height() + extra);
      return;
    }
    grown = &parent;
  }
}

void centreOnScreen(QWidget& window, QSize clientSize) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The frame as it stands: its size does not change when the client does.
  const QSize frame = window.frameGeometry().size() - window.size();
  const QSize outer = clientSize + frame;
  const QRect area = screen->availableGeometry();
  window.move(area.x() + (area.width() - outer.width()) / 2,
              area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace kestrel
