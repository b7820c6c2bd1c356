#pragma once

#include <QDialog>

#include "core/Settings.h"

class QSpinBox;

namespace kestrel {

// "Printer Alignment": the two print offsets, in units of 3 printer pixels.
// Changes only the settings record, and only on OK.
class TF_Align : public QDialog {
  Q_OBJECT

 public:
  explicit TF_Align(SettingsRecord& settings, QWidget* parent = nullptr);

  static constexpr int kLimit = 999;
  // Typed input is kept to three characters, as on the printed form's scale.
  static constexpr int kMaxTypedCharacters = 3;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void btnOKClick();
  QSpinBox* makeSpin(const char* name);
  // The offset a spin box stands for; a text that is not a whole number
  // keeps the stored offset (an empty box must not move the print ten inches).
  static int offsetFrom(const QSpinBox* spin, int stored);

  SettingsRecord& m_settings;
  QSpinBox* spinLeftRight = nullptr;
  QSpinBox* SpinUpDown = nullptr;
};

}  // namespace kestrel
