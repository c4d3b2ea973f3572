// When refresh passes may run: a pass as long as the timer's interval gets a whole
// interval of rest after it, for the timer and for an early pass alike.
#include <gtest/gtest.h>

#include "window/pass_spacing.h"

namespace uvantic {
namespace {

using std::chrono::milliseconds;

TEST(PassSpacing, APassAsLongAsTheIntervalRestartsItAndHoldsBackEarlyPassesForAWholeInterval) {
  for (const int passMs : {0, 999, 1000, 3500}) {
    SCOPED_TRACE(passMs);
    const bool outlasts = passMs >= 1000;
    PassSpacing spacing(milliseconds(1000));
    const auto ended = PassSpacing::Clock::time_point{} + milliseconds(passMs);
    EXPECT_EQ(spacing.PassEnded(PassSpacing::Clock::time_point{}, ended), outlasts);
    EXPECT_EQ(spacing.EarlyPassMayRun(ended + milliseconds(999)), !outlasts);
    EXPECT_TRUE(spacing.EarlyPassMayRun(ended + milliseconds(1000)));
  }
}

}  // namespace
}  // namespace uvantic
