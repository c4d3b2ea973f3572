// Watching the registry: where a missing key is watched from, and how a burst of
// changes becomes one refresh.
#include <gtest/gtest.h>

#include <vector>

#include "discovery/change_watch.h"

namespace uvantic {
namespace {

using std::chrono::milliseconds;

TEST(ChangeWatch, AMissingKeyIsWatchedFromEachParentInTurnAndOnlyItsMovesMatter) {
  EXPECT_EQ(KeyAndAncestors(L"SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum"),
            (std::vector<std::wstring>{L"SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum",
                                       L"SYSTEM\\CurrentControlSet\\Services\\slabser",
                                       L"SYSTEM\\CurrentControlSet\\Services", L"SYSTEM\\CurrentControlSet",
                                       L"SYSTEM"}));
  // A firing is acted on when the key itself was watched (level 0), or when the deepest
  // existing key, watched in its place, has moved: the key or a nearer parent appeared,
  // or the parent went.
  const struct {
    std::size_t before, after;
    bool matters;
  } firings[] = {{0, 0, true}, {0, 1, true}, {2, 2, false}, {2, 1, true}, {2, 0, true}, {1, 2, true}};
  for (const auto& f : firings) {
    EXPECT_EQ(WatchFiringMatters(f.before, f.after), f.matters) << f.before << " -> " << f.after;
  }
}

// Changes at the given times (ms after the start); the burst is due when it is.
TEST(ChangeWatch, ABurstIsReportedOnceQuietOrAtTheLatestAfterTheLongestWait) {
  const struct {
    const char* name;
    std::vector<int> changes;
    int dueAt;
  } cases[] = {
      {"one change", {0}, 25},
      {"a burst of writes 5 ms apart", {0, 5, 10, 15, 20}, 45},
      {"a steady stream", {0, 20, 40, 60, 80, 100, 120}, 100},
  };
  for (const auto& c : cases) {
    const auto start = ChangeBurst::Clock::time_point{} + std::chrono::hours(1);
    ChangeBurst burst;
    EXPECT_EQ(burst.WaitBeforeReport(start), std::nullopt) << c.name;
    int dueAt = -1;
    std::size_t next = 0;
    for (int t = 0; t <= 200 && dueAt < 0; ++t) {
      const auto now = start + milliseconds(t);
      while (next < c.changes.size() && c.changes[next] == t) burst.Changed(start + milliseconds(c.changes[next++]));
      const auto wait = burst.WaitBeforeReport(now);
      if (wait && *wait == milliseconds{0}) dueAt = t;
    }
    EXPECT_EQ(dueAt, c.dueAt) << c.name;
    burst.Reported();
    EXPECT_EQ(burst.WaitBeforeReport(start + milliseconds(300)), std::nullopt) << c.name;
  }
}

}  // namespace
}  // namespace uvantic
