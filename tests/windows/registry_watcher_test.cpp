// The registry watcher against real keys: one message for a burst of writes, keys that
// appear later or are deleted and made again, changes beside a missing key that do not
// count, and a watcher that stops; and the passes it wakes.
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

  // With changed, a watcher that reports through it rather than by a message.
  void Watch(std::function<bool()> changed = nullptr) {
    const std::vector<std::wstring> paths{kWatchedBelowMachine};
    watcher_ = changed ? std::make_unique<RegistryWatcher>(HKEY_LOCAL_MACHINE, paths, changed)
                       : std::make_unique<RegistryWatcher>(HKEY_LOCAL_MACHINE, paths, window_, kChanged);
    Messages(300);  // lets the thread set its watches up
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
      // Both before the watcher has set its watches up again, with no subkey whose
      // deletion would fire the key's own watch.
      {"deleted and made again at once", [&] { reg_.remove(kWatched), reg_.key(kWatched).value(L"0", L"USB\\2"); }},
      {"written below", [&] { reg_.key(kWatched).key(L"Sub").value(L"1", 1u); }},
      {"deleted with its parents, one key after the other", [&] { reg_.remove(kTop); }},
  };
  // Each round races the watcher's setting its watches up again after a deletion.
  for (int round = 0; round < 25; ++round) {
    for (const auto& step : steps) {
      step.change();
      ASSERT_EQ(Messages(400, 30), 1) << step.step << ", round " << round;
    }
  }
}

// A watcher whose thread stops is started again and reports a change, as it may have
// missed one; one that stops each time ends, and the passes then come every second.
TEST_F(RegistryWatcherTest, AWatcherThatStopsIsStartedAgainOrHandsOverToTheShortRecheck) {
  reg_.key(kWatched);
  for (const int failures : {1, 1000}) {
    const bool again = failures == 1;
    ASSERT_NO_FATAL_FAILURE(Watch([this, left = failures]() mutable {
      if (left-- > 0) throw std::runtime_error("report failed");
      return PostMessageW(window_, kChanged, 0, 0) != FALSE;
    }));
    for (const std::uint32_t count : {1u, 2u}) {
      reg_.key(kWatched).value(L"Count", count);
      EXPECT_EQ(Messages(600), again ? 1 : 0) << failures << " failures, write " << count;
    }
    EXPECT_EQ(watcher_->Watching(), again) << failures << " failures";
  }
  // Each wait fails: one thread cannot wait for that many keys.
  const std::vector<std::wstring> tooMany(MAXIMUM_WAIT_OBJECTS, L"SOFTWARE\\Missing");
  for (const bool ended : {false, true}) {
    int passes = 0;
    const auto onPass = [&](std::vector<CableRow>) { return ++passes, NextPass(); };
    RunPasses(WinRegistryView(), 3, nullptr, onPass, PassWake::RegistryOrStop,
              ended ? tooMany : std::vector<std::wstring>{kWatchedBelowMachine});
    EXPECT_TRUE(ended ? passes >= 4 : passes == 2) << passes << " passes in 3 s, the watcher ended: " << ended;
  }
}

}  // namespace
}  // namespace uvantic
