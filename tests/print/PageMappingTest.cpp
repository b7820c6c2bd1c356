#include <gtest/gtest.h>

#include "print/PageMapping.h"

namespace kestrel {
namespace {

// A 600-dpi printer whose printable area starts a quarter inch from the
// paper's left and top edges.
constexpr PageGeometry kQuarterInchAt600{600, 600, 150, 150};

TEST(PageMapping, PlacesLayoutInchesRelativeToThePrintableArea) {
  const PageMapping mapping(kQuarterInchAt600, 0, 0);
  EXPECT_DOUBLE_EQ(mapping.offsetX(), 0.25);
  EXPECT_DOUBLE_EQ(mapping.offsetY(), 0.25);
  EXPECT_EQ(mapping.PageX(4.5), 2550);
  EXPECT_EQ(mapping.PageY(6.25), 3600);
}

TEST(PageMapping, MovesThreePixelsPerAlignmentUnit) {
  const PageMapping shifted(kQuarterInchAt600, -2, 5);
  EXPECT_EQ(shifted.PageX(4.5), 2544);
  EXPECT_EQ(shifted.PageY(6.25), 3615);

  // Ten units are 30 pixels (0.05 inch at 600 dpi), not a tenth of an inch.
  const PageMapping plain(PageGeometry{600, 600, 0, 0}, 0, 0);
  const PageMapping ten(PageGeometry{600, 600, 0, 0}, 10, 10);
  for (double inches : {0.3, 1.45, 4.72, 8.21}) {
    EXPECT_EQ(ten.PageX(inches) - plain.PageX(inches), 30) << inches;
    EXPECT_EQ(ten.PageY(inches) - plain.PageY(inches), 30) << inches;
  }
}

TEST(PageMapping, TruncatesTheProductTowardZero) {
  const PageMapping mapping(PageGeometry{300, 300, 0, 0}, 0, 0);
  // 4.02 x 300 is 1205.9999999999998 in double precision: the pixel below.
  EXPECT_EQ(mapping.PageY(4.02), 1205);
  EXPECT_EQ(mapping.PageX(2.28), 683);
  EXPECT_EQ(mapping.PageX(0.62), 186);
  // Left of the printable area: toward zero, not toward minus infinity.
  const PageMapping offset(PageGeometry{300, 300, 75, 75}, 0, 0);
  EXPECT_EQ(offset.PageX(0.15), -30);
  EXPECT_EQ(offset.PageY(0.2499), 0);
}

TEST(PageMapping, KeepsAbsurdOffsetsFarOffThePageWithoutOverflow) {
  const PageMapping huge(PageGeometry{1200, 1200, 0, 0}, 2147483647, -2147483647 - 1);
  EXPECT_GT(huge.PageX(1.0), 1000000);
  EXPECT_LT(huge.PageY(1.0), -1000000);
}

}  // namespace
}  // namespace kestrel
