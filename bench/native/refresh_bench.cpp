// Time of one refresh pass in steady state (the list already filled, nothing changed),
// against the number of installed cable instances, 16 of them served by the driver.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "discovery/device_state.h"
#include "discovery/memory_device_list.h"
#include "discovery/memory_registry.h"
#include "discovery/refresh_device_list.h"
#include "support/cable_keys.h"

namespace uvantic {
namespace {

constexpr int kServed = 16;

std::wstring InstanceName(int i) {
  wchar_t name[32];
  std::swprintf(name, std::size(name), L"6&%08X&0&0000", 0x1A2B0000u + static_cast<unsigned>(i));
  return name;
}

std::wstring InstancePath(int i) { return std::wstring(kInstancePathPrefix) + InstanceName(i); }

// A machine with this many cables installed; the first ones (up to 16) are plugged in
// and served, the rest unplugged. The driver list always has 16 entries, then its
// two counters, as the driver writes them.
void Install(MemoryRegistry& reg, int installed) {
  for (int i = 0; i < installed; ++i) {
    testing::InstallCable(reg, {.name = InstanceName(i),
                                .port = L"COM" + std::to_wstring(i + 3),
                                .service = i < kServed ? std::optional(kDriverService) : std::nullopt});
  }
  auto driverList = reg.key(kDriverListPath);
  for (int i = 0; i < kServed; ++i) {
    // Below 16 installed, the remaining entries name cables served elsewhere.
    driverList.value(std::to_wstring(i), i < installed ? InstancePath(i) : InstancePath(100000 + i));
  }
  driverList.value(L"Count", static_cast<std::uint32_t>(kServed))
      .value(L"NextInstance", static_cast<std::uint32_t>(kServed));
}

void RefreshPass(benchmark::State& state) {
  const int installed = static_cast<int>(state.range(0));
  MemoryRegistry reg;
  Install(reg, installed);
  MemoryDeviceList list;
  RefreshDeviceList(list, reg);  // the first pass adds and fills every row

  for (auto _ : state) {
    benchmark::DoNotOptimize(RefreshDeviceList(list, reg));
  }

  if (list.Count() != static_cast<std::size_t>(installed)) state.SkipWithError("rows missing");
  state.SetComplexityN(installed);
  state.counters["per_instance"] = benchmark::Counter(
      installed, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(RefreshPass)
    ->Arg(1)
    ->Arg(16)
    ->Arg(256)
    ->Arg(1024)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace uvantic
