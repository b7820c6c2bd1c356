// The fee fields of the main window as a person uses them: typing, leaving a
// field with the Tab key, the restricted-delivery box, "Save Values" and the
// next start, and the edited and printed looks of the entry fields.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Settings.h"
#include "platform/MaskedEdit.h"

namespace kestrel {
namespace {

using test::kQuietStart;

QString money(int blanks, const char* digits) {
  return QString(blanks, QLatin1Char(' ')) + QLatin1String(digits);
}

class FeeEntryTest : public test::MainWindowFixture {
 protected:
  TF_Main& startActive(const QByteArray& values = {}) {
    writeIni(QByteArray(kQuietStart) + values);
    TF_Main& window = start();
    activate();
    return window;
  }

  QString text(const char* field) { return find<QLineEdit>(field)->text(); }
  QString total() { return text("editTotal"); }

  // Types into the field as a person does and leaves it with the Tab key.
  void typeAndLeave(const char* field, const QString& typed) {
    QLineEdit* edit = find<QLineEdit>(field);
    edit->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(edit->hasFocus()) << field;
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_FALSE(edit->hasFocus()) << field;
  }

  // Ticks or unticks the box with the space bar.
  void pressRestricted() {
    auto* box = find<QCheckBox>("cbRestricted");
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Space);
  }

  bool fieldsLookPrinted() {
    const QColor printed = formLook::printedFieldColour();
    const QColor edited = formLook::editedFieldColour();
    int silver = 0;
    int white = 0;
    const char* const fields[] = {"editPostage", "editCertFee", "editRestricted", "editReturn",
                                  "editTotal",   "editRe",      "editComment",    "memoAddress",
                                  "editCity",    "editState",   "editZip"};
    for (const char* name : fields) {
      const QColor base = find<QWidget>(name)->palette().color(QPalette::Base);
      silver += base == printed;
      white += base == edited;
    }
    EXPECT_EQ(silver + white, 11) << "every field shows one of the two looks";
    EXPECT_TRUE(silver == 0 || white == 0) << "the fields change their look together";
    return silver == 11;
  }
};

TEST_F(FeeEntryTest, StartShowsTheStoredFeesNormalisedWithTheirTotal) {
  startActive("[Values]\r\nPostage=5\r\nCertFee=abc\r\nReturn=10.5\r\nRestricted=3.50\r\n");
  EXPECT_EQ(text("editPostage"), money(10, "5.00"));
  EXPECT_EQ(text("editCertFee"), " ");
  EXPECT_EQ(text("editReturn"), money(8, "10.50"));
  EXPECT_EQ(text("editRestricted"), "");
  EXPECT_EQ(total(), money(8, "15.50"));
  EXPECT_FALSE(fieldsLookPrinted());
}

TEST_F(FeeEntryTest, LeavingEachFeeFieldNormalisesItAndCountsTheTypedAmount) {
  TF_Main& window = startActive();  // defaults 0.39, 2.40, 1.85
  EXPECT_EQ(total(), money(10, "4.64"));

  typeAndLeave("editPostage", "5");
  EXPECT_EQ(text("editPostage"), money(10, "5.00"));
  EXPECT_EQ(total(), money(10, "9.25"));
  EXPECT_EQ(window.focusWidget(), find<QWidget>("editCertFee"));

  typeAndLeave("editCertFee", "10.5");
  EXPECT_EQ(text("editCertFee"), money(8, "10.50"));
  EXPECT_EQ(total(), money(8, "17.35"));

  typeAndLeave("editReturn", "2.345");  // no rounding to cents
  EXPECT_EQ(text("editReturn"), money(10, "2.345"));
  EXPECT_EQ(total(), money(8, "17.845"));

  // Typing alone does not touch the total; only leaving does.
  auto* postage = find<QLineEdit>("editPostage");
  postage->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(postage, "9");
  EXPECT_EQ(total(), money(8, "17.845"));
}

// Which texts read as which amounts is the fee rules' table (mailer tests);
// the field shows the normalised text and the total follows at once.
TEST_F(FeeEntryTest, BadFeeTextsBecomeBlankAndTheTotalFollowsTheRules) {
  startActive();  // the other fees: 2.40 and 1.85
  struct Case {
    const char* typed;
    QString field;
    QString total;
  };
  const Case cases[] = {
      {"abc", " ", money(10, "4.25")},
      {"  12 ", money(8, "12.00"), money(8, "16.25")},
      {"-3", " ", money(10, "4.25")},
  };
  for (const Case& c : cases) {
    typeAndLeave("editPostage", QString::fromLatin1(c.typed));
    EXPECT_EQ(text("editPostage"), c.field) << c.typed;
    EXPECT_EQ(total(), c.total) << c.typed;
  }
}

TEST_F(FeeEntryTest, TheTotalIsTheSumOfTheFeesShown) {
  startActive("[Values]\r\nPostage=1\r\nCertFee=\r\nReturn=1.60\r\n");
  EXPECT_EQ(total(), money(10, "2.60"));
  typeAndLeave("editReturn", "-5");
  EXPECT_EQ(text("editReturn"), " ");
  EXPECT_EQ(total(), money(10, "1.00"));
  // Restricted delivery ticked with a negative default: blank, and nothing added.
  Settings().Restricted = "-2";
  find<QCheckBox>("cbRestricted")->setChecked(true);
  EXPECT_EQ(text("editRestricted"), " ");
  EXPECT_EQ(total(), money(10, "1.00"));
}

TEST_F(FeeEntryTest, TickingRestrictedDeliveryAddsTheStoredFeeAndUntickingRemovesIt) {
  startActive();
  auto* field = find<QLineEdit>("editRestricted");
  auto* label = find<QLabel>("lblRestricted");

  pressRestricted();
  EXPECT_TRUE(find<QCheckBox>("cbRestricted")->isChecked());
  EXPECT_TRUE(field->isEnabled());
  EXPECT_TRUE(label->isEnabled());
  EXPECT_EQ(field->text(), money(10, "3.50"));
  EXPECT_EQ(total(), money(10, "8.14"));

  // The typed fee is normalised when the field is left, like the others.
  typeAndLeave("editRestricted", "4");
  EXPECT_EQ(field->text(), money(10, "4.00"));
  EXPECT_EQ(total(), money(10, "8.64"));

  const QImage enabledLook = label->grab().toImage();
  pressRestricted();
  EXPECT_FALSE(field->isEnabled());
  EXPECT_FALSE(label->isEnabled());
  EXPECT_NE(label->grab().toImage(), enabledLook) << "a disabled caption looks disabled";
  EXPECT_EQ(field->text(), " ");
  EXPECT_EQ(total(), money(10, "4.64"));

  // A stored default that is no amount gives a blank fee.
  Settings().Restricted = "n/a";
  pressRestricted();
  EXPECT_EQ(field->text(), " ");
  EXPECT_EQ(total(), money(10, "4.64"));
}

TEST_F(FeeEntryTest, AltLettersThatNoMenuClaimsTypeNothing) {
  startActive();
  for (const char* name : {"editPostage", "editReturn", "editCity", "memoAddress"}) {
    QWidget* field = find<QWidget>(name);
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(field, Qt::Key_End);
    const auto textOf = [field] {
      auto* memo = qobject_cast<QPlainTextEdit*>(field);
      return memo ? memo->toPlainText() : static_cast<QLineEdit*>(field)->text();
    };
    const QString before = textOf();
    for (const Qt::Key key : {Qt::Key_F, Qt::Key_T, Qt::Key_Z})
      QTest::keyClick(field, key, Qt::AltModifier);
    EXPECT_EQ(textOf(), before) << name;
    QTest::keyClick(field, Qt::Key_T);  // without Alt the letter types
    EXPECT_EQ(textOf(), before + "t") << name;
  }
}

TEST_F(FeeEntryTest, SavedValuesAreTheNextStartsDefaults) {
  TF_Main& window = startActive();
  typeAndLeave("editPostage", "0.55");
  typeAndLeave("editCertFee", "none");
  pressRestricted();
  typeAndLeave("editRestricted", "4.1");
  window.SaveValues1->trigger();
  EXPECT_EQ(Settings().Postage, "0.55");
  EXPECT_EQ(Settings().CertFee, "");
  EXPECT_EQ(Settings().Return, "1.85");
  EXPECT_EQ(Settings().Restricted, "4.10");

  // Unticked, the blank restricted field keeps the stored default.
  pressRestricted();
  window.SaveValues1->trigger();
  EXPECT_EQ(Settings().Restricted, "4.10");
  window.close();
  const QByteArray ini = readIni();
  EXPECT_TRUE(ini.contains("Postage=0.55\r\nCertFee=\r\nReturn=1.85\r\nRestricted=4.10\r\n"))
      << ini.toStdString();

  m_window.reset();
  Settings() = SettingsRecord{};
  start();
  activate();
  EXPECT_EQ(text("editPostage"), money(10, "0.55"));
  EXPECT_EQ(text("editCertFee"), " ");
  EXPECT_EQ(total(), money(10, "2.40"));
  pressRestricted();
  EXPECT_EQ(text("editRestricted"), money(10, "4.10"));
}

TEST_F(FeeEntryTest, PrintedStateTurnsBackToEditedOnOneTypedCharacter) {
  TF_Main& window = startActive();
  auto* print = find<QPushButton>("btnPrint");
  // The button follows the looks: disabled in the printed state only.
  window.ShowPrintedState();
  EXPECT_TRUE(fieldsLookPrinted());
  EXPECT_FALSE(print->isEnabled());
  window.ShowEditedState();
  EXPECT_FALSE(fieldsLookPrinted());
  EXPECT_TRUE(print->isEnabled());
  const char* const typedInto[] = {"editPostage", "editCertFee", "editReturn",
                                   "editComment", "editRe",      "editCity",
                                   "editState",   "editZip",     "memoAddress"};
  for (const char* name : typedInto) {
    QWidget* field = find<QWidget>(name);
    field->setFocus(Qt::MouseFocusReason);
    window.ShowPrintedState();
    EXPECT_TRUE(window.printedState());
    EXPECT_TRUE(fieldsLookPrinted());
    EXPECT_FALSE(print->isEnabled());
    // Only the button: the entry fields and the menus stay usable.
    EXPECT_TRUE(find<QWidget>(name)->isEnabled());
    EXPECT_TRUE(window.MailerNumber1->isEnabled());

    QTest::keyClick(field, Qt::Key_7);
    EXPECT_FALSE(window.printedState()) << name;
    EXPECT_FALSE(fieldsLookPrinted()) << name;
    EXPECT_TRUE(print->isEnabled()) << name;
  }

  // Leaving a fee field whose text stays as it was changes nothing...
  typeAndLeave("editPostage", "1");
  find<QWidget>("editPostage")->setFocus(Qt::MouseFocusReason);
  window.ShowPrintedState();
  QTest::keyClick(find<QWidget>("editPostage"), Qt::Key_Tab);
  EXPECT_TRUE(window.printedState());
  // ...but leaving the restricted-delivery box does.
  find<QWidget>("cbRestricted")->setFocus(Qt::TabFocusReason);
  window.ShowPrintedState();
  QTest::keyClick(find<QWidget>("cbRestricted"), Qt::Key_Tab);
  EXPECT_FALSE(window.printedState());
}

}  // namespace
}  // namespace kestrel
