// When the main window opens its "What's This?" popup, where, and which topic of the
// help file each control leads to.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "window/layout.h"
#include "window/logo_press.h"
#include "window/whats_this.h"

namespace uvantic {
namespace {

struct ReleaseCase {
  int buttonCode;
  bool opens;
};

TEST(WhatsThisPopup, OpensOnlyForTheRightButtonAlone) {
  const ReleaseCase cases[] = {
      {kButtonLeft, false},
      {kButtonRight, true},
      {kButtonMiddle, false},
      {kButtonLeft | kButtonRight, false},
      {kButtonRight | kButtonMiddle, false},
      {kButtonExtra, false},
      {0, false},
  };
  for (const ReleaseCase& c : cases) {
    LogoPress logo;
    EXPECT_EQ(WhatsThisPopup(c.buttonCode, logo), c.opens) << "button code " << c.buttonCode;
  }
}

TEST(WhatsThisPopup, RightReleaseDisarmsTheLogoSoItsClickOpensNothing) {
  LogoPress logo;
  logo.Press(kButtonLeft);  // pressed on the logo, released elsewhere: still armed
  ASSERT_TRUE(WhatsThisPopup(kButtonRight, logo));
  EXPECT_FALSE(logo.Click());
}

TEST(WhatsThisPopup, OtherReleasesLeaveTheLogoArmed) {
  for (int code : {kButtonLeft, kButtonMiddle, kButtonLeft | kButtonRight}) {
    LogoPress logo;
    logo.Press(kButtonLeft);
    EXPECT_FALSE(WhatsThisPopup(code, logo));
    EXPECT_TRUE(logo.Click()) << "button code " << code;
  }
}

TEST(WhatsThisKey, OnlyTheApplicationsKeyOpensThePopup) {
  EXPECT_TRUE(KeyOpensWhatsThis(93));
  // F10 (Shift+F10 is another context-menu key elsewhere), the Windows keys beside
  // the Applications key, Esc and Enter.
  for (int key : {121, 91, 92, 94, 27, 13, 0}) EXPECT_FALSE(KeyOpensWhatsThis(key)) << "key " << key;
}

TEST(KeyboardPopupPoint, IsTheCentreOfTheListAtTheDesignSize) {
  const PixelRect list = ToPixels(Entry(ControlName::lvwList).twips, kDesignDpi);
  ASSERT_EQ(list, (PixelRect{16, 80, 345, 297}));
  EXPECT_EQ(KeyboardPopupPoint(list), (PixelPoint{16 + 164, 80 + 108}));
}

TEST(KeyboardPopupPoint, HalvesTheSizeBeforeAddingIt) {
  // With a negative edge, halving the sum would round the other way.
  EXPECT_EQ(KeyboardPopupPoint({-3, -3, 2, 2}), (PixelPoint{-1, -1}));
  EXPECT_EQ(KeyboardPopupPoint({10, 20, 15, 27}), (PixelPoint{12, 23}));
  EXPECT_EQ(KeyboardPopupPoint({10, 20, 10, 20}), (PixelPoint{10, 20}));
}

TEST(HelpPopupAnchor, StaysAtThePointerOverTheControlElseGoesToItsCentre) {
  const PixelRect button{100, 200, 173, 225};
  EXPECT_EQ(HelpPopupAnchor({100, 200}, button), (PixelPoint{100, 200}));
  EXPECT_EQ(HelpPopupAnchor({172, 224}, button), (PixelPoint{172, 224}));
  // Right and bottom edges lie outside the control, as with every Windows rectangle.
  EXPECT_EQ(HelpPopupAnchor({173, 210}, button), (PixelPoint{136, 212}));
  EXPECT_EQ(HelpPopupAnchor({150, 225}, button), (PixelPoint{136, 212}));
  EXPECT_EQ(HelpPopupAnchor({5, 5}, button), (PixelPoint{136, 212}));
}

TEST(LocateHelpTopic, AddressesTheTextAndThePageInsideTheHelpFile) {
  const std::wstring file = L"C:\\Program Files\\Uvantic\\UvanticFinder.chm";
  EXPECT_EQ(LocateHelpTopic(file, 1),
            (HelpTopicLocation{1, file + L"::/cshelp.txt", file + L"::/list.htm"}));
  EXPECT_EQ(LocateHelpTopic(file, 4),
            (HelpTopicLocation{4, file + L"::/cshelp.txt", file + L"::/close.htm"}));
}

TEST(LocateHelpTopic, GivesEachTopicItsOwnPage) {
  std::set<std::wstring> pages;
  for (int topic = 1; topic <= 5; ++topic) {
    const auto location = LocateHelpTopic(L"h.chm", topic);
    ASSERT_TRUE(location) << "topic " << topic;
    EXPECT_EQ(location->topic, topic);
    pages.insert(location->pageAddress);
  }
  EXPECT_EQ(pages.size(), 5u);
}

TEST(LocateHelpTopic, KnowsNoOtherNumbers) {
  for (int topic : {0, 6, -1, 100}) EXPECT_EQ(LocateHelpTopic(L"h.chm", topic), std::nullopt) << topic;
}

// The user's language's help file where it is there, else the registered one.
TEST(HelpFileFor, TakesTheLanguagesFolderBesideTheRegisteredFileWhenItHasTheFile) {
  const std::wstring registered = L"C:\\Uvantic\\UvanticFinder.chm", de = L"C:\\Uvantic\\de\\UvanticFinder.chm";
  const struct {
    Language language;
    std::wstring registered, present, expected;
  } cases[] = {
      {Language::German, registered, de, de}, {Language::Japanese, registered, de, registered},
      {Language::PortugueseBrazil, registered, L"C:\\Uvantic\\pt-BR\\UvanticFinder.chm",
       L"C:\\Uvantic\\pt-BR\\UvanticFinder.chm"},
      {Language::English, registered, L"C:\\Uvantic\\en\\UvanticFinder.chm", registered},
      {Language::German, L"", L"\\de\\UvanticFinder.chm", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HelpFileFor(c.language, c.registered, [&](const std::wstring& path) { return path == c.present; }),
              c.expected);
  }
}

}  // namespace
}  // namespace uvantic
