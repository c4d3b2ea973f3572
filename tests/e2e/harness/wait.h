// Polling waits for the end-to-end tests: each returns as soon as its condition holds,
// so a generous timeout costs nothing when the program is quick.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>

namespace uvantic::e2e {

using Milliseconds = std::chrono::milliseconds;

inline constexpr Milliseconds kDefaultTimeout{10000};
inline constexpr Milliseconds kPollInterval{15};

// How long condition took to become true, or nullopt when it was still false after
// timeout. The condition is checked once more at the deadline.
template <typename Condition>
std::optional<Milliseconds> TimeUntil(Condition&& condition, Milliseconds timeout = kDefaultTimeout) {
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + timeout;
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (condition()) return std::chrono::duration_cast<Milliseconds>(now - start);
    if (now >= deadline) return std::nullopt;
    Sleep(static_cast<DWORD>(kPollInterval.count()));
  }
}

template <typename Condition>
bool WaitUntil(Condition&& condition, Milliseconds timeout = kDefaultTimeout) {
  return TimeUntil(std::forward<Condition>(condition), timeout).has_value();
}

}  // namespace uvantic::e2e
