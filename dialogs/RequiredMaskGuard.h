#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace kestrel {

class MaskedEdit;

// The masked edit's refusal to be left half filled: once the user has changed
// the field, it keeps the focus until its text is complete. Leaving it by Tab,
// Shift+Tab, an access key or a click on another control of the window beeps,
// shows "Invalid input value.  Use escape key to abandon changes" (through the
// user-interaction service, as an error) and puts the focus back; a click that
// would have taken the focus away is swallowed, so it presses no button.
// Escape, the close box and the window losing the focus to another window are
// not refused: they are the ways to abandon the changes.
//
// The guard is a child of the edit and lives as long as it does.
class RequiredMaskGuard : public QObject {
  Q_OBJECT
 public:
  // Whether the edit's text is complete. The default asks the edit's mask:
  // every required position filled.
  using Completeness = std::function<bool(const MaskedEdit& edit)>;

  static inline const QString kInvalidInputMessage =
      QStringLiteral("Invalid input value.  Use escape key to abandon changes");

  explicit RequiredMaskGuard(MaskedEdit& edit, Completeness complete = {});

  const MaskedEdit& edit() const { return m_edit; }

  // True when the edit may be left: it is unchanged or complete.
  bool mayLeave() const;
  // Checks before an action that takes the edit's value without leaving it
  // (OK pressed by code): refuses as a focus change would. Returns mayLeave().
  bool checkBeforeLeaving();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void refuse();

  MaskedEdit& m_edit;
  Completeness m_complete;
  // Set when a mouse press took the focus away and was refused: the same
  // press, delivered after the focus change, must not reach its target.
  bool m_swallowPress = false;
};

}  // namespace kestrel
