// The loop that reads the cables again whenever the registry watcher reports a change,
// and once a minute besides: uvfind's wait and watch, and the notifier.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cables/cable_rows.h"
#include "discovery/change_watch.h"
#include "discovery/registry_view.h"

namespace uvantic {

// The cables now, in the window's order (port names compared as the window's list
// compares them).
std::vector<CableRow> CurrentCables(const RegistryView& registry);

// What else the loop waits for besides the registry. A program with windows passes
// Messages: the loop then also dispatches this thread's window messages between passes
// and ends when it takes WM_QUIT.
enum class PassWake { RegistryOrStop, Messages };

// The list is read again at least this often, in case a change notification never
// comes: a safety net, as the watcher wakes a pass for every change.
inline constexpr std::chrono::seconds kRecheckInterval{60};

// What onPass answers: whether the passes go on, and a time by which it needs the next
// one even if nothing changes (a notification waiting for the cables to settle).
struct NextPass {
  NextPass(bool wanted = true, std::optional<std::chrono::steady_clock::time_point> by = std::nullopt)
      : wanted(wanted), by(by) {}
  bool wanted;
  std::optional<std::chrono::steady_clock::time_point> by;
};

// Reads the list now, again on each change the watcher reports, at the time onPass
// asked for and at least every kRecheckInterval, and hands each pass's rows to onPass
// until it answers false, the seconds (if any) have passed, stop (if any) is set or,
// with PassWake::Messages, WM_QUIT comes. Returns the WM_QUIT exit code when it ended
// on one. The watcher watches the keys named in watched, below HKEY_LOCAL_MACHINE; once
// it has ended, the list is read every kBlindRecheckInterval instead.
std::optional<int> RunPasses(const RegistryView& registry, std::optional<std::uint32_t> seconds, HANDLE stop,
                             const std::function<NextPass(std::vector<CableRow>)>& onPass,
                             PassWake wake = PassWake::RegistryOrStop,
                             std::vector<std::wstring> watched = MachineKeysToWatch());

}  // namespace uvantic
