#pragma once

#include <QDialog>
#include <QSpinBox>

#include "core/Settings.h"

class QFrame;
class QLabel;
class QPushButton;

namespace kestrel {

class MaskedEdit;

// The spin field of the label count: the arrows run from 1 to 1000 while at
// most one character can be typed into it.
class OneDigitSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  using QSpinBox::lineEdit;
  using QSpinBox::QSpinBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// "Print Bar Code's": asks for the customer ID, the first serial and the
// number of labels of a pre-print run. OK writes the three values into the
// settings record it was given; Cancel and Escape take nothing.
class TF_PrintBarCode : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxLabels = 1000;
  static constexpr int kHeightWithHelp = 383;

  explicit TF_PrintBarCode(SettingsRecord& settings, QWidget* parent = nullptr);

  MaskedEdit* editCustID;
  MaskedEdit* editSerialNum;
  OneDigitSpinBox* editNumLabels;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QPushButton* btnHelp;
  QFrame* panelBarCode;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void btnOKClick();
  void btnHelpClick();
  // An emptied label count cannot be taken: OK waits until it holds a number
  // again (leaving the field puts the last number back).
  void editNumLabelsChange();
  void centreOnScreen();
  QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, bool bold = false);

  SettingsRecord& m_settings;
};

}  // namespace kestrel
