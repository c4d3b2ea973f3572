// Header clicks sort the list: the ascending column turns descending, any other column
// starts ascending; texts compare as text, so COM10 sorts before COM2.
#include "command_scenario.h"

#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

enum Header { kComNumber = 1, kStatus = 2, kCableId = 3 };

// Ports, statuses and identifiers each in a different order, so every sort is seen.
const std::vector<Cable> kCables = {
    {L"7&0000000B&0&0001", L"COM2", CableSetup::Disabled},
    {L"7&0000000A&0&0002", L"COM10", CableSetup::Started},
    {L"7&0000000C&0&0003", L"COM3", CableSetup::Unplugged},
};

class Sorting : public CommandScenario {
 protected:
  Sorting() : CommandScenario(kCables) {}

  void ClickHeader(int header) {
    ClickAt(ListView_GetHeader(controls_.list), HeaderCentre(controls_.list, header));
    // A second click within the double-click time would be a double-click.
    WaitPastDoubleClickTime();
  }
};

using Texts = std::vector<std::wstring>;

TEST_F(Sorting, StartsAscendingByPortNameComparedAsText) {
  EXPECT_EQ(Column(&ListRow::port), (Texts{L"COM10", L"COM2", L"COM3"}));
}

TEST_F(Sorting, FirstClickOnComNumberSortsDescending) {
  ClickHeader(kComNumber);
  EXPECT_EQ(Column(&ListRow::port), (Texts{L"COM3", L"COM2", L"COM10"}));
}

TEST_F(Sorting, ThreeClicksOnStatusGoAscendingDescendingAscending) {
  const Texts ascending{L"Disabled", L"Driver not loaded", L"OK"};
  const Texts descending{L"OK", L"Driver not loaded", L"Disabled"};
  ClickHeader(kStatus);
  EXPECT_EQ(Column(&ListRow::status), ascending);
  ClickHeader(kStatus);
  EXPECT_EQ(Column(&ListRow::status), descending);
  ClickHeader(kStatus);
  EXPECT_EQ(Column(&ListRow::status), ascending);
}

TEST_F(Sorting, AnotherColumnAfterADescendingOneStartsAscending) {
  ClickHeader(kStatus);
  ClickHeader(kStatus);
  ClickHeader(kCableId);
  EXPECT_EQ(Column(&ListRow::cableId), (Texts{L"7&0000000A&0&0", L"7&0000000B&0&0", L"7&0000000C&0&0"}));
  ClickHeader(kComNumber);
  EXPECT_EQ(Column(&ListRow::port), (Texts{L"COM10", L"COM2", L"COM3"}));
}

TEST_F(Sorting, TheSelectedRowStaysSelectedWhereverItMoves) {
  ASSERT_EQ(List().SelectedIndex(), 0);
  ClickHeader(kComNumber);
  const int selected = List().SelectedIndex();
  ASSERT_GE(selected, 0);
  EXPECT_EQ(List().Row(selected).port, L"COM10");
}

}  // namespace
}  // namespace uvantic::e2e
