#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class MaskedEdit;
class RequiredMaskGuard;
struct SettingsRecord;

// The mailer number dialog: shows and sets the numbering state of the
// settings record. In bar-code mode the customer ID and the identifier serial
// number, otherwise the number of the pre-numbered stock and its count
// direction. Only the group of the current mode is shown and reachable.
//
// Filled from the record when created; OK writes the fields back (and the
// ShowMailerDialog flag), Cancel, Escape and the close box leave the record
// as it was. A caller that offers "Do not show this screen again" shows
// cbDontShow after creating the dialog and before showing it. The dialog
// keeps no state of its own: the caller creates one per use and discards it.
//
// The stock number field takes the 22-digit article number of the form as a
// person types it or a scanner sends it (blanks, a "420" + ZIP routing
// prefix, "]C1" and group separators are cleaned off), and OK takes it only
// when it is 22 digits with the right check digit; otherwise the problem is
// told and the dialog stays open with the text. Beside the field, a whole
// number shows what it says (channel and serial). Enter confirms as OK does.
class TF_Mailer : public QDialog {
  Q_OBJECT
 public:
  explicit TF_Mailer(SettingsRecord& settings, QWidget* parent = nullptr);

  static constexpr QSize kFormSize{469, 361};
  static constexpr int kDontShowGrowth = 32;
  static constexpr int kBarCodeHelpGrowth = 152;
  static constexpr int kMailerNumHelpGrowth = 200;
  static constexpr int kHelpWidth = 385;
  static inline const QString kDnBAddress = QStringLiteral("www.dnb.example");

  QGroupBox* gbPrintBarcode;
  QLabel* Label1;
  MaskedEdit* editCustID;
  QLabel* Label26;
  MaskedEdit* editSerialNum;

  QGroupBox* gbNoBarCode;
  QLabel* Label5;
  MaskedEdit* editMailerNum;
  QGroupBox* rgCountType;       // items "Increment" (0) and "Decrement" (1)
  QLabel* lblMailerNumMeaning;  // what a whole stock number says

  QCheckBox* cbDontShow;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QPushButton* btnHelp;

  QFrame* panelBarCode;
  QLabel* LabelDnB;
  QFrame* panelMailerNum;
  QPlainTextEdit* memoCountOrder;

  // The chosen item of rgCountType: 0 "Increment", 1 "Decrement".
  int countTypeIndex() const;
  void setCountTypeIndex(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void buildBarCodeGroup();
  void buildNoBarCodeGroup();
  void buildBarCodeHelp();
  void buildMailerNumHelp();

  void FormCreate();
  void FormShow();
  void btnOKClick();
  void editMailerNumChange();
  void btnCancelClick();
  void btnHelpClick();
  bool FormKeyDown(int key);
  void LabelDnBClick();
  void LabelDnBMouseMove();
  void LabelDnBMouseLeave();

  bool dontShowOffered() const;
  void centreOnScreen();

  SettingsRecord& m_settings;
  QButtonGroup* m_countType;
  RequiredMaskGuard* m_custIdGuard;
  RequiredMaskGuard* m_serialGuard;
  bool m_shown = false;
};

// Opens the dialog modally through the user-interaction service, with the
// check box "Do not show this screen again" when `offerDontShow` (Print and
// Mass Print), without it otherwise (the menu command, start-up). Returns
// whether it was confirmed with OK; Settings are then already written.
bool openMailerDialog(SettingsRecord& settings, QWidget* parent, bool offerDontShow);

}  // namespace kestrel
