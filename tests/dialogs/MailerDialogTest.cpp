#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "ScriptedUserInteraction.h"
#include "core/Folders.h"
#include "core/ProfileFile.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "core/SharedNumbering.h"
#include "dialogs/MailerNumberCommand.h"
#include "dialogs/RequiredMaskGuard.h"
#include "dialogs/U_Mailer.h"
#include "numbering/MailerNumber.h"
#include "numbering/NumberConversionError.h"
#include "platform/ApplicationTitle.h"
#include "platform/MaskedEdit.h"

namespace kestrel {
namespace {

using Answer = UserInteraction::Answer;
using Kind = test::ScriptedUserInteraction::Kind;

// Receives what the dialog hands to the desktop's "open" action.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

class MailerDialogTest : public ::testing::Test {
 protected:
  MailerDialogTest() {
    // The command numbers through the machine's settings file.
    setMachineFolderForTests(m_machine.path().toStdString());
    settings.PrintBarCode = true;
    settings.CustID = "123456789";
    settings.SerialNum = "0000041";
    settings.Increment = true;
    settings.MailerNum = "71000000000000000000";
  }

  template <typename T>
  static T* control(const QDialog& dialog, const char* name) {
    T* found = dialog.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static MaskedEdit* edit(const QDialog& dialog, const char* name) {
    return control<MaskedEdit>(dialog, name);
  }
  static void click(const QDialog& dialog, const char* name) {
    QTest::mouseClick(control<QWidget>(dialog, name), Qt::LeftButton);
  }

  // Focus changes only happen in the active window.
  static void activate(QDialog& dialog) {
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  // Empties the field and types the digits, as the user would.
  static void retype(MaskedEdit* field, const QString& digits) {
    field->setFocus(Qt::MouseFocusReason);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    field->setCursorPosition(0);
    QTest::keyClicks(field, digits);
  }

  // Runs the menu command; the dialog is played by `script`, which expects
  // `refusals` messages of the masked fields.
  ~MailerDialogTest() override { setMachineFolderForTests(""); }

  // Runs the menu command; the dialog is played by `script`, which expects
  // `refusals` messages of the masked fields. The numbering the test has set
  // is the machine's, as if this copy had just written it.
  bool runCommand(test::ScriptedUserInteraction::DialogScript script, int refusals = 0) {
    storeNumbering(settings, settingsFilePath());
    user.answerDialog(std::move(script));
    for (int i = 0; i < refusals; ++i) user.answerMessage(Answer::Ok);
    return MailerNumber1Click(settings, nullptr);
  }

  // The numbers the next print would get, without disturbing the settings.
  NumberingState advanced() const {
    NumberingState next = settings;
    AdvanceMailerNumber(next);
    return next;
  }

  std::vector<test::ScriptedUserInteraction::Question> messages() const {
    std::vector<test::ScriptedUserInteraction::Question> result;
    for (const auto& question : user.questions()) {
      if (question.kind == Kind::Message) result.push_back(question);
    }
    return result;
  }

  QTemporaryDir m_machine;
  SettingsRecord settings;
  test::ScriptedUserInteraction user;
};

TEST_F(MailerDialogTest, MenuShowsTheNextSerialAndOkWithoutChangesKeepsTheNumbering) {
  settings.ShowMailerDialog = false;
  const bool confirmed = runCommand([](QDialog& dialog) {
    EXPECT_EQ(edit(dialog, "editSerialNum")->maskedText(), "0000042");
    EXPECT_EQ(edit(dialog, "editCustID")->maskedText(), "123456789");
    EXPECT_TRUE(control<QWidget>(dialog, "gbPrintBarcode")->isVisible());
    EXPECT_FALSE(control<QWidget>(dialog, "gbNoBarCode")->isVisible());
    EXPECT_FALSE(control<QWidget>(dialog, "cbDontShow")->isVisible());
    click(dialog, "btnOK");
    return dialog.result();
  });
  EXPECT_TRUE(confirmed);
  ASSERT_EQ(user.questions().size(), 1u);
  EXPECT_EQ(user.questions()[0].caption, "Mailer Number");
  EXPECT_EQ(user.questions()[0].text, "TF_Mailer");
  EXPECT_EQ(settings.SerialNum, "0000041");
  EXPECT_EQ(advanced().SerialNum, "0000042");
  // Confirming from the menu asks again before the next print.
  EXPECT_TRUE(settings.ShowMailerDialog);
}

TEST_F(MailerDialogTest, TypedSerialIsTheNumberOfTheNextPrint) {
  struct Case {
    const char* typed;
    const char* stored;
    const char* nextPrint;
  };
  // 0000000 is never reached by counting up: the print after it gets 0000001.
  for (const Case& c :
       {Case{"0000100", "0000099", "0000100"}, Case{"0000000", "9999999", "0000001"},
        Case{"9999999", "9999998", "9999999"}}) {
    SCOPED_TRACE(c.typed);
    settings.SerialNum = "0000041";
    EXPECT_TRUE(runCommand([&](QDialog& dialog) {
      activate(dialog);
      retype(edit(dialog, "editSerialNum"), c.typed);
      click(dialog, "btnOK");
      return dialog.result();
    }));
    EXPECT_EQ(settings.SerialNum, c.stored);
    EXPECT_EQ(advanced().SerialNum, c.nextPrint);
    EXPECT_EQ(settings.CustID, "123456789");
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(MailerDialogTest, DecrementChosenInStockModeStepsTheCounterBackUpwards) {
  settings.PrintBarCode = false;
  settings.MailerNum = ComposeMailerNumber("123456789", "0000500", "T");
  EXPECT_TRUE(runCommand([](QDialog& dialog) {
    activate(dialog);
    // The advanced number is shown whole, check digit included.
    EXPECT_EQ(edit(dialog, "editMailerNum")->maskedText(),
              QString::fromStdString(ComposeMailerNumber("123456789", "0000501", "T")));
    EXPECT_TRUE(control<QRadioButton>(dialog, "rgCountTypeIncrement")->isChecked());
    EXPECT_FALSE(control<QWidget>(dialog, "gbPrintBarcode")->isVisible());
    click(dialog, "rgCountTypeDecrement");
    click(dialog, "btnOK");
    return dialog.result();
  }));
  EXPECT_FALSE(settings.Increment);
  EXPECT_EQ(settings.MailerNum, ComposeMailerNumber("123456789", "0000502", "T"));
  // Counting down, the next print gets the number the dialog showed.
  EXPECT_EQ(advanced().MailerNum, ComposeMailerNumber("123456789", "0000501", "T"));
  EXPECT_EQ(settings.SerialNum, "0000041");
}

// The counter form 9589 0710 5270 4022 2902 86, typed or scanned; Enter, as a
// scanner sends it, confirms. The next print gets exactly that number.
TEST_F(MailerDialogTest, StockNumberIsTakenAsTypedOrScannedAndEnterConfirms) {
  settings.PrintBarCode = false;
  // A scanner's group separator is no key of its own: it arrives as a
  // character inserted between the keys it types.
  const QString gs(QChar(29));
  for (const QStringList& typed : {QStringList{"9589 0710 5270 4022 2902 86"},
                                   QStringList{"]C1420627011234", gs, "9589071052704022290286"}}) {
    SCOPED_TRACE(typed.join('|').toStdString());
    EXPECT_TRUE(runCommand([&](QDialog& dialog) {
      activate(dialog);
      MaskedEdit* field = edit(dialog, "editMailerNum");
      retype(field, {});
      for (const QString& part : typed) {
        if (part == gs)
          field->insert(part);
        else
          QTest::keyClicks(field, part);
      }
      EXPECT_EQ(control<QLabel>(dialog, "lblMailerNumMeaning")->text(),
                "USPS retail form, serial 2229028");
      QTest::keyClick(edit(dialog, "editMailerNum"), Qt::Key_Return);
      return dialog.result();
    }));
    EXPECT_EQ(advanced().MailerNum, "9589071052704022290286");
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(MailerDialogTest, AMistypedStockNumberIsToldAndNeverStored) {
  settings.PrintBarCode = false;
  settings.MailerNum = "9589071052704022290286";
  const std::string before = settings.MailerNum;
  struct Case {
    const char* typed;
    const char* message;  // its start
  };
  for (const Case& c : {Case{"9589 0710 5270 4022 2902 87",
                             "The mailer number 9589 0710 5270 "
                             "4022 2902 87 is mistyped"},
                        Case{"71123456789000030045", "The mailer number has only 20 digits."},
                        Case{"9589 0710 5270 4022 2902 8612 34", "The mailer number has 26"},
                        Case{"9589 O710 5270 4022 2902 86", "The mailer number may hold only"}}) {
    SCOPED_TRACE(c.typed);
    const std::size_t shownBefore = messages().size();
    EXPECT_FALSE(runCommand(
        [&](QDialog& dialog) {
          activate(dialog);
          retype(edit(dialog, "editMailerNum"), QString::fromLatin1(c.typed));
          EXPECT_TRUE(control<QLabel>(dialog, "lblMailerNumMeaning")->text().isEmpty());
          QTest::keyClick(edit(dialog, "editMailerNum"), Qt::Key_Enter);
          EXPECT_TRUE(dialog.isVisible());
          EXPECT_EQ(edit(dialog, "editMailerNum")->text(), QString::fromLatin1(c.typed));
          click(dialog, "btnCancel");
          return dialog.result();
        },
        1));
    ASSERT_EQ(messages().size(), shownBefore + 1);
    EXPECT_TRUE(messages().back().text.startsWith(QString::fromLatin1(c.message)))
        << messages().back().text.toStdString();
    EXPECT_EQ(messages().back().icon, UserInteraction::Icon::Error);
    EXPECT_EQ(settings.MailerNum, before);
    EXPECT_EQ(ProfileFile::load(settingsFilePath()).readString("Values", "MailerNum", ""), before);
  }
}

TEST_F(MailerDialogTest, CancelPutsTheNumberingBackWithoutHyphens) {
  settings.CustID = "12-345-6789";
  EXPECT_FALSE(runCommand([](QDialog& dialog) {
    activate(dialog);
    EXPECT_EQ(edit(dialog, "editCustID")->maskedText(), "123456789");
    retype(edit(dialog, "editSerialNum"), "0000777");
    click(dialog, "btnCancel");
    return dialog.result();
  }));
  EXPECT_EQ(settings.CustID, "123456789");
  EXPECT_EQ(settings.SerialNum, "0000041");

  // Escape, even from a field left half filled, abandons the changes.
  settings.PrintBarCode = false;
  settings.MailerNum = "71000000000000000000";
  EXPECT_FALSE(runCommand([](QDialog& dialog) {
    activate(dialog);
    retype(edit(dialog, "editMailerNum"), "123");
    QTest::keyClick(edit(dialog, "editMailerNum"), Qt::Key_Escape);
    return dialog.result();
  }));
  EXPECT_EQ(settings.MailerNum, "71000000000000000000");
  EXPECT_TRUE(messages().empty());
}

TEST_F(MailerDialogTest, ChangedFieldIsNotLeftUntilComplete) {
  EXPECT_FALSE(runCommand(
      [](QDialog& dialog) {
        activate(dialog);
        MaskedEdit* serial = edit(dialog, "editSerialNum");
        retype(serial, "12");
        QTest::keyClick(serial, Qt::Key_Tab);
        EXPECT_TRUE(serial->hasFocus());
        // A click on OK is refused the same way and presses nothing.
        click(dialog, "btnOK");
        EXPECT_TRUE(serial->hasFocus());
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClick(serial, Qt::Key_Escape);
        return dialog.result();
      },
      2));
  const auto shown = messages();
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& message : shown) {
    EXPECT_EQ(message.caption, kApplicationTitle);
    EXPECT_EQ(message.text, "Invalid input value.  Use escape key to abandon changes");
    EXPECT_EQ(message.icon, UserInteraction::Icon::Error);
    EXPECT_EQ(message.buttons, UserInteraction::Buttons::Ok);
  }
  EXPECT_EQ(settings.SerialNum, "0000041");
}

TEST_F(MailerDialogTest, UnchangedIncompleteFieldMayBeLeft) {
  settings.CustID = "1234";
  EXPECT_TRUE(runCommand([](QDialog& dialog) {
    activate(dialog);
    MaskedEdit* custId = edit(dialog, "editCustID");
    custId->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(custId, Qt::Key_Tab);
    EXPECT_TRUE(edit(dialog, "editSerialNum")->hasFocus());
    click(dialog, "btnOK");
    return dialog.result();
  }));
  EXPECT_TRUE(messages().empty());
  // Empty positions read back as blanks; composition takes such an ID as zeros.
  EXPECT_EQ(settings.CustID, "1234     ");
}

TEST_F(MailerDialogTest, OnlyTheModesGroupIsReachableByTab) {
  for (bool barCode : {true, false}) {
    SCOPED_TRACE(barCode);
    settings.PrintBarCode = barCode;
    TF_Mailer dialog(settings);
    dialog.show();
    activate(dialog);
    QWidget* first = barCode ? static_cast<QWidget*>(edit(dialog, "editCustID"))
                             : static_cast<QWidget*>(edit(dialog, "editMailerNum"));
    first->setFocus(Qt::MouseFocusReason);
    QSet<QString> reached;
    for (int i = 0; i < 10; ++i) {
      reached << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QSet<QString> expected =
        barCode ? QSet<QString>{"editCustID", "editSerialNum", "btnOK", "btnCancel", "btnHelp"}
                : QSet<QString>{"editMailerNum", "rgCountTypeIncrement", "btnOK", "btnCancel",
                                "btnHelp"};
    EXPECT_EQ(reached, expected);
  }
}

TEST_F(MailerDialogTest, HelpPanelGrowsTheWindowByModeAndCheckBox) {
  struct Case {
    bool barCode;
    bool checkBox;
    QSize shown;
    QSize withHelp;
    const char* panel;
    int panelTop;
  };
  for (const Case& c : {Case{true, false, {469, 361}, {385, 513}, "panelBarCode", 122},
                        Case{true, true, {469, 393}, {385, 545}, "panelBarCode", 154},
                        Case{false, false, {469, 361}, {385, 561}, "panelMailerNum", 122},
                        Case{false, true, {469, 393}, {385, 593}, "panelMailerNum", 154}}) {
    SCOPED_TRACE(::testing::Message() << c.barCode << c.checkBox);
    settings.PrintBarCode = c.barCode;
    TF_Mailer dialog(settings);
    if (c.checkBox) dialog.cbDontShow->show();
    dialog.show();
    EXPECT_EQ(dialog.size(), c.shown);
    EXPECT_EQ(dialog.cbDontShow->isVisible(), c.checkBox);
    auto* panel = control<QFrame>(dialog, c.panel);
    const QSize designedPanel = panel->size();
    click(dialog, "btnHelp");
    // The designed size, grown by what the panel's lines need beyond its design.
    EXPECT_EQ(dialog.height(), c.withHelp.height() + panel->height() - designedPanel.height());
    EXPECT_EQ(dialog.width(), std::max(c.withHelp.width(), panel->geometry().right() + 1));
    EXPECT_FALSE(dialog.btnHelp->isEnabled());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->y(), c.panelTop);
    auto* other = control<QFrame>(dialog, c.barCode ? "panelMailerNum" : "panelBarCode");
    EXPECT_FALSE(other->isVisible());
  }
}

TEST_F(MailerDialogTest, DontShowIsTakenOnlyWhenOfferedAndTicked) {
  struct Case {
    bool offered;
    bool tick;
    bool ok;
    bool showBefore;
    bool showAfter;
  };
  for (const Case& c : {Case{false, false, true, false, true}, Case{true, true, true, true, false},
                        Case{true, false, true, false, true}, Case{true, true, false, false, false},
                        Case{true, true, false, true, true}}) {
    SCOPED_TRACE(::testing::Message() << c.offered << c.tick << c.ok << c.showBefore);
    settings.ShowMailerDialog = c.showBefore;
    TF_Mailer dialog(settings);
    if (c.offered) dialog.cbDontShow->show();
    dialog.show();
    activate(dialog);
    if (c.tick) click(dialog, "cbDontShow");
    click(dialog, c.ok ? "btnOK" : "btnCancel");
    EXPECT_EQ(dialog.result(), c.ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(settings.ShowMailerDialog, c.showAfter);
  }
}

TEST_F(MailerDialogTest, StartUpThenPrintShowsTheConfirmedSerialPlusOneAndMayStopAsking) {
  // Start-up: no advance, no check box.
  user.answerDialog([](QDialog& dialog) {
    activate(dialog);
    EXPECT_FALSE(control<QWidget>(dialog, "cbDontShow")->isVisible());
    retype(edit(dialog, "editSerialNum"), "0000050");
    click(dialog, "btnOK");
    return dialog.result();
  });
  EXPECT_TRUE(openMailerDialog(settings, nullptr, false));
  EXPECT_EQ(settings.SerialNum, "0000050");

  // The first print advances, then offers the dialog with its check box.
  AdvanceMailerNumber(settings);
  user.answerDialog([](QDialog& dialog) {
    activate(dialog);
    EXPECT_EQ(edit(dialog, "editSerialNum")->maskedText(), "0000051");
    EXPECT_EQ(dialog.height(), 393);
    click(dialog, "cbDontShow");
    click(dialog, "btnOK");
    return dialog.result();
  });
  EXPECT_TRUE(openMailerDialog(settings, nullptr, true));
  EXPECT_EQ(settings.SerialNum, "0000051");
  EXPECT_FALSE(settings.ShowMailerDialog);
}

TEST_F(MailerDialogTest, UnreadableSerialStopsTheCommandWithTheNumberingAsFound) {
  settings.SerialNum = "41x";
  // The advance fails before any dialog is opened.
  EXPECT_THROW(MailerNumber1Click(settings, nullptr), NumberConversionError);
  EXPECT_TRUE(user.questions().empty());
  EXPECT_EQ(settings.SerialNum, "41x");

  // A step back that fails after OK leaves the state the command found too.
  settings.SerialNum = "0000041";
  settings.CustID = "12-345-6789";
  settings.ShowMailerDialog = false;
  const SettingsRecord before = settings;
  EXPECT_THROW(runCommand([](QDialog& dialog) {
                 // Text set by code is not a change of the user's: no refusal.
                 edit(dialog, "editSerialNum")->setMaskedText("12");
                 click(dialog, "btnOK");
                 return dialog.result();
               }),
               NumberConversionError);
  EXPECT_EQ(settings.SerialNum, before.SerialNum);
  EXPECT_EQ(settings.CustID, before.CustID);
  EXPECT_FALSE(settings.ShowMailerDialog);
}

TEST_F(MailerDialogTest, HelpTextsAndTheIssuersLink) {
  TF_Mailer dialog(settings);
  dialog.show();
  QStringList texts;
  for (const QLabel* label : dialog.panelBarCode->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(
      texts.contains("number) from your postal representative or by contacting Dun & Bradstreet"));
  EXPECT_EQ(dialog.memoCountOrder->document()->blockCount(), 5);
  EXPECT_EQ(dialog.memoCountOrder->document()->findBlockByNumber(1).text(),
            "Some printers  pull paper from the bottom of the pile and some from the top. ");

  QLabel* link = dialog.LabelDnB;
  EXPECT_TRUE(link->font().underline());
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(link, &enter);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(link, &leave);
  EXPECT_EQ(link->cursor().shape(), Qt::ArrowCursor);

  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("http", &catcher, "open");
  click(dialog, "btnHelp");
  QTest::mouseClick(link, Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("http");
  ASSERT_EQ(catcher.opened.size(), 1);
  EXPECT_EQ(catcher.opened[0].host(), "www.dnb.example");
}

}  // namespace
}  // namespace kestrel

#include "MailerDialogTest.moc"
