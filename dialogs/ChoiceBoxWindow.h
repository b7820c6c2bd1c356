#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace kestrel {

// The window behind ChoiceBox, built in code for one question. Its size
// follows the message and the captions:
//   B = widest caption (an "&" counts with its own width) + 10
//   N = n * B + (n + 1) * 10; the width is 325, or N when N is wider, and
//       exactly N when N is wider than the message written on one line
//   H = height of "A"; M = width of the message on one line
//   L = (M / client width + 3) * H when M exceeds the client width, else 3 * H
//   height = L + 4 * H + 22
// Caption k (1-based) is the k-th button from the right, 10 pixels apart, and
// the leftmost has the focus. The window manager draws its frame outside
// this size, so client and outer size are the same here.
class ChoiceBoxWindow : public QDialog {
  Q_OBJECT
 public:
  ChoiceBoxWindow(const QString& caption, const QString& message, const QStringList& buttonCaptions,
                  QWidget* parent = nullptr);

  static constexpr int kDefaultWidth = 325;
  static constexpr int kDefaultHeight = 185;

 public slots:
  // Escape and every other way of giving up do nothing: only a button closes.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

}  // namespace kestrel
