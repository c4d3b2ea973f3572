// Cables in every status when the program starts: each row's texts, icon and dimmed
// look, the order of the rows, and what is selected and enabled.
#include "program_scenario.h"

#include "harness/scenario_registry.h"

namespace uvantic::e2e {
namespace {

struct CableCase {
  Cable cable;
  bool disabledToo;  // ConfigFlags set on top of the setup
  ShownRow expected;
};

// Listed in the order the rows appear: sorted by port name as text, so COM10 comes
// before COM3. Instance names as Windows gives a composite device's first interface.
const std::vector<CableCase>& Cases() {
  static const std::vector<CableCase> cases = {
      {{L"6&19f0e2a7&0&0000", L"COM10", CableSetup::Started}, false,
       {L"COM10", L"OK", L"6&19f0e2a7&0&0", kImageNormal, false}},
      {{L"6&2d3f0b1a&0&0000", L"COM3", CableSetup::Started}, false,
       {L"COM3", L"OK", L"6&2d3f0b1a&0&0", kImageNormal, false}},
      {{L"6&5d02b7e4&0&0000", L"COM5", CableSetup::Dropped}, false,
       {L"COM5", L"Not present", L"6&5d02b7e4&0&0", kImageNormal, true}},
      // An unplugged cable has no Control key, so no driver is bound to it.
      {{L"6&0c44d1b9&0&0000", L"COM6", CableSetup::Unplugged}, false,
       {L"COM6", L"Driver not loaded", L"6&0c44d1b9&0&0", kImageDriverNotLoaded, true}},
      {{L"6&61a0b3c8&0&0000", L"COM7", CableSetup::Unplugged}, true,
       {L"COM7", L"Driver not loaded", L"6&61a0b3c8&0&0", kImageDisabled, true}},
      {{L"6&3e8a5f12&0&0000", L"COM8", CableSetup::OtherDriver}, false,
       {L"COM8", L"Driver not loaded", L"6&3e8a5f12&0&0", kImageDriverNotLoaded, true}},
      {{L"6&27b6c0de&0&0000", L"COM9", CableSetup::Disabled}, false,
       {L"COM9", L"Disabled", L"6&27b6c0de&0&0", kImageDisabled, false}},
      // The driver's list must name the instance exactly as the registry spells it.
      {{L"6&7c1d9a05&0&0000", L"COM99", CableSetup::Misspelled}, false,
       {L"COM99", L"Not present", L"6&7c1d9a05&0&0", kImageNormal, true}},
  };
  return cases;
}

// The registry as Windows 7 to 11 write it; the older spelling below.
class CablesInEveryStatus : public SharedProgramScenario {
 protected:
  static void SetUpTestSuite() { Start("CablesInEveryStatus", kWindowsHardwareId); }

  static void Start(std::string_view name, std::wstring_view hardwareId) {
    std::vector<Cable> cables;
    // Installed in another order than the rows show, so the list has to sort them.
    for (auto it = Cases().rbegin(); it != Cases().rend(); ++it) cables.push_back(it->cable);
    StartShared(name, cables, 96, hardwareId, [](ScenarioRegistry& registry) {
      for (const auto& c : Cases()) {
        if (c.disabledToo) registry.Disable(c.cable.instance);
      }
    });
  }

  static void ExpectEveryStatusShown() {
    std::vector<ShownRow> expected;
    for (const auto& c : Cases()) expected.push_back(c.expected);
    EXPECT_EQ(ShownRows(List()), expected);
  }
};

class CablesInEveryStatusOnOlderWindows : public CablesInEveryStatus {
 protected:
  static void SetUpTestSuite() { Start("CablesInEveryStatusOnOlderWindows", kOlderWindowsHardwareId); }
};

TEST_F(CablesInEveryStatus, EachRowShowsPortStatusCableIdIconAndDimming) { ExpectEveryStatusShown(); }

TEST_F(CablesInEveryStatusOnOlderWindows, EachRowShowsPortStatusCableIdIconAndDimming) {
  ExpectEveryStatusShown();
}

TEST_F(CablesInEveryStatus, FirstRowInSortOrderIsSelectedAndFocused) {
  const auto rows = List().Rows();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(Narrow(rows.front().port), "COM10");
  EXPECT_TRUE(rows.front().selected);
  EXPECT_TRUE(rows.front().focused);
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_FALSE(rows[i].selected) << "row " << i;
}

TEST_F(CablesInEveryStatus, PropertiesIsEnabledAndFocusIsOnTheList) {
  EXPECT_TRUE(IsWindowEnabled(controls().properties));
  EXPECT_EQ(FocusedWindow(window()), controls().list);
}

TEST_F(CablesInEveryStatus, RowsStayAsTheyAreOverTicksWithoutChanges) {
  const auto before = List().Rows();
  Sleep(1100);  // at least one refresh pass
  EXPECT_EQ(List().Rows(), before);
}

}  // namespace
}  // namespace uvantic::e2e
