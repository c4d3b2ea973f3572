// One cable's registry keys, for building test registries: their paths, and the keys
// Windows writes when it installs the cable, written into any registry with a key
// builder (the in-memory registry, or the real one through RegistryWriter).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "discovery/device_state.h"

namespace uvantic::testing {

// The statuses by the short names the tables of cases use.
inline constexpr CableStatus kStatusOk = CableStatus::Ok, kStatusNotPresent = CableStatus::NotPresent,
                             kStatusDriverNotLoaded = CableStatus::DriverNotLoaded, kStatusDisabled = CableStatus::Disabled;

inline std::wstring InstancePath(std::wstring_view name) {
  return std::wstring(kInstancePathPrefix).append(name);
}

inline std::wstring InstanceKey(std::wstring_view name) {
  return std::wstring(kDeviceTreePath).append(InstancePath(name));
}

inline std::wstring ControlKey(std::wstring_view name) { return InstanceKey(name) + L"\\Control"; }

inline std::wstring ParametersKey(std::wstring_view name) {
  return InstanceKey(name) + L"\\Device Parameters";
}

struct CableKeys {
  std::wstring_view name;  // the instance key's name
  std::wstring_view port = L"COM3";
  // The driver service bound to the cable while it is plugged in ("Control"
  // ActiveService); none for a cable that is not plugged in, which has no "Control" key.
  std::optional<std::wstring_view> service = kDriverService;
  std::uint32_t configFlags = 0;   // 1: disabled in Device Manager
  std::uint32_t disableCount = 0;  // "Control" DisableCount
};

// The instance key with its "Device Parameters" and, for a plugged-in cable, its
// "Control" key. The driver's list of the instances it serves is left to the caller.
template <typename Registry>
void InstallCable(Registry& reg, const CableKeys& cable) {
  auto instance = reg.key(InstanceKey(cable.name));
  instance.value(L"ConfigFlags", cable.configFlags);
  instance.key(L"Device Parameters").value(L"PortName", cable.port);
  if (cable.service) {
    instance.key(L"Control").value(L"ActiveService", *cable.service).value(L"DisableCount", cable.disableCount);
  }
}

}  // namespace uvantic::testing
