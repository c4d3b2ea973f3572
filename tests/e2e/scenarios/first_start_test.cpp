// The window as it first appears on a machine where no cable was ever installed, at
// 96 dots per inch: its frame, every control to the pixel, the empty list.
#include <windows.h>

#include <commctrl.h>

#include "program_scenario.h"

namespace uvantic::e2e {
namespace {

class FirstStartWithoutCables : public SharedProgramScenario {
 protected:
  static void SetUpTestSuite() { StartShared("FirstStartWithoutCables", {}); }
};

TEST_F(FirstStartWithoutCables, WindowHasCaptionFixedFrameAndHelpButtonOnly) {
  EXPECT_EQ(Narrow(WindowText(window())), "Uvantic Finder");
  const LONG style = GetWindowLongW(window(), GWL_STYLE);
  const LONG exStyle = GetWindowLongW(window(), GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_CONTEXTHELP) << "no context-help button";
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU) << "no close button";
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the user could resize the window";
  EXPECT_EQ(GetMenu(window()), nullptr) << "the window shows a menu bar";
}

TEST_F(FirstStartWithoutCables, ClientAreaIs359By397) {
  const Rect client = ClientSize(window());
  EXPECT_EQ(client.width, 359);
  EXPECT_EQ(client.height, 397);
}

struct ExpectedControl {
  const char* name;
  HWND MainWindowControls::*handle;
  Rect rect;
  const wchar_t* text;  // nullptr: not checked (pictures)
};

TEST_F(FirstStartWithoutCables, PlacesEveryControlToThePixel) {
  const ExpectedControl expected[] = {
      {"imgIcon", &MainWindowControls::icon, {16, 16, 32, 32}, nullptr},
      {"lblList", &MainWindowControls::label, {16, 56, 329, 17}, kLabelText},
      {"lvwList", &MainWindowControls::list, {16, 80, 329, 217}, nullptr},
      {"cmdProperties", &MainWindowControls::properties, {272, 312, 73, 25}, kPropertiesText},
      {"imgLogo", &MainWindowControls::logo, {16, 360, 109, 26}, nullptr},
      {"cmdDevmgmt", &MainWindowControls::deviceManager, {144, 360, 113, 25}, kDeviceManagerText},
      {"cmdClose", &MainWindowControls::close, {272, 360, 73, 25}, kCloseText},
  };
  for (const auto& control : expected) {
    SCOPED_TRACE(control.name);
    const HWND handle = controls().*control.handle;
    ASSERT_NE(handle, nullptr) << "not found";
    const ControlInfo info = DescribeControl(handle);
    EXPECT_TRUE(info.visible);
    EXPECT_EQ(info.rect, control.rect) << "at " << info.rect.x << "," << info.rect.y << " size "
                                       << info.rect.width << "x" << info.rect.height;
    if (control.text != nullptr) {
      EXPECT_EQ(Narrow(info.text), Narrow(control.text));
    }
  }
}

TEST_F(FirstStartWithoutCables, ShowsNoOtherVisibleControlsAndNoneOverlap) {
  std::vector<ControlInfo> visible;
  for (const auto& control : ChildControls(window())) {
    if (control.visible) visible.push_back(control);
  }
  EXPECT_EQ(visible.size(), 7u);
  for (std::size_t i = 0; i < visible.size(); ++i) {
    for (std::size_t j = i + 1; j < visible.size(); ++j) {
      const Rect& a = visible[i].rect;
      const Rect& b = visible[j].rect;
      const bool overlap = a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
      EXPECT_FALSE(overlap) << Narrow(visible[i].className) << " '" << Narrow(visible[i].text) << "' and "
                            << Narrow(visible[j].className) << " '" << Narrow(visible[j].text) << "'";
    }
  }
}

TEST_F(FirstStartWithoutCables, ListHasItsThreeColumnsAndNoRow) {
  const ListViewProbe list = List();
  EXPECT_EQ(list.ColumnCount(), 3);
  const std::vector<std::wstring> expected{L"COM Number", L"Status", L"USB Cable ID"};
  EXPECT_EQ(list.HeaderTexts(), expected);
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(list.SelectedIndex(), -1);
  const LONG style = GetWindowLongW(controls().list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_FALSE(style & LVS_NOCOLUMNHEADER);
  EXPECT_FALSE(style & LVS_NOSORTHEADER) << "the headers do not click";
}

TEST_F(FirstStartWithoutCables, PropertiesIsDisabledAndTheOtherButtonsEnabled) {
  EXPECT_FALSE(IsWindowEnabled(controls().properties));
  EXPECT_TRUE(IsWindowEnabled(controls().deviceManager));
  EXPECT_TRUE(IsWindowEnabled(controls().close));
  EXPECT_TRUE(IsWindowEnabled(controls().list));
}

TEST_F(FirstStartWithoutCables, FocusIsOnTheList) { EXPECT_EQ(FocusedWindow(window()), controls().list); }

TEST_F(FirstStartWithoutCables, CloseIsTheDefaultButton) {
  const LONG style = GetWindowLongW(controls().close, GWL_STYLE);
  EXPECT_EQ(style & 0x0F, BS_DEFPUSHBUTTON);
}

}  // namespace
}  // namespace uvantic::e2e
