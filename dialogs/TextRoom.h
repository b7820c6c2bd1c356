#pragma once

#include <QSize>

class QWidget;

namespace kestrel {

// The windows were drawn in pixels for the fonts of another system. Fonts
// here are wider, and at 120 dpi larger still, so a size taken from the
// design alone cuts texts off. These give the room the texts need instead.

// The size a widget that is laid out by its layout needs so that every text
// in it shows whole: at least `designed`; wider when a text that cannot wrap
// needs more; taller when wrapped texts take more lines at that width.
QSize roomForTexts(const QWidget& widget, QSize designed);

// Makes a control placed by pixels `extra` pixels taller: what lies below it
// in its parent moves down by as much, and each parent up to the window
// grows where its children would otherwise reach past its bottom margin.
void growDown(QWidget& widget, int extra);

// Moves a window so that a frame of `clientSize` (the size it has just been
// given, which the window system may not have applied yet) is centred on
// the screen the window is on.
void centreOnScreen(QWidget& window, QSize clientSize);

}  // namespace kestrel
