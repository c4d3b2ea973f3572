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
// before COM3.
const std::vector<CableCase>& Cases() {
  static const std::vector<CableCase> cases = {
      {{L"7&19F0E2A7&0&0002", L"COM10", CableSetup::Started}, false,
       {L"COM10", L"OK", L"7&19F0E2A7&0&0", kImageNormal, false}},
      {{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started}, false,
       {L"COM3", L"OK", L"7&2A1B3C4D&0&0", kImageNormal, false}},
      {{L"7&5D02B7E4&0&0006", L"COM5", CableSetup::Dropped}, false,
       {L"COM5", L"Not present", L"7&5D02B7E4&0&0", kImageNormal, true}},
      // An unplugged cable has no Control key, so no driver is bound to it.
      {{L"7&0C44D1B9&0&0003", L"COM6", CableSetup::Unplugged}, false,
       {L"COM6", L"Driver not loaded", L"7&0C44D1B9&0&0", kImageDriverNotLoaded, true}},
      {{L"7&61A0B3C8&0&0007", L"COM7", CableSetup::Unplugged}, true,
       {L"COM7", L"Driver not loaded", L"7&61A0B3C8&0&0", kImageDisabled, true}},
      {{L"7&3E8A5F12&0&0004", L"COM8", CableSetup::OtherDriver}, false,
       {L"COM8", L"Driver not loaded", L"7&3E8A5F12&0&0", kImageDriverNotLoaded, true}},
      {{L"7&27B6C0DE&0&0005", L"COM9", CableSetup::Disabled}, false,
       {L"COM9", L"Disabled", L"7&27B6C0DE&0&0", kImageDisabled, false}},
  };
  return cases;
}

class CablesInEveryStatus : public SharedProgramScenario {
 protected:
  static void SetUpTestSuite() {
    std::vector<Cable> cables;
    // Installed in another order than the rows show, so the list has to sort them.
    for (auto it = Cases().rbegin(); it != Cases().rend(); ++it) cables.push_back(it->cable);
    StartShared("CablesInEveryStatus", cables, 96, [](ScenarioRegistry& registry) {
      for (const auto& c : Cases()) {
        if (c.disabledToo) registry.Disable(c.cable.instance);
      }
    });
  }
};

TEST_F(CablesInEveryStatus, EachRowShowsPortStatusCableIdIconAndDimming) {
  std::vector<ShownRow> expected;
  for (const auto& c : Cases()) expected.push_back(c.expected);
  EXPECT_EQ(ShownRows(List()), expected);
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
