// Works out what one installed cable's row shows from its registry keys.
#pragma once

#include <string_view>

#include "device_state.h"
#include "registry_view.h"

namespace uvantic {

// instanceKey is the already opened key of the instance named by instancePath
// ("USB\VID_2E7A&PID_0200&MI_00\<name>", spelled as the registry spells the keys).
// Reads only; no failure stops it.
DeviceState EvaluateDevice(const RegistryView& view, const RegistryKey& instanceKey,
                           std::wstring_view instancePath);

}  // namespace uvantic
