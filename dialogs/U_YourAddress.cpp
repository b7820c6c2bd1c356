#include "dialogs/U_YourAddress.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "core/Settings.h"
#include "core/ZipCode.h"
#include "dialogs/TextRoom.h"
#include "platform/AnsiText.h"
#include "platform/DisplayedLines.h"
#include "platform/KeyPreview.h"
#include "platform/MaskedEdit.h"
#include "platform/MemoEdit.h"

namespace kestrel {
namespace {

constexpr const char* kZipMask = "99999\\-9999;1;_";

QLineEdit* lineEdit(QWidget* parent, const char* name, QRect geometry, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(geometry);
  edit->setMaxLength(maxLength);
  return edit;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* result = new QPushButton(caption, parent);
  result->setObjectName(name);
  result->setGeometry(geometry);
  // Enter in an edit field does not press a button, as in the original form.
  result->setAutoDefault(false);
  return result;
}

}  // namespace

TF_YourAddress::TF_YourAddress(QWidget* parent) : QDialog(parent) {
  setObjectName("TF_YourAddress");
  setWindowTitle("Your Name and Address");
  setFont(QFont("MS Sans Serif", 8));
  setFixedSize(303, 181);

  GroupBox4 = new QGroupBox("Enter your Name and Address", this);
  GroupBox4->setObjectName("GroupBox4");
  GroupBox4->setGeometry(8, 4, 279, 110);
  // Bold caption only: the controls inside are given the dialog's font
  // below. (A style sheet on the group would hand them the application's
  // default font instead, wider than the form was laid out for.)
  QFont caption = font();
  caption.setBold(true);
  GroupBox4->setFont(caption);

  memoYourAddress = new MemoEdit(GroupBox4);
  memoYourAddress->setObjectName("memoYourAddress");
  memoYourAddress->setGeometry(8, 18, 264, 60);
  memoYourAddress->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memoYourAddress->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoYourAddress->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoYourAddress->setTabChangesFocus(true);
  QPalette white = memoYourAddress->palette();
  white.setColor(QPalette::Base, Qt::white);
  memoYourAddress->setPalette(white);
  // The memo keeps four lines itself, also of what the program puts in.
  memoYourAddress->setMaxDisplayedLines(kMaxLines);
  memoYourAddress->installEventFilter(this);

  editYourCity = lineEdit(GroupBox4, "editYourCity", {8, 81, 160, 21}, 35);
  editYourState = lineEdit(GroupBox4, "editYourState", {176, 81, 24, 21}, 4);
  editYourZip = new MaskedEdit(GroupBox4);
  editYourZip->setObjectName("editYourZip");
  editYourZip->setGeometry(208, 81, 65, 21);
  editYourZip->setEditMask(kZipMask);

  // The weight is set, not left to be inherited from the bold group.
  QFont plain = font();
  plain.setBold(false);
  for (QWidget* field :
       std::initializer_list<QWidget*>{memoYourAddress, editYourCity, editYourState, editYourZip}) {
    field->setFont(plain);
  }

  btnOK = button(this, "btnOK", "OK", {144, 121, 67, 25});
  btnCancel = button(this, "btnCancel", "Cancel", {222, 121, 65, 25});
  // All four lines show whole, so that none is scrolled out of view.
  growDown(*memoYourAddress,
           heightForDisplayedLines(*memoYourAddress, kMaxLines) - memoYourAddress->height());
  connect(btnOK, &QPushButton::clicked, this, &TF_YourAddress::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &TF_YourAddress::btnCancelClick);

  new KeyPreview(*this, [this](QKeyEvent& event) { return FormKeyDown(event.key()); });
  FormCreate();
}

void TF_YourAddress::FormCreate() {
  const SettingsRecord& settings = Settings();
  memoYourAddress->clear();
  // Empty stored lines are skipped, so the lines close up.
  for (const std::string* line :
       {&settings.Line1, &settings.Line2, &settings.Line3, &settings.Line4}) {
    if (!line->empty()) memoYourAddress->appendPlainText(fromAnsi(*line));
  }
  editYourCity->setText(fromAnsi(settings.City));
  editYourState->setText(fromAnsi(settings.State));
  editYourZip->setMaskedText(fromAnsi(settings.Zip));
}

void TF_YourAddress::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOnScreen(*this, size());
}

void TF_YourAddress::btnOKClick() {
  SettingsRecord& settings = Settings();
  std::string* lines[] = {&settings.Line1, &settings.Line2, &settings.Line3, &settings.Line4};
  for (int i = 0; i < kMaxLines; ++i) *lines[i] = toAnsi(displayedLine(*memoYourAddress, i));
  settings.City = toAnsi(editYourCity->text());
  settings.State = toAnsi(editYourState->text());
  settings.Zip = CleanZip(toAnsi(editYourZip->maskedText()));
  done(QDialog::Accepted);
}

void TF_YourAddress::btnCancelClick() {
  done(QDialog::Rejected);
}

void TF_YourAddress::memoYourAddressExit() {
  // Each of the first four lines is put back in place with its own text, so a
  // wrapped line stays wrapped and nothing visible changes.
  const QList<DisplayedLine> lines = displayedLines(*memoYourAddress);
  for (qsizetype i = 0; i < lines.size() && i < kMaxLines; ++i) {
    QTextCursor cursor(memoYourAddress->document());
    cursor.setPosition(lines[i].start);
    cursor.setPosition(lines[i].start + lines[i].length, QTextCursor::KeepAnchor);
    if (cursor.selectedText() != lines[i].text) cursor.insertText(lines[i].text);
  }
}

bool TF_YourAddress::FormKeyDown(int key) {
  if (key != Qt::Key_Escape) return false;
  btnCancelClick();
  return true;
}

bool TF_YourAddress::eventFilter(QObject* watched, QEvent* event) {
  if (watched == memoYourAddress && event->type() == QEvent::FocusOut) memoYourAddressExit();
  return QDialog::eventFilter(watched, event);
}

}  // namespace kestrel
