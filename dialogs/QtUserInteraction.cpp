#include "dialogs/QtUserInteraction.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QRegularExpression>

#include "dialogs/ChoiceBoxWindow.h"

namespace kestrel {
namespace {

QMessageBox::Icon qtIcon(UserInteraction::Icon icon) {
  switch (icon) {
    case UserInteraction::Icon::None:
      return QMessageBox::NoIcon;
    case UserInteraction::Icon::Error:
      return QMessageBox::Critical;
    case UserInteraction::Icon::Information:
      return QMessageBox::Information;
    case UserInteraction::Icon::Question:
      return QMessageBox::Question;
    case UserInteraction::Icon::Warning:
      return QMessageBox::Warning;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(UserInteraction::Buttons buttons) {
  switch (buttons) {
    case UserInteraction::Buttons::Ok:
      return QMessageBox::Ok;
    case UserInteraction::Buttons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case UserInteraction::Buttons::YesNo:
    case UserInteraction::Buttons::YesNoDefaultNo:
      return QMessageBox::Yes | QMessageBox::No;
    case UserInteraction::Buttons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// Room a title bar takes beside its caption: the window menu and the
// minimise, maximise and close buttons of the usual window managers.
constexpr int kTitleBarButtonsWidth = 120;

// A box with a short text is narrow, and Qt leaves room in it for fewer
// title-bar buttons than most window managers draw, so its caption came out
// cut short ("Ke...rel"). A spacer across the box keeps it wide enough for
// the caption in a bold title font.
void leaveRoomForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  QFont title = box.font();
  title.setBold(true);
  const int width =
      QFontMetrics(title).horizontalAdvance(box.windowTitle()) + kTitleBarButtonsWidth;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// The file the user chose in a file dialog, or nothing when it was cancelled.
QString chosenFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

QString qtFileFilter(const QString& filter) {
  if (!filter.contains(QLatin1Char('|'))) return filter;
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // A description that shows its patterns already ("Import Files(*.txt;*.csv)")
    // shows them once, in Qt's form.
    QString description = parts[i];
    description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
    entries << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return entries.join(QStringLiteral(";;"));
}

UserInteraction::Answer QtUserInteraction::message(const QString& caption, const QString& text,
                                                   Icon icon, Buttons buttons) {
  QMessageBox box(qtIcon(icon), caption, text, qtButtons(buttons), QApplication::activeWindow());
  leaveRoomForCaption(box);
  if (buttons == Buttons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      return Answer::Ok;
  }
}

int QtUserInteraction::choiceBox(const QString& caption, const QString& text,
                                 const QStringList& buttonCaptions) {
  ChoiceBoxWindow box(caption, text, buttonCaptions, QApplication::activeWindow());
  return box.exec();
}

QString QtUserInteraction::openFileName(const QString& caption, const QString& folder,
                                        const QString& filter) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder,
                                      qtFileFilter(filter));
}

QString QtUserInteraction::openOrNewFileName(const QString& caption, const QString& folder,
                                             const QString& filter) {
  QFileDialog dialog(QApplication::activeWindow(), caption, folder, qtFileFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  return chosenFile(dialog);
}

QString QtUserInteraction::saveFileName(const QString& caption, const QString& folder,
                                        const QString& filter, const QString& defaultSuffix,
                                        ExistingFile existing) {
  if (!filter.isEmpty()) m_saveFilter = filter;
  QFileDialog dialog(QApplication::activeWindow(), caption,
                     folder.isEmpty() ? m_saveFolder : folder, qtFileFilter(m_saveFilter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(defaultSuffix);
  // Qt's "replace it?" would come before the command's own question, and a
  // No would send the user back to the dialog.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, existing == ExistingFile::TakeAsIs);
  const QString chosen = chosenFile(dialog);
  m_saveFolder = dialog.directory().absolutePath();
  return chosen;
}

int QtUserInteraction::execDialog(QDialog& dialog) {
  return dialog.exec();
}

}  // namespace kestrel
