// Widths of the device list's columns.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "window/column_width.h"
#include "window/layout.h"

namespace uvantic {
namespace {

TEST(ColumnWidth, DesignListAtTheFourCommonResolutions) {
  struct Case {
    double twipsPerPixel;
    std::int16_t w;
    float last;
  };
  const Case cases[] = {
      {15, 1620, 1635.0f},    // 4935 - 75 = 4860
      {12, 1625, 1637.0f},    // 4875
      {10, 1628, 1638.0f},    // 4885: the remainder is dropped
      {7.5, 1632, 1639.5f},   // 4897.5 becomes 4898, the even neighbour
  };
  for (const Case& c : cases) {
    std::int16_t w = 0;
    ASSERT_TRUE(ColumnWidth(4935, c.twipsPerPixel, w)) << c.twipsPerPixel;
    EXPECT_EQ(w, c.w) << c.twipsPerPixel;
    EXPECT_EQ(LastColumnWidth(w, c.twipsPerPixel), c.last) << c.twipsPerPixel;
  }
}

TEST(ColumnWidth, HalvesGoToTheEvenNeighbourAndTheQuotientTowardsZero) {
  std::int16_t w = 0;
  ASSERT_TRUE(ColumnWidth(4936, 7.5, w));  // 4898.5 becomes 4898, not 4899
  EXPECT_EQ(w, 1632);
  ASSERT_TRUE(ColumnWidth(4937, 7.5, w));  // 4899.5 becomes 4900
  EXPECT_EQ(w, 1633);
  ASSERT_TRUE(ColumnWidth(0, 15.2, w));  // -76 / 3 is -25, not -26
  EXPECT_EQ(w, -25);
}

TEST(ColumnWidth, QuotientOutsideSixteenBitsFailsAndLeavesWAlone) {
  const double cases[] = {3.0 * 32768 + 75, -3.0 * 32769 + 75, 1e300, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
  for (double width : cases) {
    std::int16_t w = 0;
    EXPECT_FALSE(ColumnWidth(width, 15, w)) << width;
    EXPECT_EQ(w, 0) << width;
  }
  std::int16_t w = 0;
  EXPECT_TRUE(ColumnWidth(3.0 * 32767 + 75, 15, w));
  EXPECT_EQ(w, 32767);
}

TEST(ColumnWidth, PixelsAtTheDesignResolution) {
  EXPECT_EQ(ColumnPixels(1620, 15), 108);
  EXPECT_EQ(ColumnPixels(1635.0f, 15), 109);
  EXPECT_EQ(ColumnPixels(-15, 15), 0);
  EXPECT_EQ(ColumnPixels(1620, 0), 0);
}

// Sized from the list's width in twips, the three columns fill the laid-out list's
// inside (its width less the two-pixel sunken border on each side) without a
// horizontal scroll bar, at any resolution.
TEST(ColumnWidth, ColumnsNeverOverflowTheListsInside) {
  for (int dpi = 72; dpi <= 288; ++dpi) {
    const double p = TwipsPerPixel(dpi);
    const PixelRect list = ToPixels(Entry(ControlName::lvwList).twips, dpi);
    std::int16_t w = 0;
    ASSERT_TRUE(ColumnWidth(Entry(ControlName::lvwList).twips.width, p, w));
    const int total = 2 * ColumnPixels(w, p) + ColumnPixels(LastColumnWidth(w, p), p);
    EXPECT_LE(total, list.width() - 4) << "dpi " << dpi;
    EXPECT_GE(total, list.width() - 4 - 4) << "dpi " << dpi;
  }
}

}  // namespace
}  // namespace uvantic
