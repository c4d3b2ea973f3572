// When refresh passes may run: a pass as long as the timer's interval gets a whole
// interval of rest after it, for the timer and for an early pass alike.
#include <gtest/gtest.h>

#include "window/pass_spacing.h"

namespace uvantic {
namespace {

using std::chrono::milliseconds;

TEST(PassSpacing, OnlyAPassAsLongAsTheIntervalRestartsItAndHoldsBackEarlyPasses) {
  struct Case {
    int passMs;
    bool restart;
    int restMs;  // from the pass's end until an early pass may run
  };
  const Case cases[] = {{0, false, 0}, {999, false, 0}, {1000, true, 1000}, {3500, true, 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.passMs);
    PassSpacing spacing(milliseconds(1000));
    const PassSpacing::Clock::time_point began{};
    const auto ended = began + milliseconds(c.passMs);
    EXPECT_EQ(spacing.PassEnded(began, ended), c.restart);
    EXPECT_EQ(spacing.EarlyPassMayRun(ended + milliseconds(c.restMs) - milliseconds(1)), c.restMs == 0);
    EXPECT_TRUE(spacing.EarlyPassMayRun(ended + milliseconds(c.restMs)));
  }
}

}  // namespace
}  // namespace uvantic
