// uvfind: the installed cables on the command line, as the window lists them, or their
// changes as they happen. It reads the registry only, and waits and watches with the
// registry watcher the window uses.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cables/cable_events.h"
#include "cables/cable_passes.h"
#include "cables/cable_rows.h"
#include "platform/text_catalog.h"
#include "platform/win_registry_view.h"
#include "uvfind/cable_output.h"
#include "uvfind/command_line.h"
#include "uvfind/win_console.h"

namespace uvantic {
namespace {

constexpr int kExitSuccess = 0;  // a cable listed, or the help or version shown
constexpr int kExitNoneListed = 1;
constexpr int kExitBadCommandLine = 2;
constexpr int kExitOutputClosed = 1;  // a watch whose reader went away

std::vector<CableRow> Filtered(std::vector<CableRow> cables, bool okOnly) {
  return okOnly ? OkCables(std::move(cables)) : cables;
}

// Reads the list until a cable passes the filter. Nullopt when the time ran out first.
std::optional<std::vector<CableRow>> WaitForCables(const RegistryView& registry, const CommandLine& options) {
  std::optional<std::vector<CableRow>> found;
  RunPasses(registry, options.waitSeconds, nullptr, [&](std::vector<CableRow> cables) {
    cables = Filtered(std::move(cables), options.okOnly);
    if (cables.empty()) return true;
    found = std::move(cables);
    return false;
  });
  return found;
}

int List(const CommandLine& options, const Texts& texts) {
  const WinRegistryView registry;
  std::optional<std::vector<CableRow>> cables;
  if (options.wait) {
    cables = WaitForCables(registry, options);
    if (!cables) return kExitNoneListed;
  } else {
    cables = Filtered(CurrentCables(registry), options.okOnly);
  }
  // Output that did not arrive listed nothing.
  if (!WriteStandard(STD_OUTPUT_HANDLE, FormatCables(*cables, options.format, texts))) return kExitNoneListed;
  return cables->empty() ? kExitNoneListed : kExitSuccess;
}

LocalTime Now() {
  FILETIME utc{};
  GetSystemTimeAsFileTime(&utc);
  FILETIME local = utc;
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME clock{};
  FileTimeToSystemTime(&local, &clock);
  const auto ticks = [](const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  };
  constexpr std::int64_t kTicksPerMinute = 60LL * 10'000'000;
  return {clock.wYear, clock.wMonth, clock.wDay, clock.wHour, clock.wMinute, clock.wSecond, clock.wMilliseconds,
          static_cast<int>((ticks(local) - ticks(utc)) / kTicksPerMinute)};
}

// Every cable as added, then each pass's changes, each line written on its own as soon
// as the pass has seen it. Ctrl+C lets the line being written finish and starts no other.
int Watch(const CommandLine& options, const Texts& texts) {
  const WinRegistryView registry;
  const ConsoleBreak consoleBreak;
  if (!WriteStandard(STD_OUTPUT_HANDLE, EventHeader(options.format, texts))) return kExitOutputClosed;
  std::vector<CableRow> previous;
  bool closed = false;
  RunPasses(registry, options.watchSeconds, consoleBreak.Event(), [&](std::vector<CableRow> cables) {
    const LocalTime time = Now();
    for (const CableChange& change : CompareCables(previous, cables, options.okOnly)) {
      if (consoleBreak.Requested()) return false;
      if (!WriteStandard(STD_OUTPUT_HANDLE, FormatEvent(change, time, options.format, texts))) {
        closed = true;
        return false;
      }
    }
    previous = std::move(cables);
    return true;
  });
  return closed ? kExitOutputClosed : kExitSuccess;
}

int Run(const std::vector<std::wstring>& arguments) {
  const ResourceTexts texts(UserLanguage());
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (parsed.error) {
    WriteStandard(STD_ERROR_HANDLE, ErrorText(parsed, texts) + L"\r\n");
    return kExitBadCommandLine;
  }
  switch (parsed.options.request) {
    case Request::Help: return WriteStandard(STD_OUTPUT_HANDLE, UsageText(texts)) ? kExitSuccess : kExitNoneListed;
    case Request::Version: return WriteStandard(STD_OUTPUT_HANDLE, VersionText()) ? kExitSuccess : kExitNoneListed;
    case Request::List: break;
  }
  return parsed.options.watch ? Watch(parsed.options, texts) : List(parsed.options, texts);
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
