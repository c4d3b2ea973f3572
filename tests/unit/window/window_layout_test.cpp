// The window's control table and its conversion to pixels.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "window/layout.h"
#include "window/text_fit.h"

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
// at the screen's resolution), counts the resolution once and never shrinks; the
// window is capped where it would leave the work area (frame 6 by 25 pixels).
TEST(WindowLayout, LargerTextRaisesTheLayoutsResolutionWithinTheWorkArea) {
  const int cases[][3] = {{96, 12, 96},  {96, 11, 96},  {96, 24, 192}, {96, 27, 216},   {96, 13, 104},
                          {144, 18, 144}, {144, 36, 288}, {110, 14, 110}, {96, 1000, 768}};
  for (const auto& c : cases) EXPECT_EQ(TextLayoutDpi(c[0], c[1]), c[2]) << c[0] << " dpi, " << c[1] << " px";
  const PixelSize frame{6, 25};
  EXPECT_EQ(CapLayoutDpi(216, 96, frame, {1280, 1024}), 216);
  EXPECT_EQ(CapLayoutDpi(216, 96, frame, {1280, 798}), 187);  // 773 + 25 high; 188 gives 777
  EXPECT_EQ(CapLayoutDpi(216, 96, frame, {698, 1024}), 185);  // 692 + 6 wide; 186 gives 696
  EXPECT_EQ(CapLayoutDpi(216, 96, frame, {300, 300}), 96);    // not even the design size fits
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

// Texts as the font draws them (margins not yet added): the layout grows across to the
// least resolution at which all fit, never down, and no wider than the work area
// (frame 6 pixels). A button has 73 pixels at 96 dpi (82 from 107 dpi), the status
// column 108 (130 from 116 dpi), the last column 218 at 192 dpi (300 from 264 dpi).
TEST(WindowLayout, LongTextsWidenTheLayoutUntilTheyFitWithinTheWorkArea) {
  const TextPlace properties{ControlName::cmdProperties}, label{ControlName::lblList};
  const TextPlace status{ControlName::lvwList, 1}, cableId{ControlName::lvwList, 2};
  const struct {
    std::vector<MeasuredText> texts;
    int layoutDpi, dpi, workWidth, expected;
  } cases[] = {
      {{{properties, 56, 13}, {label, 329, 13}, {status, 96, 13}}, 96, 96, 1280, 96},  // as wide as there is room
      {{{properties, 70, 13}, {label, 200, 13}}, 96, 96, 1280, 107},   // 70 + 2 * 6 pixels of frame
      {{{status, 118, 13}, {properties, 70, 13}}, 96, 96, 1280, 116},  // the widest need decides
      {{{properties, 70, 13}}, 96, 96, 400, 105},                     // 105 dpi: 394 + 6 pixels
      {{{properties, 70, 13}}, 96, 96, 300, 96},                      // never narrower than the font's
      {{{cableId, 276, 26}}, 192, 192, 1280, 264},                     // 200 %: margins of 12 pixels
      {{{properties, 120, 26}}, 216, 96, 1280, 216},                   // the font's growth suffices
      {{}, 120, 96, 1280, 120},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitLayoutDpiAcross(c.texts, c.layoutDpi, c.dpi, 6, c.workWidth), c.expected)
        << c.texts.size() << " texts at " << c.layoutDpi << " dpi in " << c.workWidth;
  }
  // Only across: the client area keeps the font's height.
  EXPECT_EQ(ClientSizePixels(107, 96), (PixelSize{400, 397}));
  EXPECT_EQ(NeedsDown({properties, 70, 13}, 192), 25);
  EXPECT_EQ(RoomDown(properties, 96), 25);
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
