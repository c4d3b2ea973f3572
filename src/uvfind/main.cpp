// uvfind: the installed cables on the command line, as the window lists them. It reads
// the registry only, and waits on the registry watcher the window uses.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "discovery/change_watch.h"
#include "platform/handles.h"
#include "platform/registry_watcher.h"
#include "platform/win_registry_view.h"
#include "uvfind/cable_output.h"
#include "uvfind/cable_rows.h"
#include "uvfind/command_line.h"
#include "uvfind/win_console.h"

namespace uvantic {
namespace {

constexpr int kExitSuccess = 0;  // a cable listed, or the help or version shown
constexpr int kExitNoneListed = 1;
constexpr int kExitBadCommandLine = 2;

// The list is read again at least this often while waiting, in case a change
// notification never comes.
constexpr DWORD kRecheckMilliseconds = 1000;

std::vector<CableRow> CurrentCables(const RegistryView& registry, bool okOnly) {
  // The window's list sorts with lstrcmpW; the same comparison gives the same order.
  std::vector<CableRow> cables =
      ListCables(registry, [](const std::wstring& a, const std::wstring& b) { return lstrcmpW(a.c_str(), b.c_str()); });
  return okOnly ? OkCables(std::move(cables)) : cables;
}

// Reads the list until a cable passes the filter: again on each change the watcher
// reports and at least every second. Nullopt when the time ran out first.
std::optional<std::vector<CableRow>> WaitForCables(const RegistryView& registry, const CommandLine& options) {
  using Clock = std::chrono::steady_clock;
  std::optional<Clock::time_point> deadline;
  if (options.waitSeconds) deadline = Clock::now() + std::chrono::seconds(*options.waitSeconds);

  // A change made before the watcher's thread has armed its keys is seen by the next
  // recheck.
  const UniqueHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  const HANDLE event = changed.get();
  RegistryWatcher watcher(HKEY_LOCAL_MACHINE, MachineKeysToWatch(),
                          [event] { return event != nullptr && SetEvent(event) != FALSE; });
  for (;;) {
    watcher.MessageTaken();
    std::vector<CableRow> cables = CurrentCables(registry, options.okOnly);
    if (!cables.empty()) return cables;
    DWORD timeout = kRecheckMilliseconds;
    if (deadline) {
      const auto now = Clock::now();
      if (now >= *deadline) return std::nullopt;
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count();
      if (left < timeout) timeout = static_cast<DWORD>(left);
    }
    if (event != nullptr) {
      WaitForSingleObject(event, timeout);
    } else {
      Sleep(timeout);
    }
  }
}

int List(const CommandLine& options) {
  const WinRegistryView registry;
  std::optional<std::vector<CableRow>> cables;
  if (options.wait) {
    cables = WaitForCables(registry, options);
    if (!cables) return kExitNoneListed;
  } else {
    cables = CurrentCables(registry, options.okOnly);
  }
  // Output that did not arrive listed nothing.
  if (!WriteStandard(STD_OUTPUT_HANDLE, FormatCables(*cables, options.format))) return kExitNoneListed;
  return cables->empty() ? kExitNoneListed : kExitSuccess;
}

int Run(const std::vector<std::wstring>& arguments) {
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (!parsed.error.empty()) {
    WriteStandard(STD_ERROR_HANDLE, parsed.error + L"\r\n");
    return kExitBadCommandLine;
  }
  switch (parsed.options.request) {
    case Request::Help: return WriteStandard(STD_OUTPUT_HANDLE, UsageText()) ? kExitSuccess : kExitNoneListed;
    case Request::Version: return WriteStandard(STD_OUTPUT_HANDLE, VersionText()) ? kExitSuccess : kExitNoneListed;
    case Request::List: break;
  }
  return List(parsed.options);
}

}  // namespace
}  // namespace uvantic

int wmain(int argc, wchar_t** argv) {
  try {
    return uvantic::Run(std::vector<std::wstring>(argv + 1, argv + argc));
  } catch (...) {
    // Out of memory: nothing was listed.
    return 1;
  }
}
