// The decisions behind the window's commands: the property-sheet request, the sheets
// open per cable, the header-click sort toggle and the logo's press-then-click state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_printers.h"
#include "window/logo_press.h"
#include "window/open_sheets.h"
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
    for (Machine native : {Machine::x86, Machine::x64}) {
      EXPECT_FALSE(PropertySheetRequestFor(key, Machine::x86, native, L"C:\\Windows"));
    }
  }
}

// The sheet opens out of process wherever our process is not of the system's own
// machine, from the native system directory as our process reaches it.
TEST(PropertySheetRequestFor, InThisProcessOnlyWhereTheProgramIsOfTheSystemsNativeMachine) {
  const std::wstring line = L"/MachineName \"\" /DeviceID \"USB\\VID_2E7A&PID_0200\\6&1&0&0000\"";
  const auto outside = [&](const std::wstring& windows, const std::wstring& system) {
    const std::wstring rundll32 = windows + system + L"\\rundll32.exe";
    return OutOfProcessSheet{rundll32, L"\"" + rundll32 + L"\" devmgr.dll,DeviceProperties_RunDLL " + line, windows,
                             windows + system + L"\\devmgr.dll"};
  };
  using enum Machine;
  const struct {
    Machine program, native;
    std::wstring windowsDirectory;
    std::optional<PropertySheetRequest> expected;
  } cases[] = {
      {x86, x86, L"C:\\Windows", InProcessSheet{line}},
      {x86, x64, L"C:\\Windows", outside(L"C:\\Windows", L"\\Sysnative")},
      {x86, arm64, L"C:\\Windows", outside(L"C:\\Windows", L"\\Sysnative")},
      {x64, x64, L"C:\\Windows", InProcessSheet{line}},
      {x64, arm64, L"C:\\Windows", outside(L"C:\\Windows", L"\\System32")},
      {x86, x64, L"D:\\My Win", outside(L"D:\\My Win", L"\\Sysnative")},
      {x64, x64, L"", InProcessSheet{line}},
      // Nowhere to start rundll32 from: never the current directory or the search path.
      {x86, x64, L"", std::nullopt},
      {x64, arm64, L"C:\\Win\" x", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PropertySheetRequestFor(L"USB\\VID_2E7A&PID_0200\\6&1&0&0000", c.program, c.native, c.windowsDirectory),
              c.expected)
        << "program " << static_cast<int>(c.program) << " on " << static_cast<int>(c.native) << ", Windows directory of "
        << c.windowsDirectory.size() << " characters";
  }
}

// One sheet per cable: a press finds the sheet still open for its cable, whatever the
// letter case of the key, and nothing once that sheet has closed.
TEST(OpenSheets, FindsTheOpenSheetOfEachCableAndForgetsClosedOnes) {
  struct Sheet {
    const bool* open;
    int id;
    bool Running() const { return *open; }
  };
  bool open[] = {true, true, true};  // a's sheet, b's, and b's next
  OpenSheets<Sheet> sheets;
  sheets.Add(L"USB\\V\\a", {&open[0], 1});
  sheets.Add(L"USB\\V\\b", {&open[1], 2});
  const auto idOf = [&](std::wstring_view key) {
    const Sheet* sheet = sheets.OpenFor(key);
    return sheet ? sheet->id : 0;
  };
  EXPECT_EQ(idOf(L"USB\\V\\a"), 1);
  EXPECT_EQ(idOf(L"usb\\v\\B"), 2);
  EXPECT_EQ(idOf(L"USB\\V\\c"), 0);
  open[0] = false;
  EXPECT_EQ(idOf(L"USB\\V\\a"), 0);
  open[0] = true;
  EXPECT_EQ(idOf(L"USB\\V\\a"), 0) << "a closed sheet was not forgotten";
  EXPECT_EQ(idOf(L"USB\\V\\b"), 2);
  sheets.Add(L"usb\\v\\b", {&open[2], 3});  // in place of the one for b
  EXPECT_EQ(idOf(L"USB\\V\\b"), 3);
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
