#pragma once

#include <QDialog>

#include "core/Settings.h"

class QComboBox;
class QRadioButton;

namespace kestrel {

// "Extra Label": whether an address is printed on the mailer's extra label,
// and which one. Changes only the settings record, and only on OK.
class TF_ExtraLabel : public QDialog {
  Q_OBJECT

 public:
  explicit TF_ExtraLabel(SettingsRecord& settings, QWidget* parent = nullptr);

  static constexpr const char* kAddressedTo = "Addressed To";
  static constexpr const char* kYourNameAndAddress = "Your Name and Address";

 private:
  void FormCreate();
  void rgExtraLabelClick();
  void btnOKClick();

  SettingsRecord& m_settings;
  QRadioButton* m_yes = nullptr;
  QRadioButton* m_no = nullptr;
  QComboBox* cbExtraLabel = nullptr;
};

}  // namespace kestrel
