// The registry watcher against real keys: one message for a burst of writes, keys that
// appear later or are deleted and made again, and changes beside a missing key that do
// not count.
#include "platform/registry_watcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cables/cable_passes.h"
#include "discovery/change_watch.h"
#include "platform/win_registry_view.h"
#include "support/registry_writer.h"

namespace uvantic {
namespace {

using testing::RegistryWriter;

constexpr UINT kChanged = WM_APP + 7;
constexpr wchar_t kWatchedBelowMachine[] = L"SOFTWARE\\Uvantic Watch Tests\\Device\\Enum";
constexpr std::wstring_view kWatched = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Watch Tests\\Device\\Enum";
constexpr std::wstring_view kBeside = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Watch Tests\\Other";
constexpr std::wstring_view kTop = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Watch Tests";

class RegistryWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reg_.remove(kTop);
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    watcher_.reset();
    DestroyWindow(window_);
    reg_.remove(kTop);
  }

  void Watch() {
    watcher_ = std::make_unique<RegistryWatcher>(HKEY_LOCAL_MACHINE, std::vector<std::wstring>{kWatchedBelowMachine},
                                                 window_, kChanged);
    Messages(300);  // lets the thread set its watches up
  }
  // A watcher whose reports throw the first failures times.
  void WatchFailing(int failures) {
    watcher_ = std::make_unique<RegistryWatcher>(
        HKEY_LOCAL_MACHINE, std::vector<std::wstring>{kWatchedBelowMachine}, [this, failures]() mutable {
          if (failures-- > 0) throw std::runtime_error("report failed");
          return PostMessageW(window_, kChanged, 0, 0) != FALSE;
        });
    Messages(300);
  }

  // The messages that arrive within ms, each taken as the window takes it; once one has
  // come, those that come within afterFirst more.
  int Messages(DWORD ms, DWORD afterFirst = INFINITE) {
    int count = 0;
    const DWORD start = GetTickCount();
    DWORD first = 0;
    while (GetTickCount() - start < ms && (count == 0 || GetTickCount() - first < afterFirst)) {
      MSG message;
      while (PeekMessageW(&message, window_, kChanged, kChanged, PM_REMOVE)) {
        if (count++ == 0) first = GetTickCount();
        watcher_->ChangeTaken();
      }
      Sleep(5);
    }
    return count;
  }

  RegistryWriter reg_;
  HWND window_ = nullptr;
  std::unique_ptr<RegistryWatcher> watcher_;
};

TEST_F(RegistryWatcherTest, ABurstOfWritesPostsOneMessage) {
  reg_.key(kWatched);
  ASSERT_NO_FATAL_FAILURE(Watch());
  // As a driver installing a device writes: a few dozen values in quick succession.
  auto instance = reg_.key(kWatched).key(L"Instance");
  const DWORD start = GetTickCount();
  for (std::uint32_t i = 0; i < 30; ++i) instance.value(L"Value" + std::to_wstring(i), i);
  const DWORD took = GetTickCount() - start;
  // One message; a burst drawn out by a slow machine may give one more per longest wait.
  const int messages = Messages(600);
  EXPECT_GE(messages, 1);
  EXPECT_LE(messages, 1 + static_cast<int>(took / ChangeBurst::kLongestWait.count()))
      << "30 writes in " << took << " ms";
  reg_.key(kWatched).value(L"Count", 1u);
  EXPECT_EQ(Messages(600), 1) << "the watch was not set again after it fired";
}

TEST_F(RegistryWatcherTest, AKeyThatAppearsLaterOrIsMadeAgainIsWatched) {
  reg_.key(kTop);
  ASSERT_NO_FATAL_FAILURE(Watch());
  reg_.key(kBeside).value(L"Noise", 1u);
  EXPECT_EQ(Messages(400), 0) << "a change beside the missing key counted";
  const struct {
    const char* step;
    std::function<void()> change;
  } steps[] = {
      {"made", [&] { reg_.key(kWatched); }},
      {"written", [&] { reg_.key(kWatched).value(L"0", L"USB\\1"); }},
      {"deleted with its parents", [&] { reg_.remove(kTop); }},
      {"made again", [&] { reg_.key(kWatched).value(L"0", L"USB\\2"); }},
      {"written again", [&] { reg_.key(kWatched).key(L"Sub").value(L"1", 1u); }},
  };
  for (const auto& step : steps) {
    step.change();
    EXPECT_EQ(Messages(400), 1) << step.step;
  }
}

// A key deleted and made again before the watcher has set its watches up again, and
// a key deleted with its parents one key after the other, race the watcher's setting up
// again after the first firing; each is done many times, and every time must be seen.
TEST_F(RegistryWatcherTest, AKeyDeletedAndMadeAgainInQuickSuccessionIsSeenEachTime) {
  const struct {
    const char* name;
    int times;
    std::vector<std::function<void()>> changes;
  } cycles[] = {
      {"the driver's list deleted and made again at once", 5,
       {[&] {
         reg_.remove(kWatched);
         reg_.key(kWatched).value(L"0", L"USB\\1");
       }}},
      {"deleted with its parents, then made again", 40,
       {[&] { reg_.remove(kTop); }, [&] { reg_.key(kWatched).value(L"0", L"USB\\2"); }}},
  };
  for (const auto& cycle : cycles) {
    reg_.key(kWatched).value(L"0", L"USB\\0");
    ASSERT_NO_FATAL_FAILURE(Watch());
    for (int time = 0; time < cycle.times; ++time) {
      for (const auto& change : cycle.changes) {
        change();
        ASSERT_EQ(Messages(400, 30), 1) << cycle.name << ", time " << time;
      }
    }
  }
}

// A watcher whose thread stops is started again and reports a change, as it may have
// missed one; one that stops each time ends, and the passes then read every second.
TEST_F(RegistryWatcherTest, AWatcherThatStopsIsStartedAgainOrHandsOverToTheShortRecheck) {
  reg_.key(kWatched);
  const struct {
    const char* name;
    int failures;
    bool watching;
  } watchers[] = {{"one fault", 1, true}, {"a fault each time", 1000, false}};
  for (const auto& w : watchers) {
    ASSERT_NO_FATAL_FAILURE(WatchFailing(w.failures));
    reg_.key(kWatched).value(L"Count", 1u);
    EXPECT_EQ(Messages(600), w.watching ? 1 : 0) << w.name;
    EXPECT_EQ(watcher_->Watching(), w.watching) << w.name;
    reg_.key(kWatched).value(L"Count", 2u);
    EXPECT_EQ(Messages(400), w.watching ? 1 : 0) << w.name;
  }
  // More keys than one thread can wait for: each wait fails.
  std::vector<std::wstring> tooMany;
  for (int i = 0; i < MAXIMUM_WAIT_OBJECTS; ++i) tooMany.push_back(L"SOFTWARE\\Missing " + std::to_wstring(i));
  const struct {
    const char* name;
    std::vector<std::wstring> watched;
    int fewest, most;
  } loops[] = {{"watching", {kWatchedBelowMachine}, 2, 2}, {"its watcher ended", tooMany, 4, 6}};
  for (const auto& loop : loops) {
    int passes = 0;
    RunPasses(
        WinRegistryView(), 3, nullptr,
        [&](std::vector<CableRow>) {
          ++passes;
          return NextPass();
        },
        PassWake::RegistryOrStop, loop.watched);
    EXPECT_GE(passes, loop.fewest) << loop.name;
    EXPECT_LE(passes, loop.most) << loop.name;
  }
}

}  // namespace
}  // namespace uvantic
