// The command line that asks the device property sheet for one device, and where the
// sheet is asked for.
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

// How the property sheet is asked for. With program empty, devmgr.dll's entry point
// is called in this process with commandLine. Otherwise program is started, by its
// full path, with commandLine as its whole command line and directory as its current
// directory.
struct PropertySheetRequest {
  std::wstring program;
  std::wstring commandLine;
  std::wstring directory;

  bool operator==(const PropertySheetRequest&) const = default;
};

// A 32-bit program on 64-bit Windows (wow64) would get the 32-bit sheet in its own
// process, where the system refuses the class-installer calls behind every change made
// in it. So there the native rundll32 shows the native sheet in a process of its own:
// "<windowsDirectory>\Sysnative\rundll32.exe", the alias of the native system directory
// that only 32-bit processes see, with the same Properties command line after
// `devmgr.dll,DeviceProperties_RunDLL`, in the Windows directory rather than ours.
// nullopt when the key is refused, or under wow64 when windowsDirectory is empty or
// holds a double-quote.
std::optional<PropertySheetRequest> PropertySheetRequestFor(std::wstring_view key, bool wow64,
                                                            std::wstring_view windowsDirectory);

}  // namespace uvantic
