#pragma once

// The main window on the offscreen platform for window tests: a temporary
// machine folder (the settings file) and program folder, a scripted user, and
// helpers that act as a person does, with real key and focus events.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "ScriptedUserInteraction.h"
#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"

namespace kestrel::test {

// A stored sender and no registration notice: a start without questions.
inline constexpr const char* kQuietStart =
    "[Type]\r\nBarCodeApp=0\r\n"
    "[YourAddress]\r\nLine1=Ann Example\r\nCity=Springfield\r\nState=IL\r\nZip=62701\r\n";

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.isValid());
    ASSERT_TRUE(m_program.isValid());
    formLook::registerFontSubstitutions();
    setMachineFolderForTests(m_machine.path().toStdString());
    Settings() = SettingsRecord{};
  }
  void TearDown() override {
    m_window.reset();
    setMachineFolderForTests("");
  }

  QString iniPath() const { return m_machine.filePath(QStringLiteral("Kestrel3.ini")); }
  std::string programFolder() const { return m_program.path().toStdString(); }

  void writeIni(const QByteArray& content) {
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray readIni() const {
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // Creates the window, shows it and lets the first-show questions run.
  TF_Main& start(TF_About* splash = nullptr) {
    m_window = std::make_unique<TF_Main>(programFolder(), splash);
    m_window->show();
    for (int i = 0; i < 100 && m_window->firstShowPending(); ++i) QCoreApplication::processEvents();
    EXPECT_FALSE(m_window->firstShowPending());
    return *m_window;
  }

  // Focus moves only inside the active window.
  void activate() {
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  }

  template <typename W>
  W* find(const char* name) {
    W* widget = m_window->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QTemporaryDir m_machine;
  QTemporaryDir m_program;
  ScriptedUserInteraction m_user;
  std::unique_ptr<TF_Main> m_window;
};

// Replaces the text of a field as a person does: select all, then type.
inline void retype(QWidget* field, const QString& text) {
  ASSERT_NE(field, nullptr);
  field->setFocus();
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(field, text);
}

}  // namespace kestrel::test
