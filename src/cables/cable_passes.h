// The loop that reads the cables again whenever the registry watcher reports a change,
// and at least once a second besides: uvfind's wait and watch, and the notifier.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "cables/cable_rows.h"
#include "discovery/registry_view.h"

namespace uvantic {

// The cables now, in the window's order (port names compared as the window's list
// compares them).
std::vector<CableRow> CurrentCables(const RegistryView& registry);

// What else the loop waits for besides the registry. A program with windows passes
// Messages: the loop then also dispatches this thread's window messages between passes
// and ends when it takes WM_QUIT.
enum class PassWake { RegistryOrStop, Messages };

// Reads the list now, again on each change the watcher reports and at least every
// second, and hands each pass's rows to onPass until it returns false, the seconds
// (if any) have passed, stop (if any) is set or, with PassWake::Messages, WM_QUIT
// comes. Returns the WM_QUIT exit code when it ended on one.
std::optional<int> RunPasses(const RegistryView& registry, std::optional<std::uint32_t> seconds, HANDLE stop,
                             const std::function<bool(std::vector<CableRow>)>& onPass,
                             PassWake wake = PassWake::RegistryOrStop);

}  // namespace uvantic
