#include "dialogs/ChoiceBoxWindow.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace kestrel {

ChoiceBoxWindow::ChoiceBoxWindow(const QString& caption, const QString& message,
                                 const QStringList& buttonCaptions, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("ChoiceBox");
  setWindowTitle(caption);
  const QFontMetrics metrics(font());
  const int count = static_cast<int>(buttonCaptions.size());

  int width = kDefaultWidth;
  int widest = 0;
  for (const QString& text : buttonCaptions)
    widest = std::max(widest, metrics.horizontalAdvance(text));
  const int buttonWidth = widest + 10;
  const int needed = count * buttonWidth + (count + 1) * 10;
  if (needed > width) width = needed;
  // A line of text is as high as the font, whatever its letters.
  const int lineHeight = metrics.height();
  const int messageWidth = metrics.horizontalAdvance(message);
  if (needed > messageWidth) width = needed;
  const int labelHeight =
      width < messageWidth ? (messageWidth / width + 3) * lineHeight : 3 * lineHeight;
  const int height = labelHeight + 4 * lineHeight + 22;
  setFixedSize(width, height);

  auto* label = new QLabel(message, this);
  label->setObjectName("labelMessage");
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(10, 10, width - 20, labelHeight);

  for (int k = 1; k <= count; ++k) {
    auto* button = new QPushButton(buttonCaptions[k - 1], this);
    button->setObjectName(QStringLiteral("button%1").arg(k));
    button->setGeometry(width - k * (buttonWidth + 10), height - 35, buttonWidth, 25);
    connect(button, &QPushButton::clicked, this, [this, k] { done(k); });
    button->setFocus();  // the last one made, the leftmost, keeps it
  }
}

void ChoiceBoxWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
}

void ChoiceBoxWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace kestrel
