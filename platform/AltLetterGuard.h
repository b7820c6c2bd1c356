#pragma once

#include <QObject>

namespace kestrel {

// Alt with a letter is a menu or control key. Qt offers one that no menu or
// label claims to the focused control as typed text, so Alt+T in a fee field
// would type a "t"; on the original platform such a key only beeped. While
// the guard lives, an Alt key that reaches a control unclaimed types
// nothing. AltGr, which types characters on many keyboards, is no Alt here:
// X11 reports it as a group switch, Windows as Ctrl+Alt, and both pass.
class AltLetterGuard : public QObject {
  Q_OBJECT
 public:
  // Watches every window of the application; lives as long as its parent.
  explicit AltLetterGuard(QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestrel
