// Picture sizes at the screen's resolution, smooth scaling, the list's row order and
// the colours of high contrast.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "window/high_contrast.h"
#include "window/picture_size.h"
#include "window/row_order.h"
#include "window/scale_pixels.h"

namespace uvantic {
namespace {

TEST(IconFor, TakesTheLargestDrawnSizeOrWholeMultipleThatFits) {
  struct Case {
    std::initializer_list<int> sizes;
    int box;
    IconScale expected;
  };
  const Case cases[] = {
      {{16, 32, 48}, 32, {32, 32}},  // 96 dpi
      {{16, 32, 48}, 40, {32, 32}},  // 120 dpi: shown smaller rather than blurred
      {{16, 32, 48}, 48, {48, 48}},  // 144 dpi
      {{16, 32, 48}, 64, {32, 64}},  // 192 dpi: doubled, the larger source of equals
      {{16}, 16, {16, 16}},
      {{16}, 24, {16, 16}},
      {{16}, 32, {16, 32}},
      {{16}, 10, {16, 16}},  // nothing fits: as drawn
  };
  for (const Case& c : cases) EXPECT_EQ(IconFor(c.sizes, c.box), c.expected) << c.box;
}

TEST(ScaledPictureSize, ScalesTheLogoToTheNearestPixel) {
  const PixelSize logo{109, 26};
  EXPECT_EQ(ScaledPictureSize(logo, 96), logo);
  EXPECT_EQ(ScaledPictureSize(logo, 120), (PixelSize{136, 33}));
  EXPECT_EQ(ScaledPictureSize(logo, 144), (PixelSize{164, 39}));
  EXPECT_EQ(ScaledPictureSize(logo, 192), (PixelSize{218, 52}));
  EXPECT_EQ(ScaledPictureSize({1, 1}, 24), (PixelSize{1, 1}));
}

TEST(CentredIn, CentresRoundingTowardsTheTopLeft) {
  EXPECT_EQ(CentredIn({16, 360, 125, 386}, {109, 26}), (PixelRect{16, 360, 125, 386}));
  EXPECT_EQ(CentredIn({24, 540, 188, 579}, {164, 39}), (PixelRect{24, 540, 188, 579}));
  EXPECT_EQ(CentredIn({20, 20, 60, 60}, {32, 32}), (PixelRect{24, 24, 56, 56}));
  EXPECT_EQ(CentredIn({0, 0, 5, 5}, {2, 2}), (PixelRect{1, 1, 3, 3}));
}

std::vector<std::uint32_t> Grey(std::initializer_list<std::uint32_t> levels) {
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t level : levels) pixels.push_back(0xFF000000u | level << 16 | level << 8 | level);
  return pixels;
}

TEST(ScalePremultiplied, SameSizeIsAnExactCopy) {
  const std::vector<std::uint32_t> pixels{0x80402010u, 0x00000000u, 0xFFFFFFFFu, 0x7F7F7F7Fu};
  EXPECT_EQ(ScalePremultiplied(pixels, 2, 2, 2, 2), pixels);
}

TEST(ScalePremultiplied, InterpolatesBetweenPixelCentresAndKeepsTheEnds) {
  EXPECT_EQ(ScalePremultiplied(Grey({0, 255}), 2, 1, 4, 1), Grey({0, 64, 191, 255}));
  EXPECT_EQ(ScalePremultiplied(Grey({0, 255}), 1, 2, 1, 4), Grey({0, 64, 191, 255}));
}

TEST(ScalePremultiplied, TransparentStaysTransparentAndEveryByteIsInterpolated) {
  const std::vector<std::uint32_t> clear(6, 0);
  EXPECT_EQ(ScalePremultiplied(clear, 3, 2, 5, 3), std::vector<std::uint32_t>(15, 0));
  // Half-covered edge: a premultiplied half-transparent white next to nothing.
  const auto scaled = ScalePremultiplied({0x80808080u, 0}, 2, 1, 4, 1);
  ASSERT_EQ(scaled.size(), 4u);
  EXPECT_EQ(scaled[0], 0x80808080u);
  EXPECT_EQ(scaled[1], 0x60606060u);
  EXPECT_EQ(scaled[3], 0u);
}

TEST(ScalePremultiplied, RefusesImpossibleSizes) {
  EXPECT_TRUE(ScalePremultiplied(Grey({1, 2}), 2, 1, 0, 1).empty());
  EXPECT_TRUE(ScalePremultiplied(Grey({1, 2}), 2, 2, 4, 4).empty());  // too few pixels
  EXPECT_TRUE(ScalePremultiplied({}, 0, 0, 1, 1).empty());
}

TEST(CompareRows, OrderFollowsTheTextsAndEqualTextsKeepTheirOrderOfAdding) {
  struct Case {
    int text;
    int order;
    std::uint32_t first;
    std::uint32_t second;
    int expected;
  };
  const Case cases[] = {
      {-7, 0, 5, 1, -1}, {7, 0, 1, 5, 1},   // ascending: the texts decide
      {-7, 1, 5, 1, 1},  {7, 1, 1, 5, -1},  // descending: reversed
      {0, 0, 1, 5, -1},  {0, 1, 1, 5, -1},  // equal texts: the earlier row first either way
      {0, 1, 5, 1, 1},   {0, 0, 3, 3, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareRows(c.text, c.order, c.first, c.second), c.expected)
        << c.text << " " << c.order << " " << c.first << " " << c.second;
  }
}

TEST(HighContrast, ContrastRatiosShapesInOneColourAndTheLookOfASelectedGhostedRow) {
  EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 0.005);
  EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x767676), 4.54, 0.005);
  EXPECT_NEAR(ContrastRatio(0x3FF23F, 0x1AEBFF), 1.03, 0.005);  // High Contrast Black: grey on the highlight
  EXPECT_EQ(ShapeInColour({0x00000000, 0xFF2040C0, 0x80102060}, 0x00FF80),
            (std::vector<std::uint32_t>{0x00000000, 0xFF00FF80, 0x80008040}));
  EXPECT_EQ(LookOfRow(true, true, true), RowLook::SelectionColours);
  EXPECT_EQ(LookOfRow(true, true, false), RowLook::GreyText);
  EXPECT_EQ(LookOfRow(true, false, true), RowLook::GreyText);
}

}  // namespace
}  // namespace uvantic
