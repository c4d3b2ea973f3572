// Device evaluation and the refresh pass over the real registry, with the keys laid
// out as Windows writes them: instance keys under the hardware key, their "Device
// Parameters" and "Control" subkeys, and the driver's "Enum" list.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "discovery/device_state.h"
#include "discovery/evaluate_device.h"
#include "discovery/refresh_device_list.h"
#include "platform/win_registry_view.h"
#include "support/cable_keys.h"
#include "support/recording_device_list.h"
#include "support/registry_writer.h"
#include "support/test_printers.h"

namespace uvantic {
namespace {

using namespace std::literals;
using namespace testing;  // the shared cable keys and registry writer

constexpr std::wstring_view kCable = L"UV5K31QX_00";
constexpr std::wstring_view kOtherCable = L"UV7H22MB_00";

// The driver's list as Windows keeps it: "0", "1", ... hold the instance paths it
// serves, "Count" and "NextInstance" are counters. Replaces any list there was.
void WriteDriverList(RegistryWriter& reg, const std::vector<std::wstring>& servedPaths) {
  reg.remove(kDriverListPath);
  auto list = reg.key(kDriverListPath);
  for (std::size_t i = 0; i < servedPaths.size(); ++i) list.value(std::to_wstring(i), servedPaths[i]);
  const auto count = static_cast<std::uint32_t>(servedPaths.size());
  list.value(L"Count", count).value(L"NextInstance", count);
}

enum class Binding { Slabser, OtherService, NoControlKey };
enum class Disabling { No, ConfigFlags, DisableCount };

struct Cable {
  std::wstring_view name = kCable;
  std::wstring_view port = L"COM3";
  Binding binding = Binding::Slabser;
  Disabling disabling = Disabling::No;
};

void Install(RegistryWriter& reg, const Cable& cable) {
  std::optional<std::wstring_view> service;
  if (cable.binding != Binding::NoControlKey) service = cable.binding == Binding::Slabser ? L"slabser" : L"usbser";
  InstallCable(reg, {.name = cable.name,
                     .port = cable.port,
                     .service = service,
                     .configFlags = cable.disabling == Disabling::ConfigFlags ? 1u : 0u,
                     .disableCount = cable.disabling == Disabling::DisableCount ? 2u : 0u});
}

DeviceState Evaluate(std::wstring_view name) {
  const WinRegistryView view;
  const auto instanceKey = view.OpenKey(InstanceKey(name));
  EXPECT_NE(instanceKey, nullptr);
  if (!instanceKey) return {};
  return EvaluateDevice(view, *instanceKey, InstancePath(name));
}

DeviceState State(std::wstring_view port, CableStatus status, std::wstring_view cable, int icon,
                  bool ghosted) {
  return {std::wstring(port), status, std::wstring(cable), icon, ghosted};
}

TEST(EvaluateDeviceOverRegistry, ServedBoundAndDisabledCombinations) {
  struct Case {
    bool served;
    Binding binding;
    Disabling disabling;
    CableStatus status;
    int icon;
  };
  const Case cases[] = {
      {true, Binding::Slabser, Disabling::No, kStatusOk, kIconNormal},
      {true, Binding::OtherService, Disabling::No, kStatusDriverNotLoaded, kIconDriverNotLoaded},
      {true, Binding::NoControlKey, Disabling::No, kStatusDriverNotLoaded, kIconDriverNotLoaded},
      {true, Binding::Slabser, Disabling::ConfigFlags, kStatusDisabled, kIconDisabled},
      {true, Binding::Slabser, Disabling::DisableCount, kStatusDisabled, kIconDisabled},
      {true, Binding::OtherService, Disabling::ConfigFlags, kStatusDisabled, kIconDisabled},
      {true, Binding::NoControlKey, Disabling::ConfigFlags, kStatusDisabled, kIconDisabled},
      {false, Binding::Slabser, Disabling::No, kStatusNotPresent, kIconNormal},
      {false, Binding::OtherService, Disabling::No, kStatusDriverNotLoaded, kIconDriverNotLoaded},
      {false, Binding::NoControlKey, Disabling::No, kStatusDriverNotLoaded, kIconDriverNotLoaded},
      {false, Binding::Slabser, Disabling::ConfigFlags, kStatusNotPresent, kIconDisabled},
      {false, Binding::Slabser, Disabling::DisableCount, kStatusNotPresent, kIconDisabled},
      {false, Binding::OtherService, Disabling::DisableCount, kStatusDriverNotLoaded, kIconDisabled},
      {false, Binding::NoControlKey, Disabling::ConfigFlags, kStatusDriverNotLoaded, kIconDisabled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "served " << c.served << ", binding " << static_cast<int>(c.binding)
                                      << ", disabling " << static_cast<int>(c.disabling));
    RegistryWriter reg;
    Install(reg, {.binding = c.binding, .disabling = c.disabling});
    std::vector<std::wstring> served = {InstancePath(kOtherCable)};
    if (c.served) served.push_back(InstancePath(kCable));
    WriteDriverList(reg, served);

    EXPECT_EQ(Evaluate(kCable), State(L"COM3", c.status, L"UV5K31QX", c.icon, !c.served));
  }
}

// Each case starts from a started, enabled, served cable ("OK") and changes one thing.
TEST(EvaluateDeviceOverRegistry, OddlyTypedOrMissingData) {
  const std::wstring instanceKey = InstanceKey(kCable);
  const std::wstring control = ControlKey(kCable);
  const std::wstring parameters = ParametersKey(kCable);
  const std::wstring path = InstancePath(kCable);
  const DeviceState ok = State(L"COM3", kStatusOk, L"UV5K31QX", kIconNormal, false);
  const DeviceState disabled = State(L"COM3", kStatusDisabled, L"UV5K31QX", kIconDisabled, false);
  const DeviceState notLoaded = State(L"COM3", kStatusDriverNotLoaded, L"UV5K31QX", kIconDriverNotLoaded, false);
  const DeviceState unserved = State(L"COM3", kStatusNotPresent, L"UV5K31QX", kIconNormal, true);
  auto withPort = [&](std::wstring_view port) {
    DeviceState state = ok;
    state.portName = port;
    return state;
  };

  struct Case {
    const char* what;
    std::function<void(RegistryWriter&)> change;
    DeviceState expected;
  };
  const Case cases[] = {
      {"ConfigFlags as text \"1\"", [&](auto& reg) { reg.key(instanceKey).value(L"ConfigFlags", L"1"); }, disabled},
      {"ConfigFlags with other bits only", [&](auto& reg) { reg.key(instanceKey).value(L"ConfigFlags", 0x2000u); },
       ok},
      {"ConfigFlags with bit 0 among others", [&](auto& reg) { reg.key(instanceKey).value(L"ConfigFlags", 0x2001u); },
       disabled},
      {"ConfigFlags binary", [&](auto& reg) { reg.key(instanceKey).raw(L"ConfigFlags", REG_BINARY, {1, 0, 0, 0}); },
       ok},
      {"ConfigFlags of no bytes", [&](auto& reg) { reg.key(instanceKey).raw(L"ConfigFlags", REG_DWORD, {}); }, ok},
      {"DisableCount as text \"x\"", [&](auto& reg) { reg.key(control).value(L"DisableCount", L"x"); }, ok},
      {"DisableCount as text \"3\"", [&](auto& reg) { reg.key(control).value(L"DisableCount", L"3"); }, disabled},
      {"PortName as a number", [&](auto& reg) { reg.key(parameters).value(L"PortName", 3u); }, withPort(L"3")},
      {"PortName binary", [&](auto& reg) { reg.key(parameters).raw(L"PortName", REG_BINARY, {'C', 0}); },
       withPort(L"")},
      {"PortName unterminated",
       [&](auto& reg) { reg.key(parameters).raw(L"PortName", REG_SZ, Utf16(L"COM12")); }, withPort(L"COM12")},
      {"PortName missing", [&](auto& reg) { RegDeleteValueW(reg.key(parameters).get(), L"PortName"); },
       withPort(L"")},
      {"no Device Parameters", [&](auto& reg) { reg.remove(parameters); }, withPort(L"")},
      {"ActiveService in other letter case", [&](auto& reg) { reg.key(control).value(L"ActiveService", L"SLABSER"); },
       notLoaded},
      {"ActiveService as a text list",
       [&](auto& reg) { reg.key(control).raw(L"ActiveService", REG_MULTI_SZ, Utf16(L"slabser\0\0"sv)); },
       notLoaded},
      {"ActiveService unterminated",
       [&](auto& reg) { reg.key(control).raw(L"ActiveService", REG_SZ, Utf16(L"slabser")); }, ok},
      {"ActiveService expandable",
       [&](auto& reg) { reg.key(control).raw(L"ActiveService", REG_EXPAND_SZ, Utf16(L"slabser\0"sv)); }, ok},
      {"driver list entry in other letter case",
       [&](auto& reg) { WriteDriverList(reg, {L"USB\\VID_2E7A&PID_0200&MI_00\\UV5K31QX_00"}); }, unserved},
      {"driver list of counters only", [&](auto& reg) { WriteDriverList(reg, {}); }, unserved},
      {"driver list entry unterminated",
       [&](auto& reg) {
         WriteDriverList(reg, {});
         reg.key(kDriverListPath).raw(L"0", REG_SZ, Utf16(path));
       },
       ok},
      {"driver list entry as a text list",
       [&](auto& reg) {
         WriteDriverList(reg, {});
         reg.key(kDriverListPath).raw(L"0", REG_MULTI_SZ, Utf16(path + L"\0\0"s));
       },
       unserved},
      {"no driver list", [&](auto& reg) { reg.remove(kDriverListPath); }, unserved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistryWriter reg;
    Install(reg, {});
    WriteDriverList(reg, {InstancePath(kOtherCable), path});
    c.change(reg);
    EXPECT_EQ(Evaluate(kCable), c.expected);
  }
}

DeviceState RowState(const RecordingDeviceList& list, std::wstring_view name) {
  const MemoryRow* row = list.row(InstancePath(name));
  EXPECT_NE(row, nullptr) << "no row for " << Printable(name);
  if (!row) return {};
  return {row->cell(Cell::Text), row->status.value_or(kStatusNotPresent), row->cell(Cell::CableId), row->icon.value_or(0),
          row->ghosted};
}

TEST(RefreshDeviceListOverRegistry, RowsFollowInstallsAndUninstalls) {
  RegistryWriter reg;
  const WinRegistryView view;
  RecordingDeviceList list;

  // No cable ever installed: no hardware key at all.
  EXPECT_EQ(RefreshDeviceList(list, view), false);
  EXPECT_TRUE(list.keys().empty());

  Install(reg, {.name = kCable, .port = L"COM3"});
  Install(reg, {.name = kOtherCable, .port = L"COM4", .binding = Binding::NoControlKey});
  WriteDriverList(reg, {InstancePath(kCable)});
  EXPECT_EQ(RefreshDeviceList(list, view), true);
  ASSERT_EQ(list.keys().size(), 2u);
  EXPECT_EQ(RowState(list, kCable), State(L"COM3", kStatusOk, L"UV5K31QX", kIconNormal, false));
  EXPECT_EQ(RowState(list, kOtherCable),
            State(L"COM4", kStatusDriverNotLoaded, L"UV7H22MB", kIconDriverNotLoaded, true));

  ASSERT_TRUE(reg.remove(InstanceKey(kCable)));
  EXPECT_EQ(RefreshDeviceList(list, view), true);
  EXPECT_EQ(list.keys(), std::vector<std::wstring>{InstancePath(kOtherCable)});

  ASSERT_TRUE(reg.remove(InstanceKey(kOtherCable)));
  EXPECT_EQ(RefreshDeviceList(list, view), false);
  EXPECT_TRUE(list.keys().empty());
}

TEST(RefreshDeviceListOverRegistry, RowKeysKeepTheRegistrysLetterCase) {
  RegistryWriter reg;
  Install(reg, {.name = L"Uv5k31qX_00"});
  RecordingDeviceList list;
  RefreshDeviceList(list, WinRegistryView());
  EXPECT_EQ(list.keys(), std::vector<std::wstring>{L"USB\\Vid_2E7A&Pid_0200&Mi_00\\Uv5k31qX_00"});
  EXPECT_EQ(RowState(list, L"Uv5k31qX_00").cableId, L"Uv5k31qX");
}

TEST(RefreshDeviceListOverRegistry, UnchangedRegistryRewritesNoCell) {
  RegistryWriter reg;
  Install(reg, {.name = kCable});
  Install(reg, {.name = kOtherCable, .disabling = Disabling::ConfigFlags});
  WriteDriverList(reg, {InstancePath(kCable), InstancePath(kOtherCable)});
  const WinRegistryView view;
  RecordingDeviceList list;
  RefreshDeviceList(list, view);
  list.clearWrites();

  RefreshDeviceList(list, view);
  EXPECT_EQ(list.writeCount(ListOp::WriteCell), 0u);
  EXPECT_EQ(list.writeCount(ListOp::SetIcon), 2u);
  EXPECT_EQ(list.writeCount(ListOp::SetGhosted), 2u);

  // Unplugging the second cable changes only its status cell.
  reg.remove(ControlKey(kOtherCable));
  WriteDriverList(reg, {InstancePath(kCable)});
  list.clearWrites();
  RefreshDeviceList(list, view);
  ASSERT_EQ(list.writeCount(ListOp::WriteCell), 1u);
  EXPECT_EQ(RowState(list, kOtherCable),
            State(L"COM3", kStatusDriverNotLoaded, L"UV7H22MB", kIconDisabled, true));
}

TEST(RefreshDeviceListOverRegistry, InstanceUninstalledDuringThePassLosesItsRow) {
  RegistryWriter reg;
  Install(reg, {.name = kCable});
  Install(reg, {.name = kOtherCable});
  RecordingDeviceList list;
  // The second cable is uninstalled after discovery has listed it but before its row
  // is evaluated.
  bool uninstalled = false;
  list.onRowAccess([&](ListOp, RowId) {
    if (!uninstalled) uninstalled = reg.remove(InstanceKey(kOtherCable));
  });
  EXPECT_EQ(RefreshDeviceList(list, WinRegistryView()), true);
  EXPECT_TRUE(uninstalled);
  EXPECT_EQ(list.keys(), std::vector<std::wstring>{InstancePath(kCable)});
}

}  // namespace
}  // namespace uvantic
