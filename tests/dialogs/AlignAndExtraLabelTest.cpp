#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "dialogs/U_Align.h"
#include "dialogs/U_ExtraLabel.h"

namespace kestrel {
namespace {

template <typename T>
T* child(QWidget& parent, const char* name) {
  T* widget = parent.findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

QLineEdit* editOf(QSpinBox* spin) {
  return spin->findChild<QLineEdit*>();
}

// A radio button takes clicks only on its indicator and text, not across the
// whole width its layout gives it.
void clickRadio(QRadioButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

SettingsRecord extraLabelSettings(const char* print, const char* which) {
  SettingsRecord settings;
  settings.PrintExtraLabel = print;
  settings.ExtraLabel = which;
  return settings;
}

TEST(ExtraLabelDialog, NoDisablesTheListAndYesEnablesIt) {
  SettingsRecord settings = extraLabelSettings("No", "Addressed To");
  TF_ExtraLabel dialog(settings);
  dialog.show();
  auto* list = child<QComboBox>(dialog, "cbExtraLabel");
  EXPECT_TRUE(child<QRadioButton>(dialog, "rbNo")->isChecked());
  EXPECT_FALSE(list->isEnabled());
  clickRadio(child<QRadioButton>(dialog, "rbYes"));
  EXPECT_TRUE(list->isEnabled());
  QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(settings.PrintExtraLabel, "Yes");
}

TEST(ExtraLabelDialog, ChoiceMatchesAnyCaseAndOkStoresItsProperSpelling) {
  SettingsRecord settings = extraLabelSettings("yes", "Your Name and Address");
  TF_ExtraLabel dialog(settings);
  dialog.show();
  EXPECT_TRUE(child<QRadioButton>(dialog, "rbYes")->isChecked());
  auto* list = child<QComboBox>(dialog, "cbExtraLabel");
  EXPECT_EQ(list->currentText(), "Your Name and Address");
  EXPECT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "Addressed To");
  QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(settings.PrintExtraLabel, "Yes");
  EXPECT_EQ(settings.ExtraLabel, "Your Name and Address");
}

TEST(ExtraLabelDialog, AnythingButAnExactEntryStoresAddressedTo) {
  SettingsRecord settings = extraLabelSettings("Yes", "Your Name and Address");
  TF_ExtraLabel dialog(settings);
  dialog.show();
  auto* list = child<QComboBox>(dialog, "cbExtraLabel");
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  // Typed in other capitals, then the focus really leaves the list (a click
  // on OK does not move it), as a person tabbing to OK does.
  list->setFocus(Qt::MouseFocusReason);
  list->lineEdit()->clear();
  QTest::keyClicks(list->lineEdit(), "your name and address");
  auto* ok = child<QPushButton>(dialog, "btnOK");
  ok->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(ok->hasFocus());
  EXPECT_EQ(list->currentText(), "your name and address");
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(settings.ExtraLabel, "Addressed To");
}

TEST(ExtraLabelDialog, AStoredValueThatIsNeitherIsKeptWhenNothingIsChosen) {
  SettingsRecord settings = extraLabelSettings("Maybe", "Addressed To");
  TF_ExtraLabel dialog(settings);
  dialog.show();
  EXPECT_FALSE(child<QRadioButton>(dialog, "rbYes")->isChecked());
  EXPECT_FALSE(child<QRadioButton>(dialog, "rbNo")->isChecked());
  QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(settings.PrintExtraLabel, "Maybe");
}

TEST(ExtraLabelDialog, CancelAndEscapeChangeNothing) {
  for (bool escape : {false, true}) {
    SettingsRecord settings = extraLabelSettings("No", "Your Name and Address");
    TF_ExtraLabel dialog(settings);
    dialog.show();
    clickRadio(child<QRadioButton>(dialog, "rbYes"));
    if (escape) {
      dialog.show();
      QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
      QTest::mouseClick(child<QPushButton>(dialog, "btnCancel"), Qt::LeftButton);
    }
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings.PrintExtraLabel, "No");
    EXPECT_EQ(settings.ExtraLabel, "Your Name and Address");
  }
}

TEST(AlignDialog, StoredValuesOutsideTheRangeShowAsTheNearerLimit) {
  SettingsRecord settings;
  settings.LeftRight = 1500;
  settings.TopBottom = -4000;
  TF_Align dialog(settings);
  dialog.show();
  EXPECT_EQ(child<QSpinBox>(dialog, "spinLeftRight")->value(), 999);
  EXPECT_EQ(child<QSpinBox>(dialog, "SpinUpDown")->value(), -999);
  QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(settings.LeftRight, 999);
  EXPECT_EQ(settings.TopBottom, -999);
}

TEST(AlignDialog, TypedValuesAreStoredAndAClearedBoxKeepsItsOffset) {
  SettingsRecord settings;
  settings.LeftRight = 12;
  settings.TopBottom = -7;
  TF_Align dialog(settings);
  dialog.show();
  auto* leftRight = child<QSpinBox>(dialog, "spinLeftRight");
  auto* upDown = child<QSpinBox>(dialog, "SpinUpDown");
  editOf(leftRight)->selectAll();
  QTest::keyClick(editOf(leftRight), Qt::Key_Delete);  // cleared
  editOf(upDown)->selectAll();
  QTest::keyClicks(editOf(upDown), "-25");
  QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
  EXPECT_EQ(settings.LeftRight, 12);
  EXPECT_EQ(settings.TopBottom, -25);
}

TEST(AlignDialog, TypingStopsAtThreeCharactersAndCancelChangesNothing) {
  SettingsRecord settings;
  TF_Align dialog(settings);
  dialog.show();
  auto* leftRight = child<QSpinBox>(dialog, "spinLeftRight");
  editOf(leftRight)->selectAll();
  QTest::keyClicks(editOf(leftRight), "-4567");
  EXPECT_EQ(editOf(leftRight)->text(), "-45");
  QTest::mouseClick(child<QPushButton>(dialog, "btnCancel"), Qt::LeftButton);
  EXPECT_EQ(settings.LeftRight, 0);
  EXPECT_EQ(dialog.windowTitle(), "Printer Alignment");
  const auto labels = dialog.findChildren<QLabel*>();
  const bool hasHeading = std::any_of(
      labels.begin(), labels.end(), [](QLabel* label) { return label->text() == "Left && Right"; });
  EXPECT_TRUE(hasHeading);
}

}  // namespace
}  // namespace kestrel
