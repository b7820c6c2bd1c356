#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/ChoiceBoxWindow.h"
#include "dialogs/QtUserInteraction.h"
#include "dialogs/U_CommonAPI.h"

namespace kestrel {
namespace {

// The box's size rules, stated once more from the sizes of the font.
struct Expected {
  int buttonWidth, width, height, labelHeight;
};

Expected expectedFor(const QWidget& box, const QString& message, const QStringList& captions) {
  const QFontMetrics metrics(box.font());
  int widest = 0;
  for (const auto& caption : captions)
    widest = std::max(widest, metrics.horizontalAdvance(caption));
  const int b = widest + 10;
  const int n =
      static_cast<int>(captions.size()) * b + (static_cast<int>(captions.size()) + 1) * 10;
  const int m = metrics.horizontalAdvance(message);
  const int h = metrics.height();
  int width = std::max(325, n);
  if (n > m) width = n;
  const int l = width < m ? (m / width + 3) * h : 3 * h;
  return {b, width, l + 4 * h + 22, l};
}

QPushButton* buttonNumber(const QWidget& box, int k) {
  return box.findChild<QPushButton*>(QStringLiteral("button%1").arg(k));
}

TEST(ChoiceBox, OneCaptionGivesOneFocusedButtonAtTheRightThatAloneClosesTheBox) {
  const QString message =
      "Bar codes need a customer ID from the postal service. Register before you print them.";
  ChoiceBoxWindow box("Kestrel", message, {"&Never Print again"});
  const Expected e = expectedFor(box, message, {"&Never Print again"});
  const int h = QFontMetrics(box.font()).height();
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  EXPECT_EQ(box.windowTitle(), "Kestrel");
  EXPECT_EQ(box.size(), QSize(e.width, e.height));
  EXPECT_EQ(box.width(), 325);  // the message is wider than the single button
  EXPECT_GE(e.labelHeight, 3 * h);
  QPushButton* only = buttonNumber(box, 1);
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(only->geometry(), QRect(325 - (e.buttonWidth + 10), e.height - 35, e.buttonWidth, 25));
  EXPECT_EQ(box.findChild<QLabel*>("labelMessage")->geometry(),
            QRect(10, 10, 325 - 20, e.labelHeight));
  EXPECT_TRUE(box.findChild<QLabel*>("labelMessage")->wordWrap());
  EXPECT_EQ(box.focusWidget(), only);
  EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);

  QTest::keyClick(&box, Qt::Key_Escape);
  box.close();
  QApplication::processEvents();
  EXPECT_TRUE(box.isVisible());

  QTest::keyClick(only, Qt::Key_Return);  // Enter presses the focused button
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), 1);
}

TEST(ChoiceBox, ThreeCaptionsRunRightToLeftAndTheLastHasTheFocus) {
  const QStringList captions{"&Overwrite", "&Append", "&Cancel"};
  const QString message = "Overwrite?";
  ChoiceBoxWindow box("Import", message, captions);
  const Expected e = expectedFor(box, message, captions);
  const int h = QFontMetrics(box.font()).height();
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  // A short message: the box is exactly as wide as its row of buttons, the
  // label three lines high and the box 7 lines + 22.
  EXPECT_EQ(box.width(), 3 * e.buttonWidth + 40);
  EXPECT_EQ(box.height(), 7 * h + 22);
  for (int k = 1; k <= 3; ++k) {
    QPushButton* button = buttonNumber(box, k);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), captions[k - 1]);
    EXPECT_EQ(button->geometry(),
              QRect(box.width() - k * (e.buttonWidth + 10), box.height() - 35, e.buttonWidth, 25));
  }
  EXPECT_LT(buttonNumber(box, 3)->x(), buttonNumber(box, 2)->x());
  EXPECT_EQ(box.focusWidget(), buttonNumber(box, 3));
  QTest::mouseClick(buttonNumber(box, 2), Qt::LeftButton);
  EXPECT_EQ(box.result(), 2);
}

TEST(ChoiceBox, AMessageFourTimesAsWideAsTheBoxGetsSevenLinesOfLabel) {
  ChoiceBoxWindow probe("", "", {"&OK"});
  const QFontMetrics metrics(probe.font());
  QString message;
  while (metrics.horizontalAdvance(message) < 4 * 325) message += "wide ";
  ASSERT_LT(metrics.horizontalAdvance(message), 5 * 325);
  ChoiceBoxWindow box("", message, {"&OK"});
  const int h = metrics.height();
  EXPECT_EQ(box.findChild<QLabel*>("labelMessage")->height(), 7 * h);
  EXPECT_EQ(box.height(), 11 * h + 22);
}

TEST(ChoiceBox, TheQtServiceRunsTheBoxModallyAndReturnsThePressedPosition) {
  QtUserInteraction service;
  UserInteraction* previous = setUserInteraction(&service);
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<ChoiceBoxWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->findChild<QPushButton*>("button3"), Qt::LeftButton);
  });
  EXPECT_EQ(ChoiceBox("Import", "Overwrite?", {"&Overwrite", "&Append", "&Cancel"}), 3);
  setUserInteraction(previous);
}

}  // namespace
}  // namespace kestrel
