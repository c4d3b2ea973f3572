// The decisions behind watching the registry for changes that a refresh pass would
// see: which keys to watch, which key stands in for one that does not exist yet, and
// when a burst of changes has settled enough to refresh once for all of it.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uvantic {

// The keys a refresh pass reads, each watched with its whole subtree, as paths below
// HKEY_LOCAL_MACHINE: the hardware key and the driver's list of instances.
std::vector<std::wstring> MachineKeysToWatch();

// The key itself first, then each key above it up to the top: where to watch from
// when the key does not exist yet. A watch on a parent sees the key being created.
std::vector<std::wstring> KeyAndAncestors(std::wstring_view path);

// A watch that fired, on the key or on the key above it, is set up again from the
// deepest key that exists. Whether that firing concerns the pass: always when the key
// itself was watched, since a key deleted and made again before the watch is set up
// again leaves it at the same level with other contents; when only a parent was, just
// when the key or a nearer parent has appeared (or the parent went), since nothing
// else below the parent is read.
bool WatchFiringMatters(std::size_t levelBefore, std::size_t levelAfter);

// A watcher whose thread stopped on a fault (an exception, a failed wait) sets its
// watches up again and reports a change, as one may have been missed, this many times
// at most; a watcher that never got as far as watching is not started again. The owner
// of one that has ended reads the registry every kBlindRecheckInterval instead.
inline constexpr int kWatcherRestarts = 3;
inline constexpr std::chrono::seconds kBlindRecheckInterval{1};
bool RestartWatcher(int restartsSoFar, bool wasWatching);

// Gathers change notifications into bursts so that a driver writing twenty values
// gives one refresh: a burst is reported once no change came for kQuietTime, and at
// the latest kLongestWait after its first change, so a steady stream still refreshes.
class ChangeBurst {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuietTime{25};
  static constexpr std::chrono::milliseconds kLongestWait{100};

  void Changed(Clock::time_point now);
  // How long to wait before reporting: nullopt with nothing pending, zero when due.
  std::optional<std::chrono::milliseconds> WaitBeforeReport(Clock::time_point now) const;
  void Reported() { first_.reset(); }

 private:
  std::optional<Clock::time_point> first_;
  Clock::time_point last_{};
};

}  // namespace uvantic
