#pragma once

#include <QDialog>

#include "platform/MemoEdit.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kestrel {

class MaskedEdit;

// The sender's name and address. Filled from Settings when created; OK
// stores the fields back into Settings (the file is written at program
// close), Cancel, Escape and the close box leave Settings as they were.
class TF_YourAddress : public QDialog {
  Q_OBJECT
 public:
  explicit TF_YourAddress(QWidget* parent = nullptr);

  static constexpr int kMaxLines = 4;

  QGroupBox* GroupBox4;
  MemoEdit* memoYourAddress;
  QLineEdit* editYourCity;
  QLineEdit* editYourState;
  MaskedEdit* editYourZip;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void btnOKClick();
  void btnCancelClick();
  void memoYourAddressExit();
  bool FormKeyDown(int key);
};

}  // namespace kestrel
