#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialogs/QtUserInteraction.h"

namespace kestrel {
namespace {

// Presses the standard button of whatever message box opens next and
// records how the box looked.
struct BoxAnswer {
  QMessageBox::StandardButton press;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  int width = 0;

  void pressNextBox() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      width = box->width();
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = box->standardButtons();
      QTest::mouseClick(box->button(press), Qt::LeftButton);
    });
  }
};

TEST(QtUserInteraction, MessagesUseTheIconAndButtonSetAndReportThePressedButton) {
  QtUserInteraction service;
  using UI = UserInteraction;
  BoxAnswer no{QMessageBox::No, {}, {}, {}, {}};
  no.pressNextBox();
  EXPECT_EQ(service.message("Kestrel", "Clear the log?", UI::Icon::Question, UI::Buttons::YesNo),
            UI::Answer::No);
  EXPECT_EQ(no.title, "Kestrel");
  EXPECT_EQ(no.text, "Clear the log?");
  EXPECT_EQ(no.icon, QMessageBox::Question);
  EXPECT_EQ(no.buttons, QMessageBox::Yes | QMessageBox::No);

  BoxAnswer cancel{QMessageBox::Cancel, {}, {}, {}, {}};
  cancel.pressNextBox();
  EXPECT_EQ(service.message("T", "Save first?", UI::Icon::Warning, UI::Buttons::YesNoCancel),
            UI::Answer::Cancel);
  EXPECT_EQ(cancel.icon, QMessageBox::Warning);

  BoxAnswer ok{QMessageBox::Ok, {}, {}, {}, {}};
  ok.pressNextBox();
  EXPECT_EQ(service.message("T", "Failed", UI::Icon::Error, UI::Buttons::Ok), UI::Answer::Ok);
  EXPECT_EQ(ok.icon, QMessageBox::Critical);
  EXPECT_EQ(ok.buttons, QMessageBox::Ok);
}

TEST(QtUserInteraction, AShortMessageLeavesTheTitleBarRoomForItsCaption) {
  QtUserInteraction service;
  BoxAnswer done{QMessageBox::Ok, {}, {}, {}, {}};
  done.pressNextBox();
  const QString caption = QStringLiteral("Kestrel Certified Mail");
  service.message(caption, "Import Done.", UserInteraction::Icon::Information,
                  UserInteraction::Buttons::Ok);
  QFont title = QApplication::font();
  title.setBold(true);
  // The caption and a title bar's four buttons of 24 pixels.
  EXPECT_GE(done.width, QFontMetrics(title).horizontalAdvance(caption) + 4 * 24);
}

// Types a name into the file dialog that opens next and presses its accept
// button. A dialog that refuses the name (with a box of its own) is
// cancelled, so that the call returns either way.
void acceptNextFileDialogWith(const QString& name) {
  QTimer::singleShot(0, [name] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(name);
    QTimer::singleShot(0, [dialog] {
      if (auto* refusal = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        refusal->accept();
        QTimer::singleShot(0, dialog, &QDialog::reject);
      }
    });
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

TEST(QtUserInteraction, TheOpenOrNewDialogTakesANameThatIsNotThereYet) {
  QtUserInteraction service;
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  acceptNextFileDialogWith(QStringLiteral("new book.dbf"));
  const QString chosen = service.openOrNewFileName("Read Name and Address from File", folder.path(),
                                                   "DBF Files (*.dbf)|*.dbf|All Files|*.*");
  EXPECT_EQ(QDir::cleanPath(chosen).toStdString(),
            QDir(folder.path()).filePath("new book.dbf").toStdString());
  EXPECT_FALSE(QFileInfo::exists(chosen)) << "the dialog only names the file";
}

TEST(QtUserInteraction, TheSaveDialogIsSharedAndShowsWhatTheLastOneWasLeftWith) {
  QtUserInteraction service;
  QTemporaryDir first;
  QTemporaryDir second;
  ASSERT_TRUE(first.isValid() && second.isValid());
  struct Seen {
    QString folder, filter;
  } seen;
  const auto cancelNextSaveDialog = [&seen] {
    QTimer::singleShot(0, [&seen] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      seen = {dialog->directory().absolutePath(), dialog->selectedNameFilter()};
      dialog->reject();
    });
  };
  // A command sets the folder without showing the dialog (database mode).
  service.setSaveFolder(first.path());
  cancelNextSaveDialog();
  EXPECT_EQ(service.saveFileName({}, {}, {}, {}, {}), QString());
  EXPECT_EQ(seen.folder.toStdString(), QDir(first.path()).absolutePath().toStdString());

  // A command's own folder and filter, then one that sets neither (Clear).
  acceptNextFileDialogWith(QStringLiteral("copy.dbf"));
  EXPECT_FALSE(
      service.saveFileName({}, second.path(), "DBF Files (*.dbf)|*.dbf", QStringLiteral("dbf"), {})
          .isEmpty());
  cancelNextSaveDialog();
  (void)service.saveFileName({}, {}, {}, {}, {});
  EXPECT_EQ(seen.folder.toStdString(), QDir(second.path()).absolutePath().toStdString());
  EXPECT_EQ(seen.filter.toStdString(), "DBF Files (*.dbf)");
}

// A command that asks its own question about an existing file (Import's
// overwrite or append) or adds to it (Clear) gets the name without the
// dialog's "replace it?"; Export's dialog asks before a user's file goes.
TEST(QtUserInteraction, TheSaveDialogAsksBeforeReplacingOnlyWhenTheCommandSaysSo) {
  QtUserInteraction service;
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString existing = folder.filePath(QStringLiteral("clients.dbf"));
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  using Existing = UserInteraction::ExistingFile;
  for (const Existing mode : {Existing::TakeAsIs, Existing::AskToReplace}) {
    SCOPED_TRACE(mode == Existing::TakeAsIs ? "take as is" : "ask to replace");
    QString asked;
    QTimer::singleShot(0, [&asked] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->selectFile(QStringLiteral("clients.dbf"));
      // The dialog's own question, if any, is answered Yes.
      QTimer::singleShot(0, [&asked] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          asked = box->text();
          QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        }
      });
      QMetaObject::invokeMethod(dialog, "accept");
    });
    const QString chosen =
        service.saveFileName({}, folder.path(), "DBF Files (*.dbf)|*.dbf", {}, mode);
    EXPECT_EQ(QFileInfo(chosen).absoluteFilePath().toStdString(),
              QFileInfo(existing).absoluteFilePath().toStdString());
    if (mode == Existing::TakeAsIs)
      EXPECT_EQ(asked.toStdString(), "");
    else
      EXPECT_TRUE(asked.contains(QStringLiteral("already exists"))) << asked.toStdString();
  }
}

TEST(QtFileFilter, CommandsFiltersBecomeQtsForm) {
  EXPECT_EQ(qtFileFilter("Import Files(*.txt;*.csv)|*.txt;*.csv|All Files|*.*"),
            "Import Files (*.txt *.csv);;All Files (*.*)");
  EXPECT_EQ(qtFileFilter("DBF Files (*.dbf)|*.dbf"), "DBF Files (*.dbf)");
  EXPECT_EQ(qtFileFilter("Text (*.txt);;All (*)"), "Text (*.txt);;All (*)");
}

}  // namespace
}  // namespace kestrel
