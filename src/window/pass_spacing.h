// When the refresh passes run: on the timer's ticks, once an interval, and early when
// the registry changed, but never one straight after a pass that took a whole interval.
#pragma once

#include <chrono>
#include <optional>

namespace uvantic {

// A pass that takes the timer's whole interval or longer finds the next tick due as it
// ends; run at once, the passes would follow one another with no time between them for
// the user's input. After such a pass the window gets a whole interval of its own: the
// timer's interval starts again from the pass's end, and a registry change in the
// meantime waits for that tick. Shorter passes keep the timer's rhythm.
class PassSpacing {
 public:
  using Clock = std::chrono::steady_clock;

  explicit PassSpacing(std::chrono::milliseconds interval) : interval_(interval) {}

  // Call when a pass ends. True when the timer's interval is to start again now.
  bool PassEnded(Clock::time_point began, Clock::time_point ended);

  // Whether a pass brought forward by a registry change may run now; when not, the
  // timer's next tick runs it.
  bool EarlyPassMayRun(Clock::time_point now) const { return !restUntil_ || now >= *restUntil_; }

 private:
  std::chrono::milliseconds interval_;
  std::optional<Clock::time_point> restUntil_;  // the end of the interval after a long pass
};

}  // namespace uvantic
