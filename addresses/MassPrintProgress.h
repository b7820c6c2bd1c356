#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;

namespace kestrel {

// The window shown while a mass print runs: "Printing mailer N of M" and a
// Cancel button. The run goes on in the window's thread; it calls step
// before each mailer, which lets the window take the user's clicks, and asks
// canceled after each printed mailer, so that a run stops between mailers,
// never inside one.
class MassPrintProgress : public QDialog {
  Q_OBJECT
 public:
  explicit MassPrintProgress(QWidget* parent = nullptr);

  // Shows "Printing mailer `number` of `count`" and, every few hundredths
  // of a second, handles pending events (paints, the user's clicks).
  void step(int number, int count);
  bool canceled() const { return m_canceled; }

  QPushButton* cancelButton() const { return m_cancel; }
  QString text() const;

 protected:
  // Closing the window is a Cancel too.
  void reject() override;

 private:
  QLabel* m_text = nullptr;
  QPushButton* m_cancel = nullptr;
  bool m_canceled = false;
  QElapsedTimer m_sinceEvents;  // since events were last handled
};

}  // namespace kestrel
