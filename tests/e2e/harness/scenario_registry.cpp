// Registry writes for the scenarios, with the value types Windows uses.
#include "scenario_registry.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kUsbKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\";
constexpr wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser";
constexpr wchar_t kDriverListKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum";
constexpr wchar_t kPortsClassGuid[] = L"{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr std::uint32_t kConfigFlagDisabled = 0x1;
// The spelling the program itself once built paths from: a driver's list that names the
// instance so does not name the instance Windows installed.
constexpr wchar_t kOtherSpelling[] = L"Vid_2E7A&Pid_0200&Mi_00";
// Only the system may read a device's "Properties" key; deleting it stays allowed here
// so that a scenario can uninstall the cable again.
constexpr wchar_t kSystemOnly[] = L"D:P(A;;KA;;;SY)(A;;SD;;;WD)";

const std::wstring kMachine = L"\\HKEY_LOCAL_MACHINE\\";

}  // namespace

std::wstring WindowsInstancePath(std::wstring_view instance, std::wstring_view hardwareId) {
  return L"USB\\" + std::wstring(hardwareId) + L"\\" + std::wstring(instance);
}

std::wstring CableIdOf(std::wstring_view instance) {
  return instance.size() < 3 ? std::wstring() : std::wstring(instance.substr(0, instance.size() - 3));
}

std::wstring ScenarioRegistry::InstanceKey(std::wstring_view instance) const {
  return kUsbKey + hardwareId_ + L"\\" + std::wstring(instance);
}

// The instance key, which must exist already.
testing::RegistryWriter::KeyWriter ScenarioRegistry::Existing(std::wstring_view instance) {
  const std::wstring path = InstanceKey(instance);
  UniqueHKey key;
  const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put());
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("registry: cannot open " + testing::Narrow(path) + " (error " + std::to_string(status) +
                             ")");
  }
  return writer_.key(kMachine + path);
}

void ScenarioRegistry::WriteControl(std::wstring_view instance, std::wstring_view service, DWORD disableCount) {
  // Windows keeps a started device's Control key in memory only: it is volatile.
  writer_.key(kMachine + InstanceKey(instance) + L"\\Control", testing::RegistryWriter::Life::Volatile)
      .value(L"ActiveService", service)
      .value(L"DisableCount", static_cast<std::uint32_t>(disableCount));
}

// An instance key with its "Properties" key, which cannot be walked to be deleted with
// the rest: it is deleted first, by name.
void ScenarioRegistry::DeleteInstance(const std::wstring& path) {
  writer_.removeKey(kMachine + path + L"\\Properties");
  writer_.remove(kMachine + path);
}

std::wstring ScenarioRegistry::ReadActiveService(std::wstring_view instance) const {
  wchar_t buffer[256] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  const std::wstring path = InstanceKey(instance) + L"\\Control";
  const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"ActiveService",
                                      RRF_RT_REG_SZ, nullptr, buffer, &size);
  return status == ERROR_SUCCESS ? std::wstring(buffer) : std::wstring();
}

// Whatever spelling the hardware key has, the registry finds it by this one.
void ScenarioRegistry::Clear() {
  const std::wstring hardwareKey = kUsbKey + hardwareId_;
  UniqueHKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, hardwareKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
    std::vector<std::wstring> instances;
    wchar_t name[256];
    for (DWORD i = 0, length = std::size(name);
         RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = std::size(name)) {
      instances.emplace_back(name, length);
    }
    key.reset();
    for (const auto& instance : instances) DeleteInstance(hardwareKey + L"\\" + instance);
  }
  writer_.remove(kMachine + hardwareKey);
  writer_.remove(kMachine + kServiceKey);
  served_.clear();
}

void ScenarioRegistry::Install(const Cable& cable) {
  // The hardware ids: with the revision before the interface ("&MI_00"), and without.
  const std::wstring id = L"USB\\" + hardwareId_;
  const std::size_t interface = id.size() - std::size(L"&MI_00") + 1;
  wchar_t driver[64];
  std::swprintf(driver, std::size(driver), L"%ls\\%04u", kPortsClassGuid, ++drivers_);
  writer_.key(kMachine + InstanceKey(cable.instance))
      .value(L"DeviceDesc", L"Uvantic USB Instrument Cable")
      .value(L"HardwareID", std::vector<std::wstring>{id.substr(0, interface) + L"&REV_0100" + id.substr(interface), id})
      .value(L"CompatibleIDs", std::vector<std::wstring>{L"USB\\Class_ff&SubClass_00&Prot_00",
                                                         L"USB\\Class_ff&SubClass_00", L"USB\\Class_ff"})
      .value(L"Service", kDriverService)
      .value(L"Class", L"Ports")
      .value(L"ClassGUID", kPortsClassGuid)
      .value(L"Driver", driver)
      .value(L"Mfg", L"Uvantic")
      .value(L"LocationInformation", L"0000.0014.0000.001.000.000.000.000.000")
      .value(L"ConfigFlags", 0u)
      .value(L"Capabilities", 0x84u);
  writer_.guardedKey(kMachine + InstanceKey(cable.instance) + L"\\Properties", kSystemOnly);
  Rename(cable.instance, cable.port);
  switch (cable.setup) {
    case CableSetup::Started:
      Plug(cable.instance);
      break;
    case CableSetup::Unplugged:
      break;
    case CableSetup::OtherDriver:
      Rebind(cable.instance, kOtherDriverService);
      break;
    case CableSetup::Disabled:
      Plug(cable.instance);
      Disable(cable.instance);
      break;
    case CableSetup::Dropped:
      Plug(cable.instance);
      Drop(cable.instance);
      break;
    case CableSetup::Misspelled:
      WriteControl(cable.instance, kDriverService, 0);
      Serve(cable.instance, kOtherSpelling);
      break;
  }
  // Windows creates the driver's key when the driver is installed with the first
  // cable, plugged in or not.
  WriteDriverList();
}

void ScenarioRegistry::Install(const std::vector<Cable>& cables) {
  for (const auto& cable : cables) Install(cable);
}

void ScenarioRegistry::Plug(std::wstring_view instance) {
  Existing(instance);
  WriteControl(instance, kDriverService, 0);
  Serve(instance, hardwareId_);
}

void ScenarioRegistry::Unplug(std::wstring_view instance) {
  Stop(instance);
  StopServing(instance);
}

void ScenarioRegistry::Stop(std::wstring_view instance) {
  Existing(instance);
  writer_.remove(kMachine + InstanceKey(instance) + L"\\Control");
}

void ScenarioRegistry::Disable(std::wstring_view instance) {
  Existing(instance).value(L"ConfigFlags", kConfigFlagDisabled);
  const std::wstring service = ReadActiveService(instance);
  if (!service.empty()) WriteControl(instance, service, 1);
}

void ScenarioRegistry::Enable(std::wstring_view instance) {
  Existing(instance).value(L"ConfigFlags", 0u);
  const std::wstring service = ReadActiveService(instance);
  if (!service.empty()) WriteControl(instance, service, 0);
}

void ScenarioRegistry::Rebind(std::wstring_view instance, std::wstring_view service) {
  Existing(instance);
  WriteControl(instance, service, 0);
  if (service == kDriverService) {
    Serve(instance, hardwareId_);
  } else {
    StopServing(instance);
  }
}

void ScenarioRegistry::Drop(std::wstring_view instance) { StopServing(instance); }

void ScenarioRegistry::Unbind(std::wstring_view instance) {
  Existing(instance);
  WriteControl(instance, L"", 0);
}

void ScenarioRegistry::Uninstall(std::wstring_view instance) {
  DeleteInstance(InstanceKey(instance));
  StopServing(instance);
}

void ScenarioRegistry::Rename(std::wstring_view instance, std::wstring_view port) {
  Existing(instance)
      .value(L"FriendlyName", L"Uvantic USB Instrument Cable (" + std::wstring(port) + L")")
      .key(L"Device Parameters")
      .value(L"PortName", port)
      .value(L"PollingPeriod", 0u);
}

void ScenarioRegistry::Serve(std::wstring_view instance, std::wstring_view hardwareId) {
  const std::wstring path = WindowsInstancePath(instance, hardwareId);
  if (std::find(served_.begin(), served_.end(), path) == served_.end()) served_.push_back(path);
  WriteDriverList();
}

void ScenarioRegistry::StopServing(std::wstring_view instance) {
  std::erase(served_, WindowsInstancePath(instance, hardwareId_));
  WriteDriverList();
}

// The driver numbers the instances it serves "0", "1", ... and keeps "Count" and
// "NextInstance" beside them. The values are rewritten in place and the surplus
// numbers deleted afterwards, so that a reader never finds the key missing.
void ScenarioRegistry::WriteDriverList() {
  writer_.key(kMachine + kServiceKey)
      .value(L"Type", 1u)
      .value(L"Start", 3u)
      .value(L"ErrorControl", 1u)
      .value(L"ImagePath", L"\\SystemRoot\\System32\\drivers\\slabser.sys");
  auto list = writer_.key(kMachine + kDriverListKey);
  for (std::size_t i = 0; i < served_.size(); ++i) list.value(std::to_wstring(i), served_[i]);
  list.value(L"Count", static_cast<std::uint32_t>(served_.size()))
      .value(L"NextInstance", static_cast<std::uint32_t>(served_.size()));
  for (std::size_t i = served_.size(); writer_.removeValue(kMachine + kDriverListKey, std::to_wstring(i)); ++i) {
  }
}

void SetLogPixels(DWORD dotsPerInch) {
  testing::RegistryWriter(testing::RegistryWriter::Keep::Written)
      .key(L"\\HKEY_CURRENT_USER\\Control Panel\\Desktop")
      .value(L"LogPixels", static_cast<std::uint32_t>(dotsPerInch));
}

}  // namespace uvantic::e2e
