// Times the refresh pass over the real registry next to a bare loop of the registry
// calls that pass makes, for 16, 256 and 2,000 installed cables of which 16 stand in
// the driver's list: the pass with the in-memory device list, the pass through the
// real window's list view, the same pass when the 16 cables' rows change, painting
// included, and the window's start-up to all rows painted. Prints per-pass medians.
//   refresh_pass_bench                  the table above, on cables it installs itself
//   refresh_pass_bench bare SECONDS     only the bare calls, over the cables installed,
//                                       for a script that counts their CPU time: one
//                                       pass for 0 seconds, at least three otherwise
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_catalog.h"
#include "discovery/device_state.h"
#include "discovery/memory_device_list.h"
#include "discovery/refresh_device_list.h"
#include "platform/handles.h"
#include "platform/win_registry_view.h"
#include "support/registry_writer.h"
#include "support/cable_keys.h"
#include "window/app_help_file.h"
#include "window/frm_main.h"

namespace uvantic {
namespace {

using testing::RegistryWriter;

constexpr int kServed = 16;
constexpr int kSizes[] = {16, 256, 2000};
constexpr int kStartRuns = 3;
constexpr int kChangeRuns = 6;
// Each size is timed for at least kMinRounds rounds, then until the budget is spent.
constexpr std::size_t kMinRounds = 7;
constexpr std::size_t kMaxRounds = 41;
constexpr double kBudgetMs = 8000;
constexpr std::wstring_view kMachineRoot = L"\\HKEY_LOCAL_MACHINE\\";

std::wstring InstanceName(int i) {
  wchar_t name[32];
  std::swprintf(name, std::size(name), L"UV%06X_00", static_cast<unsigned>(i));
  return name;
}

std::wstring InstancePath(int i) { return std::wstring(kInstancePathPrefix) + InstanceName(i); }

// The path below HKEY_LOCAL_MACHINE, for the bare calls.
std::wstring BelowMachine(std::wstring_view fullPath) { return std::wstring(fullPath.substr(kMachineRoot.size())); }

// Cables [from, to): the first kServed are plugged in and served by the driver, the
// others are installed but unplugged (no "Control" key), as on a well-used machine.
void InstallCables(RegistryWriter& reg, int from, int to) {
  for (int i = from; i < to; ++i) {
    testing::InstallCable(reg, {.name = InstanceName(i),
                                .port = L"COM" + std::to_wstring(i + 3),
                                .service = i < kServed ? std::optional(kDriverService) : std::nullopt});
  }
}

void WriteDriverList(RegistryWriter& reg) {
  auto list = reg.key(kDriverListPath);
  for (int i = 0; i < kServed; ++i) list.value(std::to_wstring(i), InstancePath(i));
  list.value(L"Count", static_cast<std::uint32_t>(kServed)).value(L"NextInstance", static_cast<std::uint32_t>(kServed));
}

// The registry calls of one pass, made directly: what the pass cannot do without.
class BareCalls {
 public:
  // names are instance key names below the hardware key.
  BareCalls(const std::vector<std::wstring>& names, bool controlTwice) : controlTwice_(controlTwice) {
    for (const auto& name : names) {
      const std::wstring instancePath = std::wstring(kInstancePathPrefix) + name;
      rows_.push_back({BelowMachine(std::wstring(kDeviceTreePath) + instancePath), instancePath});
    }
  }

  // The names of the instances installed now, as the pass finds them.
  static std::vector<std::wstring> InstalledNames() {
    std::vector<std::wstring> names;
    static const std::wstring path = BelowMachine(kHardwareKeyPath);
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = std::size(name);
      if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    return names;
  }

  // Returns how many instance keys opened and how many the driver serves, so that a
  // wrong path cannot pass for a fast one.
  std::pair<int, int> Pass() const {
    EnumerateHardwareKey();
    int opened = 0;
    int served = 0;
    for (const Row& row : rows_) {
      UniqueHKey instance;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, row.keyPath.c_str(), 0, KEY_READ, instance.put()) != ERROR_SUCCESS) {
        continue;
      }
      ++opened;
      Query(instance.get(), L"ConfigFlags");
      QuerySubkey(instance.get(), L"Device Parameters", {L"PortName"});
      if (controlTwice_) {
        QuerySubkey(instance.get(), L"Control", {L"ActiveService"});
        QuerySubkey(instance.get(), L"Control", {L"DisableCount"});
      } else {
        QuerySubkey(instance.get(), L"Control", {L"ActiveService", L"DisableCount"});
      }
      served += DriverServes(row.instancePath);
    }
    return {opened, served};
  }

 private:
  struct Row {
    std::wstring keyPath;
    std::wstring instancePath;
  };

  static void Query(HKEY key, const wchar_t* name) {
    BYTE data[512];
    DWORD type = 0;
    DWORD size = sizeof(data);
    RegQueryValueExW(key, name, nullptr, &type, data, &size);
  }

  static void QuerySubkey(HKEY parent, const wchar_t* subkey, std::initializer_list<const wchar_t*> names) {
    UniqueHKey key;
    if (RegOpenKeyExW(parent, subkey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    for (const wchar_t* name : names) Query(key.get(), name);
  }

  static void EnumerateHardwareKey() {
    static const std::wstring path = BelowMachine(kHardwareKeyPath);
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = std::size(name);
      if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    }
  }

  static bool DriverServes(const std::wstring& instancePath) {
    static const std::wstring path = BelowMachine(kDriverListPath);
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    wchar_t name[256];
    wchar_t data[256];
    for (DWORD index = 0;; ++index) {
      DWORD nameLength = std::size(name);
      DWORD type = 0;
      DWORD size = sizeof(data);
      if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                        &size) != ERROR_SUCCESS) {
        return false;
      }
      std::wstring_view text(data, size / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
      if (type == REG_SZ && text == instancePath) return true;
    }
  }

  bool controlTwice_;
  std::vector<Row> rows_;
};

class Clock {
 public:
  Clock() { QueryPerformanceFrequency(&frequency_); }
  template <typename Work>
  double Milliseconds(Work&& work) const {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
};

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const std::size_t middle = times.size() / 2;
  return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

// Throws away pending timer ticks, so that only the timed passes run, and handles
// everything else (painting above all).
void DrainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_TIMER || message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The program's window over the real registry, made and shown as the program does it.
class Window {
 public:
  explicit Window(const RegistryView& view) : view_(view) {}

  // Milliseconds from making the window to having it painted with every row.
  double Start(const Clock& clock) {
    window_.reset();
    DrainMessages();
    return clock.Milliseconds([&] {
      window_ = std::make_unique<FrmMain>(GetModuleHandleW(nullptr), view_, helpFile_, texts_);
      if (!window_->Create()) throw std::runtime_error("cannot create the window");
      window_->Show(SW_SHOWNOACTIVATE);
      DrainMessages();
    });
  }

  FrmMain& frm() { return *window_; }
  int RowCount() { return static_cast<int>(SendMessageW(window_->Control(ControlName::lvwList), LVM_GETITEMCOUNT, 0, 0)); }

 private:
  const RegistryView& view_;
  AppHelpFile helpFile_;
  const ResourceTexts texts_{Language::English};
  std::unique_ptr<FrmMain> window_;
};

std::vector<std::wstring> Names(int count) {
  std::vector<std::wstring> names;
  for (int i = 0; i < count; ++i) names.push_back(InstanceName(i));
  return names;
}

int RunTable() {
  RegistryWriter reg;
  WriteDriverList(reg);
  const WinRegistryView view;
  const Clock clock;
  Window window(view);

  std::printf("Refresh pass over the registry, %d cables in the driver list; median per pass, wall time\n", kServed);
  std::printf("bare A: the registry calls with \"Control\" opened for each of its two values\n");
  std::printf("bare B: the same with \"Control\" opened once, as the pass does\n");
  std::printf("memory: the pass with the in-memory list; window: an idle pass of the real window's list view\n");
  std::printf("%d chg: a pass of the window in which the %d plugged-in cables change, painting included\n", kServed,
              kServed);
  std::printf("best: ratio of the fastest rounds, steadier when the machine is busy\n");
  std::printf("start: making and showing the window until painted with all rows (median of %d)\n\n", kStartRuns);
  std::printf("%9s %6s %8s %8s %8s %6s %8s %6s %6s %8s %9s %9s\n", "installed", "rounds", "bare A", "bare B",
              "memory", "vs B", "window", "vs B", "best", "16 chg", "start", "start-B");
  int installed = 0;
  for (const int size : kSizes) {
    InstallCables(reg, installed, size);
    installed = size;

    MemoryDeviceList list;
    const BareCalls bareA(Names(size), true);
    const BareCalls bareB(Names(size), false);
    RefreshDeviceList(list, view);  // adds the rows; later passes find them all
    std::vector<double> starts;
    for (int run = 0; run < kStartRuns; ++run) starts.push_back(window.Start(clock));
    const auto [openedA, servedA] = bareA.Pass();
    const auto [openedB, servedB] = bareB.Pass();
    const auto rows = list.keys();
    const long ok = std::count_if(rows.begin(), rows.end(),
                                  [&](const std::wstring& key) { return list.row(key)->status == CableStatus::Ok; });
    if (static_cast<int>(rows.size()) != size || ok != kServed || openedA != size || servedA != kServed ||
        openedB != size || servedB != kServed || window.RowCount() != size) {
      std::fprintf(stderr, "the registry did not read as written for %d cables\n", size);
      return 1;
    }

    // Rounds interleave the four, in turns, so that changes in the machine's load
    // and the order of calls hit all alike.
    constexpr std::size_t kWorks = 4;
    std::vector<double> times[kWorks];
    const std::function<void()> work[kWorks] = {[&] { RefreshDeviceList(list, view); }, [&] { bareA.Pass(); },
                                                [&] { bareB.Pass(); }, [&] { window.frm().RefreshPass(); }};
    double spent = 0;
    for (std::size_t round = 0; round < kMinRounds || (spent < kBudgetMs && round < kMaxRounds); ++round) {
      for (std::size_t turn = 0; turn < kWorks; ++turn) {
        const std::size_t which = (round + turn) % kWorks;
        times[which].push_back(clock.Milliseconds(work[which]));
        spent += times[which].back();
      }
    }
    const double memoryMs = Median(times[0]);
    const double bareAMs = Median(times[1]);
    const double bareBMs = Median(times[2]);
    const double windowMs = Median(times[3]);
    const double best = *std::min_element(times[3].begin(), times[3].end()) /
                        *std::min_element(times[2].begin(), times[2].end());
    const double startMs = Median(starts);

    // The driver drops its cables and takes them back: every other pass changes the
    // same rows back.
    std::vector<double> changed;
    const HWND listView = window.frm().Control(ControlName::lvwList);
    for (int run = 0; run < kChangeRuns; ++run) {
      if (run % 2 == 0) {
        reg.remove(kDriverListPath);
      } else {
        WriteDriverList(reg);
      }
      changed.push_back(clock.Milliseconds([&] {
        window.frm().RefreshPass();
        UpdateWindow(listView);
      }));
    }
    std::printf("%9d %6zu %8.2f %8.2f %8.2f %5.2fx %8.2f %5.2fx %5.2fx %8.2f %9.1f %9.1f\n", size, times[0].size(),
                bareAMs, bareBMs, memoryMs, memoryMs / bareBMs, windowMs, windowMs / bareBMs, best, Median(changed),
                startMs, startMs - bareBMs);
    std::printf("{\"installed\":%d,\"rounds\":%zu,\"bare_a_ms\":%.2f,\"bare_b_ms\":%.2f,\"memory_ms\":%.2f,"
                "\"window_ms\":%.2f,\"best_ratio\":%.2f,\"changed_ms\":%.2f,\"start_ms\":%.1f}\n",
                size, times[0].size(), bareAMs, bareBMs, memoryMs, windowMs, best, Median(changed), startMs);
  }
  return 0;
}

// Repeats the bare calls over the cables installed now for about seconds; once for 0.
int RunBare(double seconds) {
  const std::size_t leastPasses = seconds > 0 ? 3 : 1;
  const BareCalls bare(BareCalls::InstalledNames(), false);
  const Clock clock;
  std::vector<double> times;
  std::pair<int, int> counts;
  double spent = 0;
  while (spent < seconds * 1000 || times.size() < leastPasses) {
    times.push_back(clock.Milliseconds([&] { counts = bare.Pass(); }));
    spent += times.back();
  }
  const double fastest = *std::min_element(times.begin(), times.end());
  std::printf("bare calls of one pass: %d instances (%d served), %zu passes, median %.2f ms, fastest %.2f ms\n",
              counts.first, counts.second, times.size(), Median(times), fastest);
  std::printf("bare_instances=%d\nbare_served=%d\nbare_passes=%zu\nbare_median_ms=%.2f\nbare_fastest_ms=%.2f\n",
              counts.first, counts.second, times.size(), Median(times), fastest);
  // The process's own CPU time, which a script cannot count from outside: Wine starts
  // the process apart from the command that ran it.
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
    const auto ticks = [](const FILETIME& time) {
      return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    const double cpuMs = (ticks(kernel) + ticks(user)) / 10000.0;
    std::printf("CPU of this process: %.0f ms\nprocess_cpu_ms=%.0f\n", cpuMs, cpuMs);
  }
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.empty()) return RunTable();
  if (args.size() == 2 && args[0] == L"bare") return RunBare(std::stod(args[1]));
  std::fputs("usage: refresh_pass_bench [bare SECONDS]\n", stderr);
  return 2;
}

}  // namespace
}  // namespace uvantic

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::vector<std::wstring> args(argv + 1, argv + count);
  LocalFree(argv);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    return uvantic::Run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
