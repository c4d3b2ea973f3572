// Measures how long a registry change takes to show in the running program: a cable
// installed or uninstalled at a random moment of the refresh timer's second, timed from
// the first registry write to the row shown (or gone), and in the same trials to the
// line of "uvfind --watch --json" running beside it, when uvfind.exe is there. Prints
// the median and the worst of each. With --notifier, times the same changes to the
// notifier's pass: to its icon's tooltip, set just before a ready cable's notification.
//   uvantic_latency PROGRAM.exe TRIALS
//   uvantic_latency --notifier NOTIFIER.exe TRIALS
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "harness/console_program.h"
#include "harness/list_view_probe.h"
#include "harness/notification_area.h"
#include "harness/running_program.h"
#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/wait.h"

namespace {

using namespace uvantic::e2e;
using Clock = std::chrono::steady_clock;

const Cable kResident{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};
const Cable kComing{L"7&19F0E2A7&0&0002", L"COM4", CableSetup::Started};

// The coming cable's row as the user sees it once its pass ran: port and status.
bool ComingCableShown(const ListViewProbe& list) {
  const int count = list.ItemCount();
  for (int item = 0; item < count; ++item) {
    if (list.ItemText(item, 0) == kComing.port && list.ItemText(item, 1) == L"OK") return true;
  }
  return false;
}

double ElapsedMs(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// Also as name=value lines, each name led by keyPrefix and the kind of change.
void PrintTimes(const char* keyPrefix, const char* what, std::vector<double> times) {
  if (times.empty()) return;
  std::sort(times.begin(), times.end());
  const std::size_t n = times.size();
  const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
  std::printf("%-12s median %6.1f ms, worst %6.1f ms, best %5.1f ms over %zu trials\n", what, median, times.back(),
              times.front(), n);
  const std::string key = keyPrefix + std::string(what, std::strcspn(what, ":"));
  std::printf("%s_median_ms=%.1f\n%s_worst_ms=%.1f\n%s_best_ms=%.1f\n%s_trials=%zu\n", key.c_str(), median,
              key.c_str(), times.back(), key.c_str(), times.front(), key.c_str(), n);
}

// The times one view of the change took, by kind of change.
struct Times {
  std::vector<double> installed, uninstalled;

  void Print(const char* keyPrefix, const char* what) const {
    std::printf("%s\n", what);
    PrintTimes(keyPrefix, "installed:", installed);
    PrintTimes(keyPrefix, "uninstalled:", uninstalled);
    std::vector<double> all = installed;
    all.insert(all.end(), uninstalled.begin(), uninstalled.end());
    PrintTimes(keyPrefix, "all:", all);
  }
};

int Run(const std::wstring& program, int trials) {
  ScenarioRegistry registry;
  registry.Clear();
  registry.Install(kResident);
  RunningProgram running(program);
  const HWND list = FindControls(running.window()).list;
  if (!list) throw std::runtime_error("the window has no list view");
  const ListViewProbe probe(list);
  std::optional<ConsoleProgram> watch;
  if (FileExists(program.substr(0, program.find_last_of(L'\\')) + L"\\uvfind.exe")) {
    watch.emplace(L"--watch --json", program);
    if (!watch->ReadLine(std::chrono::seconds(5))) throw std::runtime_error("uvfind --watch listed nothing");
  }

  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<DWORD> moment(0, 999);
  Times window, watched;
  for (int i = 0; i < trials; ++i) {
    Sleep(moment(random));
    while (watch && watch->ReadLine(Milliseconds{0})) continue;  // lines of earlier passes
    const bool add = i % 2 == 0;
    const char* const event = add ? "\"event\": \"added\"" : "\"event\": \"removed\"";
    const auto start = Clock::now();
    if (add) {
      registry.Install(kComing);
    } else {
      registry.Uninstall(kComing.instance);
    }
    std::optional<double> shown, line;
    while (!shown || (watch && !line)) {
      if (Clock::now() - start > std::chrono::seconds(5)) throw std::runtime_error("a change never showed");
      if (!shown && (add ? ComingCableShown(probe) : probe.ItemCount() == 1)) {
        shown = ElapsedMs(Clock::now() - start);
      }
      if (watch && !line) {
        const auto text = watch->ReadLine(Milliseconds{0});
        if (text && text->find(event) != std::string::npos) line = ElapsedMs(Clock::now() - start);
      }
      Sleep(1);
    }
    (add ? window.installed : window.uninstalled).push_back(*shown);
    if (line) (add ? watched.installed : watched.uninstalled).push_back(*line);
  }
  running.Close();
  registry.Clear();

  window.Print("window_", "window, to the row shown:");
  if (watch) watched.Print("watch_", "uvfind --watch, to its event line:");
  return 0;
}

int RunNotifier(const std::wstring& notifier, int trials) {
  ScenarioRegistry registry;
  registry.Clear();
  registry.Install(kResident);
  const StartedProcess process = StartProcess(notifier);
  if (!WaitUntil([] { return NotificationAreaIcons().size() == 1; })) throw std::runtime_error("no icon was added");
  const HWND icon = NotificationAreaIcons().front();
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<DWORD> moment(0, 999);
  Times times;
  for (int i = 0; i < trials; ++i) {
    Sleep(moment(random));
    const bool add = i % 2 == 0;
    const std::wstring tooltip = add ? L"Uvantic Finder: 2 cables, 2 OK" : L"Uvantic Finder: 1 cable, 1 OK";
    const auto start = Clock::now();
    add ? registry.Install(kComing) : registry.Uninstall(kComing.instance);
    while (IconTooltip(icon) != tooltip) {
      if (Clock::now() - start > std::chrono::seconds(5)) throw std::runtime_error("a change never showed");
      Sleep(1);
    }
    (add ? times.installed : times.uninstalled).push_back(ElapsedMs(Clock::now() - start));
  }
  TerminateProcess(process.handle.get(), 0);
  registry.Clear();
  times.Print("notifier_", "notifier, to its pass (installed: the notification call):");
  return 0;
}

}  // namespace

int main() {
  const auto args = CommandLineArguments();
  if (args.size() == 3 && args[0] == L"--notifier") {
    return RunTool("uvantic_latency", [&] { return RunNotifier(WindowsPath(args[1]), std::stoi(args[2])); });
  }
  if (args.size() != 2) {
    std::fputs("usage: uvantic_latency [--notifier] PROGRAM.exe TRIALS\n", stderr);
    return 2;
  }
  return RunTool("uvantic_latency", [&] { return Run(WindowsPath(args[0]), std::stoi(args[1])); });
}
