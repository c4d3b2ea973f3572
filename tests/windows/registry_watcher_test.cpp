// The registry watcher against real keys: one message for a burst of writes, keys that
// appear later or are deleted and made again, and changes beside a missing key that do
// not count.
#include "platform/registry_watcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "discovery/change_watch.h"
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

  // The messages that arrive within ms, each taken as the window takes it.
  int Messages(DWORD ms) {
    int count = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      MSG message;
      while (PeekMessageW(&message, window_, kChanged, kChanged, PM_REMOVE)) {
        ++count;
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

}  // namespace
}  // namespace uvantic
