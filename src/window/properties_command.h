// The command line that asks the device property sheet for one device.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// `/MachineName "" /DeviceID "<key>"`: an empty machine name is this computer, the
// key goes in exactly as stored. nullopt for an empty key, or a key holding a
// double-quote or a NUL: such a key would end the quoted device id early and let
// registry data add arguments of its own, so no property sheet is asked for.
std::optional<std::wstring> PropertiesCommandLine(std::wstring_view key);

}  // namespace uvantic
