// The navigator's nine buttons: their order, their hints, and no Edit button
// (typing into a bound control starts an edit).
#include <gtest/gtest.h>

#include <QToolButton>

#include "addresses/RecordNavigator.h"

namespace kestrel {
namespace {

TEST(RecordNavigatorTest, NineButtonsInOrderWithThePlatformsHints) {
  RecordNavigator navigator;
  navigator.setGeometry(8, 44, 189, 18);
  navigator.show();
  const char* const hints[] = {"First record", "Prior record",  "Next record",
                               "Last record",  "Insert record", "Delete record",
                               "Post edit",    "Cancel edit",   "Refresh data"};
  const QList<QToolButton*> buttons = navigator.findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), RecordNavigator::kButtonCount);
  int right = 0;
  for (int i = 0; i < RecordNavigator::kButtonCount; ++i) {
    SCOPED_TRACE(hints[i]);
    QToolButton* b = navigator.button(static_cast<RecordNavigator::NavigateBtn>(i));
    EXPECT_EQ(b->toolTip(), QString::fromLatin1(hints[i]));
    // Left to right in this order, filling the navigator's width.
    EXPECT_EQ(b->x(), right);
    right = b->x() + b->width();
  }
  EXPECT_EQ(right, navigator.width());
}

}  // namespace
}  // namespace kestrel
