// When the "What's This?" popup opens: a right click on any of the seven controls opens
// it at the pointer, the Applications key at the centre of the focused control; other
// buttons and the window's bare surface open nothing. The list goes on following the
// registry while the popup is open.
#include <cstdlib>

#include "help_scenario.h"
#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

class WhatsThisPopup : public HelpScenario {
 protected:
  void SetUp() override {
    HelpScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Start();
  }

  // Any web site the logo opens is recorded here.
  RecordFile shellRecord_{L"UVANTIC_SHELL_RECORD", L"uvantic-shell-record.txt"};

  std::vector<std::pair<const char*, HWND>> AllControls() const {
    return {{"imgIcon", controls_.icon},           {"lblList", controls_.label},
            {"lvwList", controls_.list},           {"cmdProperties", controls_.properties},
            {"imgLogo", controls_.logo},           {"cmdDevmgmt", controls_.deviceManager},
            {"cmdClose", controls_.close}};
  }
};

TEST_F(WhatsThisPopup, RightClickOnEveryControlOpensItAtThePointer) {
  for (const auto& [name, control] : AllControls()) {
    ASSERT_NE(control, nullptr) << name;
    ASSERT_TRUE(BringToFront(window()));
    Click(control, MouseButton::Right);
    const HWND popup = WaitForPopupMenu();
    ASSERT_NE(popup, nullptr) << "no popup after a right click on " << name;
    POINT pointer{};
    GetCursorPos(&pointer);
    const Rect at = ScreenRect(popup);
    EXPECT_LE(std::abs(at.x - pointer.x), 1) << name;
    EXPECT_LE(std::abs(at.y - pointer.y), 1) << name;
    if (std::string(name) == "lvwList") Screenshot("popup-on-list");
    DismissPopupMenu();
    ASSERT_EQ(PopupMenu(), nullptr) << name;
    WaitPastDoubleClickTime();
  }
}

TEST_F(WhatsThisPopup, LeftClicksOnControlsWithoutACommandOpenNone) {
  // The logo and the three buttons run their commands on a left click; theirs are
  // tested with the commands.
  for (const auto& [name, control] : AllControls()) {
    if (control != controls_.icon && control != controls_.label && control != controls_.list) continue;
    Click(control);
    EXPECT_TRUE(NoPopupMenuAppears()) << name;
    DismissPopupMenu();
    WaitPastDoubleClickTime();
  }
}

TEST_F(WhatsThisPopup, MiddleClicksOpenNone) {
  for (const auto& [name, control] : AllControls()) {
    Click(control, MouseButton::Middle);
    EXPECT_TRUE(NoPopupMenuAppears()) << name;
    DismissPopupMenu();
  }
  EXPECT_FALSE(program_->HasExited());
}

TEST_F(WhatsThisPopup, RightClickOnTheBareWindowOpensNone) {
  // Left of the label and the list, between the icon and the label, right of the
  // bottom row's logo.
  for (POINT at : {POINT{5, 150}, POINT{60, 40}, POINT{130, 380}}) {
    ClickAt(window(), at, MouseButton::Right);
    EXPECT_TRUE(NoPopupMenuAppears()) << at.x << "," << at.y;
    DismissPopupMenu();
    WaitPastDoubleClickTime();
  }
}

TEST_F(WhatsThisPopup, ApplicationsKeyOnTheListOpensItAtTheListsCentre) {
  ASSERT_EQ(FocusedWindow(window()), controls_.list);
  PressApplicationsKey();
  const HWND popup = WaitForPopupMenu();
  ASSERT_NE(popup, nullptr);
  const Rect list = RectInParent(controls_.list);
  POINT centre{list.x + list.width / 2, list.y + list.height / 2};
  ClientToScreen(window(), &centre);
  const Rect at = ScreenRect(popup);
  EXPECT_EQ(at.x, centre.x);
  EXPECT_EQ(at.y, centre.y);
  DismissPopupMenu();
}

// The menu's own message loop runs the early ticks too.
TEST_F(WhatsThisPopup, TheListFollowsTheRegistryAtOnceWhileItIsOpen) {
  ASSERT_EQ(FocusedWindow(window()), controls_.list);
  PressApplicationsKey();
  ASSERT_NE(WaitForPopupMenu(), nullptr);
  const Cable second{L"7&19F0E2A7&0&0002", L"COM4", CableSetup::Started};
  const auto median = MedianTimeToShow(
      6, [&](int i) { i % 2 == 0 ? registry_.Install(second) : registry_.Uninstall(second.instance); },
      [&](int i) { return List().ItemCount() == (i % 2 == 0 ? 2 : 1); });
  ASSERT_TRUE(median.has_value()) << "a change never showed";
  EXPECT_LT(median->count(), kMedianTimeToShow.count());
  EXPECT_NE(PopupMenu(), nullptr) << "the popup closed";
  DismissPopupMenu();
}

TEST_F(WhatsThisPopup, ApplicationsKeyWithShiftCtrlOrAltOpensItToo) {
  for (WORD modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    INPUT inputs[4]{};
    for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = modifier;
    inputs[1].ki.wVk = VK_APPS;
    inputs[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    inputs[2].ki.wVk = VK_APPS;
    inputs[2].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;
    inputs[3].ki.wVk = modifier;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof(INPUT));
    EXPECT_NE(WaitForPopupMenu(), nullptr) << "modifier " << modifier;
    DismissPopupMenu();
    ASSERT_TRUE(BringToFront(window()));
  }
}

TEST_F(WhatsThisPopup, OtherKeysOpenNone) {
  for (WORD key : {WORD{'A'}, WORD{VK_DOWN}, WORD{VK_SPACE}, WORD{VK_F2}}) {
    PressKey(key);
    EXPECT_TRUE(NoPopupMenuAppears()) << "key " << key;
    DismissPopupMenu();
  }
}

TEST_F(WhatsThisPopup, RightClickOnTheLogoOpensItAndNotTheWebSiteEvenAfterAPressReleasedElsewhere) {
  InstallShellRecorder();
  RECT logo{};
  GetClientRect(controls_.logo, &logo);
  MoveTo(controls_.logo, {logo.right / 2, logo.bottom / 2});
  Press(MouseButton::Left);
  MoveTo(controls_.list, {5, 5});
  Release(MouseButton::Left);
  WaitPastDoubleClickTime();
  Click(controls_.logo, MouseButton::Right);
  EXPECT_NE(WaitForPopupMenu(), nullptr);
  DismissPopupMenu();
  Sleep(1500);
  EXPECT_TRUE(shellRecord_.Lines().empty());
  // The recorder does see a left click on the logo.
  WaitPastDoubleClickTime();
  Click(controls_.logo);
  EXPECT_EQ(shellRecord_.WaitForLines(1).size(), 1u);
}

TEST_F(WhatsThisPopup, TitleBarOffersTheHelpButton) {
  EXPECT_NE(GetWindowLongW(window(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);
}

}  // namespace
}  // namespace uvantic::e2e
