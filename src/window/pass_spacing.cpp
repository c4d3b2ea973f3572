// The spacing of refresh passes.
#include "window/pass_spacing.h"

namespace uvantic {

bool PassSpacing::PassEnded(Clock::time_point began, Clock::time_point ended) {
  if (ended - began < interval_) return false;
  restUntil_ = ended + interval_;
  return true;
}

}  // namespace uvantic
