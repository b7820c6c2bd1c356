#include "dialogs/U_ExtraLabel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/TextRoom.h"
#include "platform/AnsiText.h"

namespace kestrel {

TF_ExtraLabel::TF_ExtraLabel(SettingsRecord& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setObjectName("TF_ExtraLabel");
  setWindowTitle("Extra Label");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose, false);  // the caller owns the dialog on its stack

  auto* explanation = new QLabel(
      "Use this window to print an Address on the \"Extra Label\" located on the upper right "
      "corner of the form.  This label is intended for the postage label.  If you are printing "
      "the Postage on this label, you don't want to print an address here.",
      this);
  explanation->setObjectName("Label1");
  explanation->setWordWrap(true);
  explanation->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont explanationFont = explanation->font();
  explanationFont.setPointSize(10);
  explanation->setFont(explanationFont);

  auto* rgExtraLabel = new QGroupBox("Print Address on Extra Label?", this);
  rgExtraLabel->setObjectName("rgExtraLabel");
  m_yes = new QRadioButton("Yes", rgExtraLabel);
  m_yes->setObjectName("rbYes");
  m_no = new QRadioButton("No", rgExtraLabel);
  m_no->setObjectName("rbNo");
  auto* choices = new QHBoxLayout(rgExtraLabel);
  choices->addWidget(m_yes);
  choices->addWidget(m_no);
  // Exclusive, but able to start with neither choice selected.
  auto* group = new QButtonGroup(this);
  group->addButton(m_yes);
  group->addButton(m_no);

  auto* comboCaption = new QLabel("Address for Extra Label:", this);
  cbExtraLabel = new QComboBox(this);
  cbExtraLabel->setObjectName("cbExtraLabel");
  cbExtraLabel->setEditable(true);
  cbExtraLabel->setInsertPolicy(QComboBox::NoInsert);
  // Only an entry spelt exactly is the choice. With Qt's default completer
  // the list takes a text that matches an entry in other capitals for that
  // entry when the focus leaves, and "your name and address" would become
  // the sender choice instead of "Addressed To".
  cbExtraLabel->completer()->setCaseSensitivity(Qt::CaseSensitive);
  comboCaption->setBuddy(cbExtraLabel);

  auto* btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  auto* btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addWidget(rgExtraLabel);
  layout->addWidget(comboCaption);
  layout->addWidget(cbExtraLabel);
  layout->addStretch();
  layout->addLayout(buttons);

  // The designed size, or more when the explanation needs more lines.
  resize(roomForTexts(*this, {409, 208}));

  connect(m_yes, &QRadioButton::toggled, this, [this] { rgExtraLabelClick(); });
  connect(m_no, &QRadioButton::toggled, this, [this] { rgExtraLabelClick(); });
  connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  FormCreate();
}

void TF_ExtraLabel::FormCreate() {
  cbExtraLabel->addItems({kAddressedTo, kYourNameAndAddress});
  const QString stored = fromAnsi(m_settings.PrintExtraLabel);
  if (stored.compare("Yes", Qt::CaseInsensitive) == 0) m_yes->setChecked(true);
  if (stored.compare("No", Qt::CaseInsensitive) == 0) m_no->setChecked(true);
  cbExtraLabel->setEditText(fromAnsi(m_settings.ExtraLabel));
}

void TF_ExtraLabel::rgExtraLabelClick() {
  cbExtraLabel->setEnabled(m_yes->isChecked());
}

void TF_ExtraLabel::btnOKClick() {
  // With neither choice selected (a stored value that is neither "Yes" nor
  // "No", and the user chose nothing) the stored value is kept as it was.
  if (m_yes->isChecked()) m_settings.PrintExtraLabel = "Yes";
  if (m_no->isChecked()) m_settings.PrintExtraLabel = "No";
  const std::string chosen = toAnsi(cbExtraLabel->currentText());
  m_settings.ExtraLabel =
      chosen == kAddressedTo || chosen == kYourNameAndAddress ? chosen : kAddressedTo;
  accept();
}

}  // namespace kestrel
