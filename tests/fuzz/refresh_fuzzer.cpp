// Fuzzes the refresh pass: the input builds a registry in the in-memory registry and
// changes it between passes, hostile shapes included (names that differ only in
// letter case, empty and odd names, wrong types, huge and empty texts, missing keys,
// keys that cannot be opened or named). After every pass the list must agree with
// the registry, and a second pass over the same registry must rewrite no cell.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "discovery/device_state.h"
#include "discovery/evaluate_device.h"
#include "discovery/memory_registry.h"
#include "discovery/refresh_device_list.h"
#include "discovery/registry_name.h"
#include "support/recording_device_list.h"

namespace uvantic {
namespace {

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

// The hardware key as Windows since Vista spells it, as older systems did, and as the
// program's own literal: the registry keeps whichever created the key first.
constexpr std::wstring_view kSpellings[] = {L"VID_2E7A&PID_0200&MI_00", L"Vid_2e7a&Pid_0200&Mi_00", kHardwareId};

std::wstring RowKey(std::wstring_view spelling, std::wstring_view name) {
  return L"USB\\" + std::wstring(spelling) + L"\\" + std::wstring(name);
}
std::wstring InstanceKeyPath(std::wstring_view rowKey) { return std::wstring(kDeviceTreePath).append(rowKey); }

wchar_t FlipCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
  if (c == L'\u00e9') return L'\u00c9';
  if (c == L'\u00c9') return L'\u00e9';
  return c;
}

class Session {
 public:
  explicit Session(FuzzedDataProvider& input) : in_(input) {}

  void Run() {
    while (in_.remaining_bytes() > 0) Step();
    PassAndCheck();
  }

 private:
  // Short names from a small alphabet, so that one name's case variants come up often.
  std::wstring NewName() {
    static constexpr wchar_t kAlphabet[] = {L'a', L'A', L'b', L'B', L'_', L'0', L'&', L'\\', L'\0', L'\u00e9', L'\u00c9'};
    if (in_.ConsumeIntegralInRange(0, 31) == 0) return std::wstring(300, L'k');
    std::wstring name(in_.ConsumeIntegralInRange<std::size_t>(0, 5), L'a');
    for (wchar_t& c : name) c = kAlphabet[in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kAlphabet) - 1)];
    return name;
  }

  // A name used before, possibly in another letter case, or a new one.
  std::wstring Name() {
    if (names_.empty() || in_.ConsumeBool()) {
      names_.push_back(NewName());
      return names_.back();
    }
    std::wstring name = names_[in_.ConsumeIntegralInRange<std::size_t>(0, names_.size() - 1)];
    const auto flips = in_.ConsumeIntegral<std::uint8_t>();
    for (std::size_t i = 0; i < name.size() && i < 8; ++i) {
      if (flips & (1u << i)) name[i] = FlipCase(name[i]);
    }
    return name;
  }

  RegistryData Data() {
    switch (in_.ConsumeIntegralInRange(0, 6)) {
      case 0: return RegistryData::Empty();
      case 1: return RegistryData::Unreadable();
      case 2: return RegistryData::Number(in_.ConsumeIntegral<std::uint32_t>());
      case 3: return RegistryData::Text(std::wstring(kDriverService));
      case 4: return RegistryData::Text(RowKey(Spelling(), Name()));
      case 5: return RegistryData::Text(std::wstring(in_.ConsumeBool() ? 40000 : 0, L'x'));
      default: {
        const std::string bytes = in_.ConsumeRandomLengthString(16);
        return RegistryData::Text(std::wstring(bytes.begin(), bytes.end()));
      }
    }
  }

  std::wstring_view Spelling() { return kSpellings[in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kSpellings) - 1)]; }

  void Step() {
    const std::wstring instance = InstanceKeyPath(RowKey(Spelling(), Name()));
    switch (in_.ConsumeIntegralInRange(0, 14)) {
      case 0: reg_.key(instance); break;
      case 1: reg_.key(instance).value(L"ConfigFlags", Data()); break;
      case 2: reg_.key(instance).key(L"Device Parameters").value(L"PortName", Data()); break;
      case 3: reg_.key(instance).key(L"Control").value(L"ActiveService", Data()); break;
      case 4: reg_.key(instance).key(L"Control").value(L"DisableCount", Data()); break;
      case 5: reg_.key(kDriverListPath).value(NewName(), Data()); break;
      case 6: reg_.remove(instance); break;
      case 7:  // the same instance deleted and created again, perhaps in another case
        reg_.remove(instance);
        reg_.key(InstanceKeyPath(RowKey(Spelling(), Name())));
        break;
      case 8: reg_.remove(instance + (in_.ConsumeBool() ? L"\\Control" : L"\\Device Parameters")); break;
      case 9: reg_.remove(in_.ConsumeBool() ? kDriverListPath : kHardwareKeyPath); break;
      case 10: Fail(instance); break;
      case 11: list_.sortBy(static_cast<Cell>(in_.ConsumeIntegralInRange(0, 2))); break;
      default: PassAndCheck(); break;
    }
  }

  // Failures stay with their key until it is removed.
  void Fail(const std::wstring& instance) {
    switch (in_.ConsumeIntegralInRange(0, 8)) {
      case 0: reg_.failOpen(instance); break;
      case 1: reg_.failName(instance); break;
      case 2: reg_.failSubkeyName(instance); break;
      case 3: reg_.failValue(instance, L"ConfigFlags"); break;
      case 4: reg_.failOpen(instance + L"\\Control"); break;
      case 5: reg_.failValues(kDriverListPath); break;
      case 6: reg_.failOpen(kDriverListPath); break;
      case 7: reg_.failSubkeys(kHardwareKeyPath); break;
      default: reg_.failSubkeys(kUsbDeviceTreePath); break;
    }
  }

  void PassAndCheck() {
    list_.clearWrites();
    const auto enable = RefreshDeviceList(list_, reg_);
    Check(enable == !list_.keys().empty(), "the command state does not follow the rows");
    CheckRowsAgreeWithRegistry();
    list_.clearWrites();
    RefreshDeviceList(list_, reg_);
    Check(list_.writeCount(ListOp::WriteCell) == 0, "a pass over an unchanged registry rewrote a cell");
  }

  void CheckRowsAgreeWithRegistry() {
    std::set<std::wstring, RegistryNameLess> seen;
    for (const std::wstring& key : list_.keys()) {
      Check(seen.insert(key).second, "two rows for one instance");
      const auto instance = reg_.OpenKey(InstanceKeyPath(key));
      Check(instance != nullptr, "a row whose instance key does not open");
      const MemoryRow& row = *list_.row(key);
      const DeviceState state = EvaluateDevice(reg_, *instance, key);
      Check(row.cell(Cell::Text) == state.portName && row.status == state.status &&
                row.cell(Cell::CableId) == state.cableId && row.icon == state.icon && row.ghosted == state.ghosted,
            "a row that does not show its instance's state");
    }
    // Every instance the hardware key lists, and that opens, has a row spelled as the
    // registry spells the hardware key and the instance.
    const auto hardware = reg_.OpenKey(kHardwareKeyPath);
    if (!hardware) return;
    std::wstring spelling(kHardwareId);
    const auto usb = reg_.OpenKey(kUsbDeviceTreePath);
    if (usb) usb->ForEachSubkeyName([&](const std::optional<std::wstring>& name) {
      if (name && SameRegistryName(*name, kHardwareId)) spelling = *name;
    });
    hardware->ForEachSubkeyName([&](const std::optional<std::wstring>& name) {
      if (!name) return;
      const std::wstring key = RowKey(spelling, *name);
      if (!reg_.OpenKey(InstanceKeyPath(key))) return;
      const MemoryRow* row = list_.row(key);
      Check(row != nullptr, "an installed instance without a row");
      Check(row->key == key, "a row spelled otherwise than the registry lists its instance");
    });
  }

  FuzzedDataProvider& in_;
  std::vector<std::wstring> names_;
  MemoryRegistry reg_;
  RecordingDeviceList list_;
};

}  // namespace
}  // namespace uvantic

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  uvantic::Session(input).Run();
  return 0;
}
