// The window's control table and its conversion to pixels.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "window/layout.h"

namespace uvantic {
namespace {

TEST(WindowLayout, AtDesignResolutionEveryControlSitsOnWholePixels) {
  struct Case {
    ControlName name;
    PixelRect pixels;  // left, top, right, bottom
  };
  const Case cases[] = {
      {ControlName::imgIcon, {16, 16, 48, 48}},       {ControlName::lblList, {16, 56, 345, 73}},
      {ControlName::lvwList, {16, 80, 345, 297}},     {ControlName::cmdProperties, {272, 312, 345, 337}},
      {ControlName::imgLogo, {16, 360, 125, 386}},    {ControlName::cmdDevmgmt, {144, 360, 257, 385}},
      {ControlName::cmdClose, {272, 360, 345, 385}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToPixels(Entry(c.name).twips, kDesignDpi), c.pixels) << Entry(c.name).codeName;
  }
  EXPECT_EQ(ClientSizePixels(kDesignDpi), (PixelSize{359, 397}));
}

TEST(WindowLayout, ClientAreaScalesWithResolution) {
  EXPECT_EQ(ClientSizePixels(120), (PixelSize{449, 496}));  // 448.75, 496.25
  EXPECT_EQ(ClientSizePixels(144), (PixelSize{539, 596}));  // 538.5 rounds up, 595.5 too
  EXPECT_EQ(ClientSizePixels(192), (PixelSize{718, 794}));
}

// Edges are converted, not sizes: wherever two controls share an edge position in
// twips (the label and the list, the right-aligned buttons, the bottom row) they
// share it in pixels, and no two controls come to overlap.
TEST(WindowLayout, EdgesThatMeetInTwipsMeetInPixelsAtEveryResolution) {
  auto edges = [](const TwipsRect& r) { return std::array<int, 4>{r.left, r.top, r.right(), r.bottom()}; };
  for (int dpi = 72; dpi <= 288; ++dpi) {
    for (const ControlEntry& a : kControls) {
      for (const ControlEntry& b : kControls) {
        const auto twipsA = edges(a.twips);
        const auto twipsB = edges(b.twips);
        for (int i = 0; i < 4; ++i) {
          for (int j = 0; j < 4; ++j) {
            if (twipsA[i] != twipsB[j] || (i % 2) != (j % 2)) continue;
            EXPECT_EQ(TwipsToPixels(twipsA[i], dpi), TwipsToPixels(twipsB[j], dpi)) << "dpi " << dpi;
          }
        }
        if (a.name == b.name) continue;
        const PixelRect pa = ToPixels(a.twips, dpi);
        const PixelRect pb = ToPixels(b.twips, dpi);
        const bool overlap = pa.left < pb.right && pb.left < pa.right && pa.top < pb.bottom && pb.top < pa.bottom;
        EXPECT_FALSE(overlap) << "dpi " << dpi;
      }
    }
  }
}

// The layout's resolution follows the message font beyond its default size (9 points
// at the screen's resolution), never the resolution twice, and never shrinks.
TEST(WindowLayout, LargerTextLaysTheWindowOutAtAProportionallyHigherResolution) {
  const struct {
    int dpi, fontPixels, expected;
  } cases[] = {
      {96, 12, 96},    // 100 % text: exactly the screen's
      {96, 11, 96},    // a smaller default font (Tahoma 8 pt) is not shrunk
      {96, 0, 96},     // no font
      {96, 18, 144},   // 150 %
      {96, 24, 192},   // 200 %
      {96, 27, 216},   // 225 %
      {96, 22, 176},   // 200 % of an 11-pixel default
      {96, 13, 104},   // 104: 8.33 halves up
      {144, 18, 144},  // 100 % at 150 % resolution: the font already grew with it
      {144, 36, 288},  // 200 % at 150 % resolution
      {120, 15, 120},  {120, 30, 240},
      {110, 14, 110},  // 9 points round to 14 pixels at 110 dpi: still 100 %
      {96, 1000, 768},  // at most eight times
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextLayoutDpi(c.dpi, c.fontPixels), c.expected) << c.dpi << " dpi, " << c.fontPixels << " px";
  }
}

// The client area at 96 dpi is 359 by 397 pixels at scale 1, and 808 by 893 at 216.
TEST(WindowLayout, LargeTextIsCappedWhereTheWindowWouldLeaveTheWorkArea) {
  const PixelSize frame{6, 25};
  const struct {
    int layoutDpi, dpi;
    PixelSize workArea;
    int expected;
  } cases[] = {
      {216, 96, {1280, 1024}, 216},  // fits
      {216, 96, {1280, 800}, 187},   // 773 + 25 = 798 high; 188 would be 777 + 25
      {216, 96, {1280, 798}, 187},   // exactly as high as the work area
      {216, 96, {700, 1024}, 185},   // 692 + 6 = 698 wide; 186 would be 696 + 6
      {216, 96, {698, 1024}, 185},   // exactly as wide as the work area
      {216, 96, {300, 300}, 96},     // not even the design size fits: the design size
      {96, 96, {300, 300}, 96},
      {288, 144, {1920, 1040}, 245},  // 1013 + 25 = 1038 high
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CapLayoutDpi(c.layoutDpi, c.dpi, frame, c.workArea), c.expected) << c.workArea.width << "x"
                                                                                << c.workArea.height;
  }
}

TEST(WindowLayout, TheListsWidthOnScreenGrowsWithTheTextAndIsExactAtItsDefaultSize) {
  EXPECT_EQ(ScreenTwips(4935, 96, 96), 4935.0);
  EXPECT_EQ(ScreenTwips(4935, 120, 120), 4935.0);
  EXPECT_EQ(ScreenTwips(4935, 192, 96), 9870.0);
  EXPECT_EQ(ScreenTwips(4935, 240, 120), 9870.0);
  EXPECT_DOUBLE_EQ(ScreenTwips(4935, 176, 96), 9047.5);
}

// A reading of none is a missing function or a failed call; "asked" lists the readings
// taken: w(indow), m(onitor), s(ystem).
TEST(WindowLayout, ResolutionIsTheWindowsElseItsMonitorsElseTheSystemsAskedForInThatOrder) {
  const std::optional<int> none;
  const struct {
    std::optional<int> window, monitor, system;
    int expected;
    std::string asked;
  } cases[] = {
      {144, 120, 96, 144, "w"},         // Windows 10 1607 onwards: shcore.dll is never loaded
      {none, 144, 96, 144, "wm"},       // Windows 8.1 and early Windows 10 on a second monitor
      {0, 192, 96, 192, "wm"},          // the window's call failed
      {none, none, 120, 120, "wms"},    // Windows 7
      {none, -96, 0, kDesignDpi, "wms"},
  };
  for (const auto& c : cases) {
    std::string asked;
    const auto reading = [&asked](char name, std::optional<int> dpi) {
      return [&asked, name, dpi] {
        asked += name;
        return dpi;
      };
    };
    EXPECT_EQ(ChooseWindowDpi(reading('w', c.window), reading('m', c.monitor), reading('s', c.system)), c.expected);
    EXPECT_EQ(asked, c.asked);
  }
}

TEST(WindowLayout, ControlsAreCreatedInTabOrderThenThePictures) {
  const auto order = CreationOrder();
  const std::array<ControlName, 7> expected{ControlName::lblList,    ControlName::lvwList,  ControlName::cmdProperties,
                                            ControlName::cmdDevmgmt, ControlName::cmdClose, ControlName::imgIcon,
                                            ControlName::imgLogo};
  EXPECT_EQ(order, expected);
}

TEST(WindowLayout, CloseCarriesTheCancelIdentifierAndIdentifiersAreDistinct) {
  EXPECT_EQ(Entry(ControlName::cmdClose).controlId, 2);
  for (const ControlEntry& a : kControls) {
    for (const ControlEntry& b : kControls) {
      if (a.name == b.name) continue;
      EXPECT_NE(a.controlId, b.controlId);
    }
  }
}

}  // namespace
}  // namespace uvantic
