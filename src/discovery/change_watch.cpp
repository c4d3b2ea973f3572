// Which registry keys to watch, and when a burst of changes is over.
#include "discovery/change_watch.h"

#include <algorithm>

#include "discovery/device_state.h"

namespace uvantic {
namespace {

constexpr std::wstring_view kMachineRoot = L"\\HKEY_LOCAL_MACHINE\\";

std::wstring BelowMachineRoot(std::wstring_view path) {
  if (path.starts_with(kMachineRoot)) path.remove_prefix(kMachineRoot.size());
  return std::wstring(path);
}

}  // namespace

std::vector<std::wstring> MachineKeysToWatch() {
  return {BelowMachineRoot(kHardwareKeyPath), BelowMachineRoot(kDriverListPath)};
}

std::vector<std::wstring> KeyAndAncestors(std::wstring_view path) {
  std::vector<std::wstring> keys;
  while (!path.empty()) {
    keys.emplace_back(path);
    const std::size_t separator = path.rfind(L'\\');
    path = separator == std::wstring_view::npos ? std::wstring_view() : path.substr(0, separator);
  }
  return keys;
}

bool WatchFiringMatters(std::size_t levelBefore, std::size_t levelAfter) {
  return levelBefore == 0 || levelAfter != levelBefore;
}

bool RestartWatcher(int restartsSoFar, bool wasWatching) {
  return wasWatching && restartsSoFar < kWatcherRestarts;
}

void ChangeBurst::Changed(Clock::time_point now) {
  if (!first_) first_ = now;
  last_ = now;
}

std::optional<std::chrono::milliseconds> ChangeBurst::WaitBeforeReport(Clock::time_point now) const {
  if (!first_) return std::nullopt;
  const Clock::time_point due = std::min(last_ + kQuietTime, *first_ + kLongestWait);
  if (due <= now) return std::chrono::milliseconds{0};
  // Rounded up, so a wait that ends finds the burst due.
  return std::chrono::ceil<std::chrono::milliseconds>(due - now);
}

}  // namespace uvantic
