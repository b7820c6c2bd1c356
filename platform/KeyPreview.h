#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

namespace kestrel {

// Lets a window see every key pressed in it before its controls do, as the
// original windows did: the handler runs for key presses aimed at the window
// or any widget inside it, and a handler that returns true swallows the key.
class KeyPreview : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<bool(QKeyEvent& event)>;
  // The preview lives as long as the window (it is the window's child).
  KeyPreview(QWidget& window, Handler handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& m_window;
  Handler m_handler;
};

}  // namespace kestrel
