// The list follows the registry while the window stays open, without any input:
// cables plugged in, unplugged, disabled, given another driver and uninstalled, each
// shown at once; a row changed by another program is put right.
#include "program_scenario.h"

#include <cstdio>
#include <functional>

#include "harness/wait.h"

namespace uvantic::e2e {
namespace {

// The refresh timer ticks every second; a change is to show by the next tick, plus
// the time a pass takes.
constexpr Milliseconds kShownWithin{1500};
// How long to keep looking before reporting how late a change came.
constexpr Milliseconds kGiveUpAfter{6000};

const Cable kFirst{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};
const Cable kSecond{L"7&19F0E2A7&0&0002", L"COM4", CableSetup::Started};

ShownRow Row(const Cable& cable, const wchar_t* status, int image, bool dimmed) {
  return {cable.port, status, CableIdOf(cable.instance), image, dimmed};
}

class LiveRefresh : public ProgramScenario {
 protected:
  // Runs change and checks that the list shows expected within kShownWithin; prints
  // how long it took.
  void ExpectShownInTime(const char* name, const std::function<void()>& change,
                         const std::vector<ShownRow>& expected) {
    change();
    const auto took = TimeUntil([&] { return ShownRows(List()) == expected; }, kGiveUpAfter);
    ASSERT_TRUE(took.has_value()) << "never shown; the list shows " << ::testing::PrintToString(ShownRows(List()))
                                  << "\nexpected " << ::testing::PrintToString(expected);
    EXPECT_LE(took->count(), kShownWithin.count()) << "shown only after " << took->count() << " ms";
    std::printf("[   INFO   ] %s: shown after %ld ms\n", name, static_cast<long>(took->count()));
  }
};

TEST_F(LiveRefresh, FollowsACableThroughItsLifeWithoutInput) {
  registry_.Install(kFirst);
  ASSERT_NO_FATAL_FAILURE(Start());
  const ShownRow firstOk = Row(kFirst, L"OK", kImageNormal, false);
  ASSERT_EQ(ShownRows(List()), std::vector<ShownRow>{firstOk});

  struct Step {
    const char* name;
    std::function<void()> change;
    std::vector<ShownRow> expected;
  };
  const std::wstring second = kSecond.instance;
  const Step steps[] = {
      {"plugged in", [&] { registry_.Install(kSecond); },
       {firstOk, Row(kSecond, L"OK", kImageNormal, false)}},
      {"changed from outside, put right", [&] { List().ChangeRow(1, 1, L"Tampered", kImageDisabled, true); },
       {firstOk, Row(kSecond, L"OK", kImageNormal, false)}},
      {"unplugged", [&] { registry_.Unplug(second); },
       {firstOk, Row(kSecond, L"Driver not loaded", kImageDriverNotLoaded, true)}},
      {"plugged in again", [&] { registry_.Plug(second); }, {firstOk, Row(kSecond, L"OK", kImageNormal, false)}},
      {"disabled", [&] { registry_.Disable(second); },
       {firstOk, Row(kSecond, L"Disabled", kImageDisabled, false)}},
      {"enabled", [&] { registry_.Enable(second); }, {firstOk, Row(kSecond, L"OK", kImageNormal, false)}},
      {"given another driver", [&] { registry_.Rebind(second, kOtherDriverService); },
       {firstOk, Row(kSecond, L"Driver not loaded", kImageDriverNotLoaded, true)}},
      {"given its driver back, then dropped by it", [&] {
         registry_.Rebind(second, kDriverService);
         registry_.Drop(second);
       },
       {firstOk, Row(kSecond, L"Not present", kImageNormal, true)}},
      {"uninstalled", [&] { registry_.Uninstall(second); }, {firstOk}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    ExpectShownInTime(step.name, step.change, step.expected);
    EXPECT_TRUE(IsWindowEnabled(controls_.properties));
  }
  // The row selected at start keeps its selection throughout.
  EXPECT_EQ(List().SelectedIndex(), 0);
}

// Each change shows at once, also when it makes or deletes the very keys the program
// watches: the hardware key and the driver's key come and go with the only cable.
TEST_F(LiveRefresh, ChangesShowAtOnceAlsoOnKeysThatComeAndGo) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::vector<ShownRow> installed{Row(kFirst, L"OK", kImageNormal, false)};
  const auto median = MedianTimeToShow(
      8, [&](int i) { i % 2 == 0 ? registry_.Install(kFirst) : registry_.Clear(); },
      [&](int i) { return ShownRows(List()) == (i % 2 == 0 ? installed : std::vector<ShownRow>{}); });
  ASSERT_TRUE(median.has_value()) << "a change never showed";
  EXPECT_LT(median->count(), kMedianTimeToShow.count());
}

TEST_F(LiveRefresh, LastCableUninstalledDisablesProperties) {
  registry_.Install(kFirst);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(IsWindowEnabled(controls_.properties));
  ExpectShownInTime("last cable uninstalled", [&] { registry_.Uninstall(kFirst.instance); }, {});
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(controls_.properties); }, Milliseconds{500}))
      << "Properties stays enabled over an empty list";
  EXPECT_EQ(List().SelectedIndex(), -1);
}

TEST_F(LiveRefresh, FirstCableInstalledGetsARowButNoSelection) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_FALSE(IsWindowEnabled(controls_.properties));
  ExpectShownInTime("first cable installed", [&] { registry_.Install(kFirst); },
                    {Row(kFirst, L"OK", kImageNormal, false)});
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(controls_.properties) != FALSE; }, Milliseconds{500}))
      << "Properties stays disabled with a row in the list";
  // Only the start selects a row.
  EXPECT_EQ(List().SelectedIndex(), -1);
}

}  // namespace
}  // namespace uvantic::e2e
