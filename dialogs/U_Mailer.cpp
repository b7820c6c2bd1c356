#include "dialogs/U_Mailer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "core/Settings.h"
#include "dialogs/RequiredMaskGuard.h"
#include "dialogs/TextRoom.h"
#include "numbering/ArticleNumber.h"
#include "platform/AnsiText.h"
#include "platform/KeyPreview.h"
#include "platform/MaskedEdit.h"
#include "platform/ShellOpen.h"
#include "platform/UserInteraction.h"

namespace kestrel {
namespace {

constexpr const char* kCustIdMask = "000000000;0";
constexpr const char* kSerialMask = "0000000;1;_";
// What a scanner sends may carry a routing prefix, a symbology identifier and
// group separators besides the 22 digits: the field has room for all of it.
constexpr int kMailerNumMaxLength = 64;

constexpr const char* kCustIdHint = "Click on \"Help\" for information on the Customer ID";
constexpr const char* kSerialHint =
    "Click on \"Help\" for information on the Identifier Serial Number";

// The five lines of the count-order text box, each ending in a blank.
constexpr const char* kCountOrderLines[] = {
    "\"Decrement\" depending on the order you have the Mailer's in your printer. ",
    "Some printers  pull paper from the bottom of the pile and some from the top. ",
    "Thus if your printer takes paper from the bottom of the pile, you must use ",
    "the mailer number from the bottom of the pile of mailers and have the ",
    "counter decrement the number for each new label. ",
};

// Captions are written as the window system took them: "&&" shows one "&".
// Our labels have no access keys, so that is the only marker to resolve.
QString shownCaption(const char* caption) {
  return QString::fromUtf8(caption).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QFont windowFont() {
  return QFont(QStringLiteral("MS Sans Serif"), 8);
}

// The labels and fields inside the two groups are 13 pixels high.
QFont groupFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(13);
  return font;
}

QLabel* label(QWidget* parent, const char* caption, bool bold = false, bool wrap = false) {
  auto* result = new QLabel(shownCaption(caption), parent);
  result->setTextFormat(Qt::PlainText);
  result->setWordWrap(wrap);
  if (bold) {
    QFont font = result->font();
    font.setBold(true);
    result->setFont(font);
  }
  return result;
}

QLabel* groupLabel(QWidget* parent, const char* name, const char* caption, QPoint place) {
  QLabel* result = label(parent, caption);
  result->setObjectName(name);
  result->setFont(groupFont());
  result->move(place);
  result->adjustSize();
  return result;
}

MaskedEdit* maskedEdit(QWidget* parent, const char* name, const char* mask, QRect geometry) {
  auto* edit = new MaskedEdit(parent);
  edit->setObjectName(name);
  edit->setFont(groupFont());
  edit->setGeometry(geometry);
  edit->setEditMask(QString::fromLatin1(mask));
  return edit;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* result = new QPushButton(QString::fromLatin1(caption), parent);
  result->setObjectName(name);
  result->setGeometry(geometry);
  // Enter in a field presses no button, as in the original form.
  result->setAutoDefault(false);
  return result;
}

// One line of a help panel: labels side by side, left aligned.
QHBoxLayout* helpRow(std::initializer_list<QWidget*> parts) {
  auto* row = new QHBoxLayout;
  row->setSpacing(3);
  for (QWidget* part : parts) row->addWidget(part);
  row->addStretch();
  return row;
}

QFrame* helpPanel(QWidget* parent, const char* name, QRect geometry) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setGeometry(geometry);
  panel->hide();
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(1);
  return panel;
}

QVBoxLayout* panelLayout(QFrame* panel) {
  return static_cast<QVBoxLayout*>(panel->layout());
}

ArticleNumberReading stockNumberReading(const MaskedEdit& edit) {
  return readArticleNumber(toAnsi(edit.text()));
}

}  // namespace

TF_Mailer::TF_Mailer(SettingsRecord& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setObjectName(QStringLiteral("TF_Mailer"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(windowFont());
  setFixedSize(kFormSize);

  // Creation order is the tab order: the mode's group first, then the
  // check box and the buttons.
  buildBarCodeGroup();
  buildNoBarCodeGroup();

  cbDontShow = new QCheckBox(QStringLiteral("Do not show this screen again"), this);
  cbDontShow->setObjectName(QStringLiteral("cbDontShow"));
  cbDontShow->setGeometry(8, 120, 185, 20);
  cbDontShow->hide();

  btnOK = button(this, "btnOK", "OK", {142, 90, 67, 25});
  btnCancel = button(this, "btnCancel", "Cancel", {222, 90, 67, 25});
  btnHelp = button(this, "btnHelp", "Help", {302, 90, 67, 25});
  connect(btnOK, &QPushButton::clicked, this, &TF_Mailer::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &TF_Mailer::btnCancelClick);
  connect(btnHelp, &QPushButton::clicked, this, &TF_Mailer::btnHelpClick);

  buildBarCodeHelp();
  buildMailerNumHelp();

  new KeyPreview(*this, [this](QKeyEvent& event) { return FormKeyDown(event.key()); });
  FormCreate();
}

void TF_Mailer::buildBarCodeGroup() {
  gbPrintBarcode = new QGroupBox(this);
  gbPrintBarcode->setObjectName(QStringLiteral("gbPrintBarcode"));
  gbPrintBarcode->setGeometry(8, 20, 361, 78);
  gbPrintBarcode->hide();

  Label1 = groupLabel(gbPrintBarcode, "Label1", "Mailer Number", {12, 18});
  Label1->setToolTip(QString::fromLatin1(kCustIdHint));
  editCustID = maskedEdit(gbPrintBarcode, "editCustID", kCustIdMask, {220, 13, 83, 24});
  editCustID->setToolTip(QString::fromLatin1(kSerialHint));
  Label26 = groupLabel(gbPrintBarcode, "Label26", "Enter Identifier Serial Number", {12, 48});
  Label26->setToolTip(QString::fromLatin1(kSerialHint));
  editSerialNum = maskedEdit(gbPrintBarcode, "editSerialNum", kSerialMask, {220, 44, 71, 24});
  editSerialNum->setToolTip(QString::fromLatin1(kSerialHint));

  m_custIdGuard = new RequiredMaskGuard(*editCustID);
  m_serialGuard = new RequiredMaskGuard(*editSerialNum);
}

void TF_Mailer::buildNoBarCodeGroup() {
  gbNoBarCode = new QGroupBox(this);
  gbNoBarCode->setObjectName(QStringLiteral("gbNoBarCode"));
  gbNoBarCode->setGeometry(8, 12, 361, 78);
  gbNoBarCode->hide();

  Label5 = groupLabel(gbNoBarCode, "Label5", "22 Digit Mailer Number", {8, 16});
  // Wide enough for the 22 digits, up to the radio group. No mask: the number
  // is taken as typed or scanned, with blanks, prefix and separators, and
  // checked as a whole when the dialog is confirmed.
  editMailerNum = maskedEdit(gbNoBarCode, "editMailerNum", "", {8, 38, 164, 24});
  editMailerNum->setMaxLength(kMailerNumMaxLength);
  // Under the field, left of the buttons: the group has no room to spare.
  lblMailerNumMeaning = new QLabel(this);
  lblMailerNumMeaning->setObjectName(QStringLiteral("lblMailerNumMeaning"));
  lblMailerNumMeaning->setTextFormat(Qt::PlainText);
  lblMailerNumMeaning->setWordWrap(true);
  lblMailerNumMeaning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblMailerNumMeaning->setGeometry(12, 92, 128, 28);
  lblMailerNumMeaning->hide();
  connect(editMailerNum, &QLineEdit::textChanged, this, &TF_Mailer::editMailerNumChange);

  // The radio group keeps the window's font.
  rgCountType = new QGroupBox(QStringLiteral("Count Type"), gbNoBarCode);
  rgCountType->setObjectName(QStringLiteral("rgCountType"));
  rgCountType->setFont(windowFont());
  rgCountType->setGeometry(174, 16, 177, 49);
  auto* columns = new QGridLayout(rgCountType);
  columns->setContentsMargins(8, 2, 8, 2);
  m_countType = new QButtonGroup(this);
  int index = 0;
  for (const char* item : {"Increment", "Decrement"}) {
    auto* radio = new QRadioButton(QString::fromLatin1(item), rgCountType);
    radio->setObjectName(QStringLiteral("rgCountType") + QString::fromLatin1(item));
    columns->addWidget(radio, 0, index);
    m_countType->addButton(radio, index++);
  }
  // The two choices side by side may need more room than designed with
  // these fonts: the group, and the group around it, grow to the right.
  const int extra = roomForTexts(*rgCountType, rgCountType->size()).width() - rgCountType->width();
  if (extra > 0) {
    rgCountType->resize(rgCountType->width() + extra, rgCountType->height());
    gbNoBarCode->resize(gbNoBarCode->width() + extra, gbNoBarCode->height());
  }
}

void TF_Mailer::buildBarCodeHelp() {
  panelBarCode = helpPanel(this, "panelBarCode", {0, 122, 362, 136});
  QVBoxLayout* rows = panelLayout(panelBarCode);
  rows->addLayout(
      helpRow({label(panelBarCode, "Customer ID:", true),
               label(panelBarCode, "You may request a nine-digit customer ID (i.e., your DUNS")}));
  rows->addLayout(helpRow(
      {label(panelBarCode,
             "number) from your postal representative or by contacting Dun && Bradstreet")}));

  LabelDnB = new QLabel(kDnBAddress, panelBarCode);
  LabelDnB->setObjectName(QStringLiteral("LabelDnB"));
  LabelDnB->setTextFormat(Qt::PlainText);
  QFont link = LabelDnB->font();
  link.setUnderline(true);
  LabelDnB->setFont(link);
  QPalette blue = LabelDnB->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  LabelDnB->setPalette(blue);
  LabelDnB->setMouseTracking(true);
  LabelDnB->installEventFilter(this);
  rows->addLayout(
      helpRow({label(panelBarCode, "by telephone at 800-333-0505 or via Internet at"), LabelDnB}));

  rows->addWidget(label(panelBarCode,
                        "This number uniquely identifies business entities at specific physical "
                        "addresses.  If you are generating mailings at multiple locations, you "
                        "must use the DUNS number appropriate for each mailing location.",
                        false, true));
  rows->addLayout(helpRow({label(panelBarCode, "Identifier Serial Number:", true),
                           label(panelBarCode, "You will self-assign an eight-digit Identifier")}));
  rows->addWidget(label(panelBarCode,
                        "Serial Number.  This number must remain unique for at least 2 years in "
                        "order to ensure that it identifies only one mailpiece.",
                        false, true));
  rows->addStretch();
}

void TF_Mailer::buildMailerNumHelp() {
  panelMailerNum = helpPanel(this, "panelMailerNum", {0, 122, 369, 186});
  QVBoxLayout* rows = panelLayout(panelMailerNum);
  rows->addLayout(helpRow({label(panelMailerNum, "20 Digit Mailer Number:", true),
                           label(panelMailerNum, "You have chosen not to print the bar code's,")}));
  rows->addWidget(label(panelMailerNum,
                        "thus your mailers must have the bar code already printed on them.  You "
                        "must enter all 22 digits of the next Mailer Number in your printer.",
                        false, true));
  rows->addLayout(helpRow({label(panelMailerNum, "Increment/Decrement:", true),
                           label(panelMailerNum, "You can select either \"Increment\", or ")}));

  memoCountOrder = new QPlainTextEdit(panelMailerNum);
  memoCountOrder->setObjectName(QStringLiteral("memoCountOrder"));
  memoCountOrder->setReadOnly(true);
  memoCountOrder->setFrameShape(QFrame::NoFrame);
  memoCountOrder->setFocusPolicy(Qt::NoFocus);
  memoCountOrder->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoCountOrder->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoCountOrder->setLineWrapMode(QPlainTextEdit::NoWrap);
  QPalette window = memoCountOrder->palette();
  window.setColor(QPalette::Base, window.color(QPalette::Window));
  memoCountOrder->setPalette(window);
  memoCountOrder->document()->setDocumentMargin(0);
  QStringList lines;
  for (const char* line : kCountOrderLines) lines << QString::fromLatin1(line);
  memoCountOrder->setPlainText(lines.join(QLatin1Char('\n')));
  // The lines do not wrap: the box is as large as they need.
  const QFontMetrics metrics(memoCountOrder->font());
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  memoCountOrder->setMinimumWidth(widest + 4);
  memoCountOrder->setFixedHeight(metrics.height() * static_cast<int>(lines.size()) + 4);
  rows->addWidget(memoCountOrder);

  rows->addWidget(label(panelMailerNum,
                        "To determine the order of your mailer numbers, look at the last 10 "
                        "digits of the Mailer Number and ignore the last digit.  The remaining 9 "
                        "digits will be",
                        false, true));
  rows->addLayout(
      helpRow({label(panelMailerNum, "your"), label(panelMailerNum, "unique number", true),
               label(panelMailerNum, ". These"), label(panelMailerNum, "unique numbers", true),
               label(panelMailerNum, "should be consecutive.")}));
  rows->addStretch();
}

void TF_Mailer::FormCreate() {
  setWindowTitle(QStringLiteral("Mailer Number"));
  if (m_settings.PrintBarCode) {
    gbPrintBarcode->show();
    editSerialNum->setMaskedText(fromAnsi(m_settings.SerialNum));
    editCustID->setMaskedText(fromAnsi(m_settings.CustID));
  } else {
    gbNoBarCode->show();
    lblMailerNumMeaning->show();
    editMailerNum->setText(fromAnsi(m_settings.MailerNum));
    // The number is read from its start.
    editMailerNum->setCursorPosition(0);
    setCountTypeIndex(m_settings.Increment ? 0 : 1);
  }
}

void TF_Mailer::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Shown once per dialog; a second show must not grow the window again.
  if (!m_shown) {
    m_shown = true;
    FormShow();
  }
}

void TF_Mailer::FormShow() {
  if (dontShowOffered()) setFixedSize(width(), height() + kDontShowGrowth);
  centreOnScreen();
}

void TF_Mailer::editMailerNumChange() {
  // What a whole number says, so that the user sees at a glance whether the
  // right forms are in the printer; nothing while it is not whole.
  const ArticleNumberReading reading = stockNumberReading(*editMailerNum);
  lblMailerNumMeaning->setText(reading.ok() ? fromAnsi(describeArticleNumber(reading.digits))
                                            : QString());
}

void TF_Mailer::btnOKClick() {
  // Pressing OK must not take what a field refuses to give up.
  for (RequiredMaskGuard* guard : {m_custIdGuard, m_serialGuard}) {
    if (guard->edit().isVisibleTo(this) && !guard->checkBeforeLeaving()) return;
  }
  if (m_settings.PrintBarCode) {
    m_settings.CustID = toAnsi(editCustID->maskedText());
    m_settings.SerialNum = toAnsi(editSerialNum->maskedText());
  } else {
    // A mistyped number is never stored: the dialog stays open with the text.
    const ArticleNumberReading reading = stockNumberReading(*editMailerNum);
    if (!reading.ok()) {
      showError(fromAnsi(articleNumberProblemText(reading)));
      editMailerNum->setFocus();
      return;
    }
    m_settings.MailerNum = reading.digits;
    m_settings.Increment = countTypeIndex() == 0;
  }
  // A hidden check box is never ticked, so confirming from the menu or at
  // start-up asks again before the next print.
  m_settings.ShowMailerDialog = !(dontShowOffered() && cbDontShow->isChecked());
  done(QDialog::Accepted);
}

void TF_Mailer::btnCancelClick() {
  done(QDialog::Rejected);
}

void TF_Mailer::btnHelpClick() {
  QFrame* panel = m_settings.PrintBarCode ? panelBarCode : panelMailerNum;
  const int designedGrowth = m_settings.PrintBarCode ? kBarCodeHelpGrowth : kMailerNumHelpGrowth;
  if (dontShowOffered()) {
    for (QFrame* each : {panelBarCode, panelMailerNum})
      each->move(each->x(), each->y() + kDontShowGrowth);
  }
  // The help lines do not wrap: the panel is as wide as its widest line
  // needs, and the window grows by as much as the panel outgrows its design.
  const QSize room = roomForTexts(*panel, panel->size());
  const int extraHeight = room.height() - panel->height();
  panel->resize(room);
  panel->show();
  // The design leaves as much room right of the mode's group as left of it.
  const QGroupBox* group = m_settings.PrintBarCode ? gbPrintBarcode : gbNoBarCode;
  const int groupRoom = group->geometry().right() + 1 + group->x() * 2;
  const QSize helpSize(std::max({kHelpWidth, panel->x() + room.width(), groupRoom}),
                       height() + designedGrowth + extraHeight);
  setFixedSize(helpSize);
  btnHelp->setEnabled(false);
  // Centred with the size just given: a shown window takes a new size only
  // once the window system has answered.
  kestrel::centreOnScreen(*this, helpSize);
}

bool TF_Mailer::FormKeyDown(int key) {
  if (key == Qt::Key_Escape) {
    btnCancelClick();
    return true;
  }
  // Enter confirms as OK does (a scanner ends its number with it), unless
  // another button has the focus: then it is that button's press.
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button != btnOK)
      button->click();
    else
      btnOKClick();
    return true;
  }
  return false;
}

void TF_Mailer::LabelDnBClick() {
  shellOpen(LabelDnB->text());
}

void TF_Mailer::LabelDnBMouseMove() {
  LabelDnB->setCursor(Qt::PointingHandCursor);
}

void TF_Mailer::LabelDnBMouseLeave() {
  LabelDnB->unsetCursor();
}

bool TF_Mailer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabelDnB) {
    switch (event->type()) {
      case QEvent::MouseMove:
      case QEvent::Enter:
        LabelDnBMouseMove();
        break;
      case QEvent::Leave:
        LabelDnBMouseLeave();
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) LabelDnBClick();
        break;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

int TF_Mailer::countTypeIndex() const {
  return m_countType->checkedId();
}

void TF_Mailer::setCountTypeIndex(int index) {
  if (QAbstractButton* item = m_countType->button(index)) item->setChecked(true);
}

bool TF_Mailer::dontShowOffered() const {
  // The caller shows the check box before the dialog itself is shown, so
  // only its own flag says whether it was asked for.
  return !cbDontShow->isHidden();
}

void TF_Mailer::centreOnScreen() {
  kestrel::centreOnScreen(*this, size());
}

bool openMailerDialog(SettingsRecord& settings, QWidget* parent, bool offerDontShow) {
  TF_Mailer dialog(settings, parent);
  if (offerDontShow) dialog.cbDontShow->show();
  return ui().execDialog(dialog) == QDialog::Accepted;
}

}  // namespace kestrel
