// Times one refresh pass over the real registry, with the in-memory device list, next
// to a bare loop of the registry calls that pass makes, for 16, 256 and 1024
// installed cables of which 16 stand in the driver's list. Prints per-pass medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "discovery/device_state.h"
#include "discovery/memory_device_list.h"
#include "discovery/refresh_device_list.h"
#include "platform/handles.h"
#include "platform/win_registry_view.h"
#include "registry_writer.h"

namespace uvantic {
namespace {

using testing::RegistryWriter;

constexpr int kServed = 16;
constexpr int kSizes[] = {16, 256, 1024};
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
std::wstring InstanceKeyPath(int i) { return std::wstring(kDeviceTreePath) + InstancePath(i); }

// The path below HKEY_LOCAL_MACHINE, for the bare calls.
std::wstring BelowMachine(std::wstring_view fullPath) { return std::wstring(fullPath.substr(kMachineRoot.size())); }

// Cables [from, to): the first kServed are plugged in and served by the driver, the
// others are installed but unplugged (no "Control" key), as on a well-used machine.
void InstallCables(RegistryWriter& reg, int from, int to) {
  for (int i = from; i < to; ++i) {
    auto instance = reg.key(InstanceKeyPath(i));
    instance.value(L"ConfigFlags", 0u).key(L"Device Parameters").value(L"PortName", L"COM" + std::to_wstring(i + 3));
    if (i < kServed) instance.key(L"Control").value(L"ActiveService", L"slabser").value(L"DisableCount", 0u);
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
  BareCalls(int instances, bool controlTwice) : controlTwice_(controlTwice) {
    for (int i = 0; i < instances; ++i) rows_.push_back({BelowMachine(InstanceKeyPath(i)), InstancePath(i)});
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

int Run() {
  RegistryWriter reg;
  WriteDriverList(reg);
  const WinRegistryView view;
  const Clock clock;

  std::printf("Refresh pass over the registry, %d cables in the driver list; median per pass\n", kServed);
  std::printf("bare A: the registry calls with \"Control\" opened for each of its two values\n");
  std::printf("bare B: the same with \"Control\" opened once, as the pass does\n");
  std::printf("best: ratio of the fastest rounds, steadier when the machine is busy\n\n");
  std::printf("%9s %6s %9s %9s %9s %7s %7s %7s %9s\n", "installed", "rounds", "pass ms", "bare A", "bare B",
              "vs A", "vs B", "best B", "us/cable");
  int installed = 0;
  for (const int size : kSizes) {
    InstallCables(reg, installed, size);
    installed = size;

    MemoryDeviceList list;
    list.recordWrites(false);
    const BareCalls bareA(size, true);
    const BareCalls bareB(size, false);
    RefreshDeviceList(list, view);  // adds the rows; later passes find them all
    const auto [openedA, servedA] = bareA.Pass();
    const auto [openedB, servedB] = bareB.Pass();
    const auto rows = list.keys();
    const long ok = std::count_if(rows.begin(), rows.end(),
                                  [&](const std::wstring& key) { return list.row(key)->cell(Cell::Status) == kStatusOk; });
    if (static_cast<int>(rows.size()) != size || ok != kServed || openedA != size || servedA != kServed ||
        openedB != size || servedB != kServed) {
      std::fprintf(stderr, "the registry did not read as written for %d cables\n", size);
      return 1;
    }

    // Rounds interleave the three, in turns, so that changes in the machine's load
    // and the order of calls hit all alike.
    std::vector<double> times[3];
    const std::function<void()> work[3] = {[&] { RefreshDeviceList(list, view); }, [&] { bareA.Pass(); },
                                           [&] { bareB.Pass(); }};
    double spent = 0;
    for (std::size_t round = 0; round < kMinRounds || (spent < kBudgetMs && round < kMaxRounds); ++round) {
      for (std::size_t turn = 0; turn < 3; ++turn) {
        const std::size_t which = (round + turn) % 3;
        times[which].push_back(clock.Milliseconds(work[which]));
        spent += times[which].back();
      }
    }
    const auto& pass = times[0];
    const double passMs = Median(pass);
    const double bareAMs = Median(times[1]);
    const double bareBMs = Median(times[2]);
    const double best =
        *std::min_element(pass.begin(), pass.end()) / *std::min_element(times[2].begin(), times[2].end());
    std::printf("%9d %6zu %9.2f %9.2f %9.2f %6.2fx %6.2fx %6.2fx %9.1f\n", size, pass.size(), passMs, bareAMs,
                bareBMs, passMs / bareAMs, passMs / bareBMs, best, passMs * 1000.0 / size);
  }
  return 0;
}

}  // namespace
}  // namespace uvantic

int main() {
  try {
    return uvantic::Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
