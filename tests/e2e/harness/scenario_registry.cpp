// Registry writes for the scenarios, with the value types Windows uses.
#include "scenario_registry.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <string>

#include <sddl.h>

#include <iterator>

#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kUsbKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\";
constexpr wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser";
constexpr wchar_t kDriverListKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum";
constexpr wchar_t kPortsClassGuid[] = L"{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr DWORD kConfigFlagDisabled = 0x1;
// The spelling the program itself once built paths from: a driver's list that names the
// instance so does not name the instance Windows installed.
constexpr wchar_t kOtherSpelling[] = L"Vid_2E7A&Pid_0200&Mi_00";
// Only the system may read a device's "Properties" key; deleting it stays allowed here
// so that a scenario can uninstall the cable again.
constexpr wchar_t kSystemOnly[] = L"D:P(A;;KA;;;SY)(A;;SD;;;WD)";

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

// Creates the key with the security given in SDDL; nothing is opened on it.
void CreateGuardedKey(const std::wstring& path, const wchar_t* sddl) {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &attributes.lpSecurityDescriptor,
                                                            nullptr)) {
    Fail(L"describe the security of", path, static_cast<LSTATUS>(GetLastError()));
  }
  UniqueHKey key;
  const LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         DELETE, &attributes, key.put(), nullptr);
  LocalFree(attributes.lpSecurityDescriptor);
  if (status != ERROR_SUCCESS) Fail(L"create", path, status);
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

// An instance key with its "Properties" key, which cannot be walked to be deleted with
// the rest: it is deleted first, by name.
void DeleteInstanceTree(const std::wstring& path) {
  const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, (path + L"\\Properties").c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(L"delete", path + L"\\Properties", status);
  DeleteTree(HKEY_LOCAL_MACHINE, path);
}

UniqueHKey OpenExisting(const std::wstring& path) {
  UniqueHKey key;
  const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
  if (status != ERROR_SUCCESS) Fail(L"open", path, status);
  return key;
}

}  // namespace

std::wstring InstancePath(std::wstring_view instance, std::wstring_view hardwareId) {
  return L"USB\\" + std::wstring(hardwareId) + L"\\" + std::wstring(instance);
}

std::wstring CableIdOf(std::wstring_view instance) {
  return instance.size() < 3 ? std::wstring() : std::wstring(instance.substr(0, instance.size() - 3));
}

std::wstring ScenarioRegistry::InstanceKey(std::wstring_view instance) const {
  return kUsbKey + hardwareId_ + L"\\" + std::wstring(instance);
}

void ScenarioRegistry::WriteControl(std::wstring_view instance, std::wstring_view service, DWORD disableCount) {
  const UniqueHKey control =
      CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(instance) + L"\\Control", REG_OPTION_VOLATILE);
  SetString(control.get(), L"ActiveService", service);
  SetNumber(control.get(), L"DisableCount", disableCount);
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
    for (const auto& instance : instances) DeleteInstanceTree(hardwareKey + L"\\" + instance);
  }
  DeleteTree(HKEY_LOCAL_MACHINE, hardwareKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kServiceKey);
  served_.clear();
}

void ScenarioRegistry::Install(const Cable& cable) {
  const UniqueHKey instance = CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(cable.instance));
  SetString(instance.get(), L"DeviceDesc", L"Uvantic USB Instrument Cable");
  // The hardware ids: with the revision before the interface ("&MI_00"), and without.
  const std::wstring id = L"USB\\" + hardwareId_;
  const std::size_t interface = id.size() - std::size(L"&MI_00") + 1;
  SetMultiString(instance.get(), L"HardwareID", {id.substr(0, interface) + L"&REV_0100" + id.substr(interface), id});
  SetMultiString(instance.get(), L"CompatibleIDs",
                 {L"USB\\Class_ff&SubClass_00&Prot_00", L"USB\\Class_ff&SubClass_00", L"USB\\Class_ff"});
  SetString(instance.get(), L"Service", kDriverService);
  SetString(instance.get(), L"Class", L"Ports");
  SetString(instance.get(), L"ClassGUID", kPortsClassGuid);
  wchar_t driver[64];
  std::swprintf(driver, std::size(driver), L"%ls\\%04u", kPortsClassGuid, ++drivers_);
  SetString(instance.get(), L"Driver", driver);
  SetString(instance.get(), L"Mfg", L"Uvantic");
  SetString(instance.get(), L"LocationInformation", L"0000.0014.0000.001.000.000.000.000.000");
  SetNumber(instance.get(), L"ConfigFlags", 0);
  SetNumber(instance.get(), L"Capabilities", 0x84);
  CreateGuardedKey(InstanceKey(cable.instance) + L"\\Properties", kSystemOnly);
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
  OpenExisting(InstanceKey(instance));
  WriteControl(instance, kDriverService, 0);
  Serve(instance, hardwareId_);
}

void ScenarioRegistry::Unplug(std::wstring_view instance) {
  OpenExisting(InstanceKey(instance));
  DeleteTree(HKEY_LOCAL_MACHINE, InstanceKey(instance) + L"\\Control");
  StopServing(instance);
}

void ScenarioRegistry::Disable(std::wstring_view instance) {
  const UniqueHKey key = OpenExisting(InstanceKey(instance));
  SetNumber(key.get(), L"ConfigFlags", kConfigFlagDisabled);
  const std::wstring service = ReadActiveService(instance);
  if (!service.empty()) WriteControl(instance, service, 1);
}

void ScenarioRegistry::Enable(std::wstring_view instance) {
  const UniqueHKey key = OpenExisting(InstanceKey(instance));
  SetNumber(key.get(), L"ConfigFlags", 0);
  const std::wstring service = ReadActiveService(instance);
  if (!service.empty()) WriteControl(instance, service, 0);
}

void ScenarioRegistry::Rebind(std::wstring_view instance, std::wstring_view service) {
  OpenExisting(InstanceKey(instance));
  WriteControl(instance, service, 0);
  if (service == kDriverService) {
    Serve(instance, hardwareId_);
  } else {
    StopServing(instance);
  }
}

void ScenarioRegistry::Drop(std::wstring_view instance) { StopServing(instance); }

void ScenarioRegistry::Uninstall(std::wstring_view instance) {
  DeleteInstanceTree(InstanceKey(instance));
  StopServing(instance);
}

void ScenarioRegistry::Rename(std::wstring_view instance, std::wstring_view port) {
  const UniqueHKey key = OpenExisting(InstanceKey(instance));
  SetString(key.get(), L"FriendlyName", L"Uvantic USB Instrument Cable (" + std::wstring(port) + L")");
  const UniqueHKey parameters = CreateKey(HKEY_LOCAL_MACHINE, InstanceKey(instance) + L"\\Device Parameters");
  SetString(parameters.get(), L"PortName", port);
  SetNumber(parameters.get(), L"PollingPeriod", 0);
}

void ScenarioRegistry::Serve(std::wstring_view instance, std::wstring_view hardwareId) {
  const std::wstring path = InstancePath(instance, hardwareId);
  if (std::find(served_.begin(), served_.end(), path) == served_.end()) served_.push_back(path);
  WriteDriverList();
}

void ScenarioRegistry::StopServing(std::wstring_view instance) {
  std::erase(served_, InstancePath(instance, hardwareId_));
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
