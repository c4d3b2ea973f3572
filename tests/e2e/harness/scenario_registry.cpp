// Registry writes for the scenarios, with the value types Windows uses.
#include "scenario_registry.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kHardwareKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_2E7A&Pid_0200&Mi_00";
constexpr wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser";
constexpr wchar_t kDriverListKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum";
constexpr wchar_t kPortsClassGuid[] = L"{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr DWORD kConfigFlagDisabled = 0x1;

[[noreturn]] void Fail(std::wstring_view what, std::wstring_view path, LSTATUS status) {
  std::string message = "registry: cannot " + std::string(what.begin(), what.end()) + " " +
                        std::string(path.begin(), path.end()) + " (error " + std::to_string(status) + ")";
  throw std::runtime_error(message);
}

// Windows keeps a started device's Control key in memory only: it is volatile.
UniqueHKey CreateKey(HKEY root, const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE) {
  UniqueHKey key;
  const LSTATUS status =
      RegCreateKeyExW(root, path.c_str(), 0, nullptr, options, KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) Fail(L"create", path, status);
  return key;
}

void SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  const LSTATUS status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  if (status != ERROR_SUCCESS) Fail(L"set", name, status);
}

void SetString(HKEY key, const wchar_t* name, std::wstring_view text) {
  const std::wstring data(text);
  SetValue(key, name, REG_SZ, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void SetMultiString(HKEY key, const wchar_t* name, const std::vector<std::wstring>& texts) {
  std::wstring data;
  for (const auto& text : texts) data += text + L'\0';
  data += L'\0';
  SetValue(key, name, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

void SetNumber(HKEY key, const wchar_t* name, DWORD number) {
  SetValue(key, name, REG_DWORD, &number, sizeof number);
}

void DeleteTree(HKEY root, const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(root, path.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(L"delete", path, status);
}

std::wstring InstanceKey(std::wstring_view instance) {
  return std::wstring(kHardwareKey) + L"\\" + std::wstring(instance);
}

UniqueHKey OpenExistingInstance(std::wstring_view instance) {
  UniqueHKey key;
  const std::wstring path = InstanceKey(instance);
  const LSTATUS status =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
  if (status != ERROR_SUCCESS) Fail(L"open", path, status);
  return key;
}

void WriteControl(std::wstring_view instance, std::wstring_view service, DWORD disableCount) {
  const UniqueHKey control =
      CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(instance) + L"\\Control", REG_OPTION_VOLATILE);
  SetString(control.get(), L"ActiveService", service);
  SetNumber(control.get(), L"DisableCount", disableCount);
}

std::wstring ReadActiveService(std::wstring_view instance) {
  wchar_t buffer[256] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  const std::wstring path = InstanceKey(instance) + L"\\Control";
  const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"ActiveService",
                                      RRF_RT_REG_SZ, nullptr, buffer, &size);
  return status == ERROR_SUCCESS ? std::wstring(buffer) : std::wstring();
}

}  // namespace

std::wstring InstancePath(std::wstring_view instance) {
  return L"USB\\Vid_2E7A&Pid_0200&Mi_00\\" + std::wstring(instance);
}

std::wstring CableIdOf(std::wstring_view instance) {
  return instance.size() < 3 ? std::wstring() : std::wstring(instance.substr(0, instance.size() - 3));
}

void ScenarioRegistry::Clear() {
  DeleteTree(HKEY_LOCAL_MACHINE, kHardwareKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kServiceKey);
  served_.clear();
}

void ScenarioRegistry::Install(const Cable& cable) {
  const UniqueHKey instance = CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(cable.instance));
  SetString(instance.get(), L"DeviceDesc", L"Uvantic USB Instrument Cable");
  SetMultiString(instance.get(), L"HardwareID",
                 {L"USB\\Vid_2E7A&Pid_0200&Rev_0100&Mi_00", L"USB\\Vid_2E7A&Pid_0200&Mi_00"});
  SetMultiString(instance.get(), L"CompatibleIDs",
                 {L"USB\\Class_ff&SubClass_00&Prot_00", L"USB\\Class_ff"});
  SetString(instance.get(), L"Service", kDriverService);
  SetString(instance.get(), L"Class", L"Ports");
  SetString(instance.get(), L"ClassGUID", kPortsClassGuid);
  SetString(instance.get(), L"Mfg", L"Uvantic");
  SetNumber(instance.get(), L"ConfigFlags", 0);
  SetNumber(instance.get(), L"Capabilities", 0x84);
  {
    const UniqueHKey parameters =
        CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(cable.instance) + L"\\Device Parameters");
    SetString(parameters.get(), L"PortName", cable.port);
    SetNumber(parameters.get(), L"PollingPeriod", 0);
  }
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
  }
  // Windows creates the driver's key when the driver is installed with the first
  // cable, plugged in or not.
  WriteDriverList();
}

void ScenarioRegistry::Install(const std::vector<Cable>& cables) {
  for (const auto& cable : cables) Install(cable);
}

void ScenarioRegistry::Plug(std::wstring_view instance) {
  OpenExistingInstance(instance);
  WriteControl(instance, kDriverService, 0);
  Serve(instance);
}

void ScenarioRegistry::Unplug(std::wstring_view instance) {
  OpenExistingInstance(instance);
  DeleteTree(HKEY_LOCAL_MACHINE, InstanceKey(instance) + L"\\Control");
  StopServing(instance);
}

void ScenarioRegistry::Disable(std::wstring_view instance) {
  const UniqueHKey key = OpenExistingInstance(instance);
  SetNumber(key.get(), L"ConfigFlags", kConfigFlagDisabled);
  const std::wstring service = ReadActiveService(instance);
  if (!service.empty()) WriteControl(instance, service, 1);
}

void ScenarioRegistry::Enable(std::wstring_view instance) {
  const UniqueHKey key = OpenExistingInstance(instance);
  SetNumber(key.get(), L"ConfigFlags", 0);
  const std::wstring service = ReadActiveService(instance);
  if (!service.empty()) WriteControl(instance, service, 0);
}

void ScenarioRegistry::Rebind(std::wstring_view instance, std::wstring_view service) {
  OpenExistingInstance(instance);
  WriteControl(instance, service, 0);
  if (service == kDriverService) {
    Serve(instance);
  } else {
    StopServing(instance);
  }
}

void ScenarioRegistry::Drop(std::wstring_view instance) { StopServing(instance); }

void ScenarioRegistry::Uninstall(std::wstring_view instance) {
  DeleteTree(HKEY_LOCAL_MACHINE, InstanceKey(instance));
  StopServing(instance);
}

void ScenarioRegistry::Rename(std::wstring_view instance, std::wstring_view port) {
  OpenExistingInstance(instance);
  const UniqueHKey parameters = CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(instance) + L"\\Device Parameters");
  SetString(parameters.get(), L"PortName", port);
}

void ScenarioRegistry::Serve(std::wstring_view instance) {
  const std::wstring path = InstancePath(instance);
  if (std::find(served_.begin(), served_.end(), path) == served_.end()) served_.push_back(path);
  WriteDriverList();
}

void ScenarioRegistry::StopServing(std::wstring_view instance) {
  std::erase(served_, InstancePath(instance));
  WriteDriverList();
}

// The driver numbers the instances it serves "0", "1", ... and keeps "Count" and
// "NextInstance" beside them. The values are rewritten in place and the surplus
// numbers deleted afterwards, so that a reader never finds the key missing.
void ScenarioRegistry::WriteDriverList() {
  const UniqueHKey service = CreateKey(HKEY_LOCAL_MACHINE, kServiceKey);
  SetNumber(service.get(), L"Type", 1);
  SetNumber(service.get(), L"Start", 3);
  SetNumber(service.get(), L"ErrorControl", 1);
  SetString(service.get(), L"ImagePath", L"\\SystemRoot\\System32\\drivers\\slabser.sys");
  const UniqueHKey list = CreateKey(HKEY_LOCAL_MACHINE, kDriverListKey);
  for (std::size_t i = 0; i < served_.size(); ++i) {
    SetString(list.get(), std::to_wstring(i).c_str(), served_[i]);
  }
  SetNumber(list.get(), L"Count", static_cast<DWORD>(served_.size()));
  SetNumber(list.get(), L"NextInstance", static_cast<DWORD>(served_.size()));
  for (std::size_t i = served_.size();; ++i) {
    const LSTATUS status = RegDeleteValueW(list.get(), std::to_wstring(i).c_str());
    if (status == ERROR_FILE_NOT_FOUND) break;
    if (status != ERROR_SUCCESS) Fail(L"delete value in", kDriverListKey, status);
  }
}

void SetLogPixels(DWORD dotsPerInch) {
  const UniqueHKey desktop = CreateKey(HKEY_CURRENT_USER, L"Control Panel\\Desktop");
  SetNumber(desktop.get(), L"LogPixels", dotsPerInch);
}

}  // namespace uvantic::e2e
