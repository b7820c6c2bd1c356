#include "dialogs/U_Align.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/TextRoom.h"

namespace kestrel {

TF_Align::TF_Align(SettingsRecord& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setObjectName("TF_Align");
  setWindowTitle("Printer Alignment");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  auto* explanation = new QLabel(
      "The numbers below will move the text on the form either 1/100\" to the right if a "
      "negative number or to the left if a positive number.  It also can move the text  "
      "1/100\" up if a positive number and down if a negative number.",
      this);
  explanation->setObjectName("Label1");
  explanation->setWordWrap(true);
  explanation->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  auto* leftRightCaption = new QLabel("Left && Right", this);
  auto* upDownCaption = new QLabel("Up and Down", this);
  for (QLabel* caption : {leftRightCaption, upDownCaption}) {
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
  }

  spinLeftRight = makeSpin("spinLeftRight");
  SpinUpDown = makeSpin("SpinUpDown");
  // With a buddy the label reads access keys, so "&&" shows as one "&".
  leftRightCaption->setBuddy(spinLeftRight);
  upDownCaption->setBuddy(SpinUpDown);

  auto* btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  auto* btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");

  auto* fields = new QGridLayout;
  fields->addWidget(leftRightCaption, 0, 0, Qt::AlignHCenter);
  fields->addWidget(upDownCaption, 0, 1, Qt::AlignHCenter);
  fields->addWidget(spinLeftRight, 1, 0);
  fields->addWidget(SpinUpDown, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  // The designed size, or more when the explanation needs more lines.
  setFixedSize(roomForTexts(*this, {297, 158}));

  connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  FormCreate();
}

QSpinBox* TF_Align::makeSpin(const char* name) {
  auto* spin = new QSpinBox(this);
  spin->setObjectName(name);
  spin->setRange(-kLimit, kLimit);
  spin->setSingleStep(1);
  // The spin box keeps its line edit to itself; it is its only QLineEdit child.
  spin->findChild<QLineEdit*>()->installEventFilter(this);
  return spin;
}

void TF_Align::FormCreate() {
  spinLeftRight->setValue(std::clamp(m_settings.LeftRight, -kLimit, kLimit));
  SpinUpDown->setValue(std::clamp(m_settings.TopBottom, -kLimit, kLimit));
}

int TF_Align::offsetFrom(const QSpinBox* spin, int stored) {
  bool whole = false;
  const int typed = spin->cleanText().trimmed().toInt(&whole);
  return whole ? std::clamp(typed, -kLimit, kLimit) : stored;
}

void TF_Align::btnOKClick() {
  m_settings.LeftRight = offsetFrom(spinLeftRight, m_settings.LeftRight);
  m_settings.TopBottom = offsetFrom(SpinUpDown, m_settings.TopBottom);
  accept();
}

bool TF_Align::eventFilter(QObject* watched, QEvent* event) {
  // At most three typed characters; values set by the program (such as the
  // lower limit, -999) may be longer. A maximum length on the line edit
  // would cut those too.
  if (event->type() == QEvent::KeyPress) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    if (edit && printable && !edit->hasSelectedText() && edit->text().size() >= kMaxTypedCharacters)
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kestrel
