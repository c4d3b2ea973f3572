// The decisions behind the window's commands: the property-sheet request, the
// header-click sort toggle and the logo's press-then-click state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/logo_press.h"
#include "window/properties_command.h"
#include "window/sort_toggle.h"

namespace uvantic {
namespace {

TEST(PropertiesCommandLine, CarriesTheKeyByteForByteBetweenTheQuotes) {
  const std::wstring key = L"USB\\Vid_2E7A&Pid_0200&Mi_00\\6&2d3f0b1a&0&0000";
  EXPECT_EQ(PropertiesCommandLine(key),
            L"/MachineName \"\" /DeviceID \"USB\\Vid_2E7A&Pid_0200&Mi_00\\6&2d3f0b1a&0&0000\"");
  EXPECT_EQ(std::wstring(L"/MachineName \"\" /DeviceID \"").size(), 27u);
}

TEST(PropertiesCommandLine, KeepsSpacesSlashesAndOddCharactersInsideTheQuotes) {
  EXPECT_EQ(PropertiesCommandLine(L"a b /x\\"), L"/MachineName \"\" /DeviceID \"a b /x\\\"");
}

TEST(PropertiesCommandLine, RefusesKeysThatCouldAddArguments) {
  for (const std::wstring& key : {std::wstring(), std::wstring(L"\""),
                                 std::wstring(L"USB\\x\" /MachineName \"evil"),
                                 std::wstring(L"USB\\x\0y", 7)}) {
    EXPECT_EQ(PropertiesCommandLine(key), std::nullopt) << "key of " << key.size() << " characters";
    for (bool wow64 : {false, true}) EXPECT_FALSE(PropertySheetRequestFor(key, wow64, L"C:\\Windows"));
  }
}

TEST(PropertySheetRequestFor, InThisProcessExceptUnderWow64WhereTheNativeRundll32ShowsIt) {
  const std::wstring line = L"/MachineName \"\" /DeviceID \"USB\\VID_2E7A&PID_0200\\6&1&0&0000\"";
  const struct {
    bool wow64;
    std::wstring windowsDirectory;
    std::optional<PropertySheetRequest> expected;
  } cases[] = {
      {false, L"", PropertySheetRequest{L"", line, L""}},
      {true, L"C:\\Windows",
       PropertySheetRequest{L"C:\\Windows\\Sysnative\\rundll32.exe",
                            L"\"C:\\Windows\\Sysnative\\rundll32.exe\" devmgr.dll,DeviceProperties_RunDLL " + line,
                            L"C:\\Windows"}},
      {true, L"D:\\My Win",
       PropertySheetRequest{L"D:\\My Win\\Sysnative\\rundll32.exe",
                            L"\"D:\\My Win\\Sysnative\\rundll32.exe\" devmgr.dll,DeviceProperties_RunDLL " + line,
                            L"D:\\My Win"}},
      // Nowhere to start rundll32 from: never the current directory or the search path.
      {true, L"", std::nullopt},
      {true, L"C:\\Win\" x", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PropertySheetRequestFor(L"USB\\VID_2E7A&PID_0200\\6&1&0&0000", c.wow64, c.windowsDirectory), c.expected)
        << "wow64 " << c.wow64 << ", Windows directory of " << c.windowsDirectory.size() << " characters";
  }
}

struct ToggleCase {
  SortState before;
  int header;
  SortState after;
};

TEST(SortToggle, FollowsTheStateTable) {
  const ToggleCase cases[] = {
      // The list starts ascending by port name: a first click there turns it around.
      {{0, kSortAscending}, 1, {0, kSortDescending}},
      {{0, kSortAscending}, 2, {1, kSortAscending}},
      {{0, kSortDescending}, 1, {0, kSortAscending}},
      {{1, kSortAscending}, 2, {1, kSortDescending}},
      {{1, kSortDescending}, 2, {1, kSortAscending}},
      // Another column always starts ascending, whatever order the previous one had.
      {{1, kSortDescending}, 3, {2, kSortAscending}},
      {{2, kSortAscending}, 1, {0, kSortAscending}},
      // Headers the list does not have change nothing.
      {{1, kSortDescending}, 0, {1, kSortDescending}},
      {{1, kSortDescending}, 4, {1, kSortDescending}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToggledSortState(c.before, c.header), c.after)
        << "from " << c.before.key << "/" << c.before.order << " click " << c.header;
  }
}

// A list that records how the toggle talks to it.
struct RecordingList {
  short key = 0;
  int order = kSortAscending;
  std::vector<std::string> calls;

  short SortKey() const { return key; }
  int SortOrder() const { return order; }
  void SetSortKey(int k) {
    calls.push_back("key=" + std::to_string(k));
    key = static_cast<short>(k);
  }
  void SetSortOrder(int o) {
    calls.push_back("order=" + std::to_string(o));
    order = o;
  }
};

TEST(SortToggle, ReadsTheListAfreshOnEveryClick) {
  RecordingList list;
  ToggleSort(list, 2);
  list.key = 2;  // changed behind the toggle's back
  list.order = kSortDescending;
  list.calls.clear();
  ToggleSort(list, 3);
  EXPECT_EQ(list.calls, std::vector<std::string>{"order=0"});
}

TEST(SortToggle, SetsTheColumnBeforeTheOrder) {
  RecordingList list;
  list.key = 0;
  list.order = kSortDescending;
  ToggleSort(list, 3);
  EXPECT_EQ(list.calls, (std::vector<std::string>{"key=2", "order=0"}));
}

TEST(LogoPress, OnlyALeftPressAloneArmsTheClick) {
  struct Case {
    int code;
    bool opens;
  };
  const Case cases[] = {
      {kButtonLeft, true},
      {kButtonRight, false},
      {kButtonMiddle, false},
      {kButtonLeft | kButtonRight, false},
      {kButtonLeft | kButtonMiddle, false},
      {kButtonLeft | kButtonExtra, false},
      {0, false},
  };
  for (const auto& c : cases) {
    LogoPress logo;
    logo.Press(c.code);
    EXPECT_EQ(logo.Click(), c.opens) << "button code " << c.code;
  }
}

TEST(LogoPress, OneLeftPressOpensTheSiteOnce) {
  LogoPress logo;
  EXPECT_FALSE(logo.Click());
  logo.Press(kButtonLeft);
  logo.Press(kButtonLeft);
  EXPECT_TRUE(logo.Click());
  EXPECT_FALSE(logo.Click());
}

TEST(LogoPress, OtherPressesLeaveAnArmedLogoArmed) {
  LogoPress logo;
  logo.Press(kButtonLeft);
  logo.Press(kButtonLeft | kButtonRight);
  logo.Press(kButtonRight);
  EXPECT_TRUE(logo.Click());
}

TEST(LogoPress, ContextHelpPopupDisarmsAnEarlierLeftPress) {
  LogoPress logo;
  logo.Press(kButtonLeft);  // released outside the logo: no click consumed it
  logo.Press(kButtonRight);
  logo.Clear();  // the right release shows the popup
  EXPECT_FALSE(logo.Click());
}

}  // namespace
}  // namespace uvantic
