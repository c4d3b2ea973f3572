// Which screen resolution a window is laid out at, decided from the readings the
// system offers. Portable, so that the order of preference is unit-tested.
#pragma once

#include <functional>
#include <optional>

namespace uvantic {

// The resolution the window's twips were designed for: 15 twips per pixel.
inline constexpr int kDesignDpi = 96;

// One screen resolution as the system reports it: nullopt where the system lacks the
// function or the call failed.
using DpiReading = std::function<std::optional<int>()>;

// The resolution to lay the window out at: the window's own, else that of the monitor
// it is on (systems before per-window resolution, which still scale per monitor),
// else the system's, else the design resolution. Only a positive reading counts, and
// a reading is taken only when those before it gave none.
int ChooseWindowDpi(const DpiReading& window, const DpiReading& monitor, const DpiReading& system);

}  // namespace uvantic
