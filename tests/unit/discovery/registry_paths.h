// Paths of one cable's registry keys, for building test registries.
#pragma once

#include <string>
#include <string_view>

#include "discovery/device_state.h"

namespace uvantic::testing {

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

}  // namespace uvantic::testing
