// What one cable's row shows, and the fixed names and registry locations behind it.
#pragma once

#include <string>
#include <string_view>

namespace uvantic {

// A cable's status, which the status column shows in words: OK, or why not.
enum class CableStatus { Ok, NotPresent, DriverNotLoaded, Disabled };

// Indices into the window's state image list (1-based).
inline constexpr int kIconNormal = 1;
inline constexpr int kIconDisabled = 2;
inline constexpr int kIconDriverNotLoaded = 3;

inline constexpr std::wstring_view kDriverService = L"slabser";
// The cable's USB identity, and the instance path built from it when the registry does
// not tell its own spelling. Windows since Vista spells the key "VID_2E7A&PID_0200&MI_00",
// older systems "Vid_2e7a&Pid_0200&Mi_00": see InstancePathPrefix.
inline constexpr std::wstring_view kHardwareId = L"Vid_2E7A&Pid_0200&Mi_00";
inline constexpr std::wstring_view kInstancePathPrefix = L"USB\\Vid_2E7A&Pid_0200&Mi_00\\";
inline constexpr std::wstring_view kUsbDeviceTreePath = L"\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB";
inline constexpr std::wstring_view kHardwareKeyPath =
    L"\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_2E7A&Pid_0200&Mi_00";
inline constexpr std::wstring_view kDeviceTreePath = L"\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\";
inline constexpr std::wstring_view kDriverListPath =
    L"\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum";

struct DeviceState {
  std::wstring portName;
  CableStatus status = CableStatus::NotPresent;
  std::wstring cableId;
  int icon = kIconNormal;
  bool ghosted = true;

  friend bool operator==(const DeviceState&, const DeviceState&) = default;
};

}  // namespace uvantic
