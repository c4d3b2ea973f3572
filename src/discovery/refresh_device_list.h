// Brings the device list into line with the registry: one pass per timer tick.
#pragma once

#include <optional>

#include "device_list.h"
#include "registry_view.h"

namespace uvantic {

// Adds rows for new instances, evaluates every row, removes uninstalled ones and
// rewrites only changed cells. Returns whether the Properties command is to be
// enabled (the list has rows), or nullopt when the row count could not be read and
// the command's state is to stay as it is. Nothing it calls can end it: a step that
// throws is skipped as a failed one.
std::optional<bool> RefreshDeviceList(DeviceList& list, const RegistryView& view) noexcept;

}  // namespace uvantic
