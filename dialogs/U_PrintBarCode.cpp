#include "dialogs/U_PrintBarCode.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "platform/AnsiText.h"
#include "platform/MaskedEdit.h"

namespace kestrel {

namespace {
constexpr int kWidth = 480;
constexpr int kHeightWithoutHelp = 190;
constexpr int kLineHeight = 15;

// The help panel's lines; a bold heading starts each of its two parts.
struct HelpLine {
  const char* text;
  bool bold = false;
  bool link = false;
};
const HelpLine kHelpLines[] = {
    {"Customer ID:", true},
    {"You may request a nine-digit customer ID (i.e., your DUNS"},
    {"number) from your postal representative or by contacting Dun & Bradstreet"},
    {"by telephone at 800-333-0505 or via Internet at"},
    {"www.dnb.com", false, true},
    {"This number uniquely identifies business entities at specific physical addresses.  If you "
     "are generating mailings at multiple locations, you must use the DUNS number appropriate for "
     "each mailing location."},
    {"Identifier Serial Number:", true},
    {"You will self-assign an eight-digit Identifier"},
    {"Serial Number.  This number must remain unique for at least 2 years in order to ensure that "
     "it identifies only one mailpiece."},
};
}  // namespace

void OneDigitSpinBox::keyPressEvent(QKeyEvent* event) {
  // Typing may not make the text longer than one character (a selection is
  // replaced); the arrows still show every number up to the maximum.
  const QString typed = event->text();
  if (!typed.isEmpty() && typed.at(0).isPrint()) {
    const qsizetype kept = lineEdit()->text().size() - lineEdit()->selectedText().size();
    if (kept + typed.size() > 1) {
      event->accept();
      return;
    }
  }
  QSpinBox::keyPressEvent(event);
}

QLabel* TF_PrintBarCode::addLabel(QWidget* parent, const QString& text, int x, int y, bool bold) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->move(x, y);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

TF_PrintBarCode::TF_PrintBarCode(SettingsRecord& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setObjectName(QStringLiteral("TF_PrintBarCode"));
  setWindowTitle(QStringLiteral("Print Bar Code's"));
  setFixedSize(kWidth, kHeightWithoutHelp);

  QLabel* instruction = addLabel(
      this,
      QStringLiteral("Please enter the starting Identifier Serial Number, and how many labels you "
                     "will be printing Bar Code's on."),
      10, 8);
  instruction->setWordWrap(true);
  instruction->setFixedWidth(kWidth - 20);

  addLabel(this, QStringLiteral("Customer ID (DUNS #)"), 10, 50);
  editCustID = new MaskedEdit(this);
  editCustID->setObjectName(QStringLiteral("editCustID"));
  editCustID->setEditMask(QStringLiteral("000000000;1;_"));
  editCustID->setMaskedText(fromAnsi(settings.CustID));
  editCustID->setGeometry(10, 66, 120, 21);

  addLabel(this, QStringLiteral("Enter Identifier Serial Number"), 160, 50);
  editSerialNum = new MaskedEdit(this);
  editSerialNum->setObjectName(QStringLiteral("editSerialNum"));
  editSerialNum->setEditMask(QStringLiteral("0000000;1;_"));
  editSerialNum->setMaskedText(fromAnsi(settings.SerialNum));
  editSerialNum->setGeometry(160, 66, 120, 21);

  addLabel(this, QStringLiteral("Number of Labels"), 350, 50);
  editNumLabels = new OneDigitSpinBox(this);
  editNumLabels->setObjectName(QStringLiteral("editNumLabels"));
  editNumLabels->setRange(1, kMaxLabels);
  editNumLabels->setValue(1);
  editNumLabels->setGeometry(350, 66, 80, 21);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnOK->setGeometry(120, 120, 75, 25);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(202, 120, 75, 25);
  btnHelp = new QPushButton(QStringLiteral("Help"), this);
  btnHelp->setObjectName(QStringLiteral("btnHelp"));
  btnHelp->setGeometry(284, 120, 75, 25);

  panelBarCode = new QFrame(this);
  panelBarCode->setObjectName(QStringLiteral("panelBarCode"));
  panelBarCode->setFrameShape(QFrame::Panel);
  panelBarCode->setFrameShadow(QFrame::Sunken);
  panelBarCode->setGeometry(8, 160, kWidth - 16, kHeightWithHelp - 160 - 8);
  int y = 4;
  for (const HelpLine& line : kHelpLines) {
    QLabel* label = addLabel(panelBarCode, QString::fromLatin1(line.text), 6, y, line.bold);
    label->setWordWrap(true);
    label->setFixedWidth(panelBarCode->width() - 12);
    label->adjustSize();
    if (line.link) label->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    y += std::max(kLineHeight, label->height()) + (line.bold ? 2 : 0);
  }
  panelBarCode->hide();

  connect(btnOK, &QPushButton::clicked, this, &TF_PrintBarCode::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnHelp, &QPushButton::clicked, this, &TF_PrintBarCode::btnHelpClick);
  connect(editNumLabels->lineEdit(), &QLineEdit::textChanged, this,
          &TF_PrintBarCode::editNumLabelsChange);
  setTabOrder(editCustID, editSerialNum);
  setTabOrder(editSerialNum, editNumLabels);
}

void TF_PrintBarCode::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOnScreen();
  editSerialNum->setFocus();
}

void TF_PrintBarCode::centreOnScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void TF_PrintBarCode::editNumLabelsChange() {
  btnOK->setEnabled(!editNumLabels->lineEdit()->text().trimmed().isEmpty());
}

void TF_PrintBarCode::btnOKClick() {
  if (editNumLabels->lineEdit()->text().trimmed().isEmpty()) return;
  editNumLabels->interpretText();
  m_settings.LabelCount = editNumLabels->value();
  m_settings.SerialNum = toAnsi(editSerialNum->maskedText());
  m_settings.CustID = toAnsi(editCustID->maskedText());
  accept();
}

void TF_PrintBarCode::btnHelpClick() {
  setFixedSize(kWidth, kHeightWithHelp);
  panelBarCode->show();
  btnHelp->setEnabled(false);
  centreOnScreen();
}

}  // namespace kestrel
