// The command line that asks the device property sheet for one device, and where the
// sheet is asked for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace uvantic {

// `/MachineName "" /DeviceID "<key>"`: an empty machine name is this computer, the
// key goes in exactly as stored. nullopt for an empty key, or a key holding a
// double-quote or a NUL: such a key would end the quoted device id early and let
// registry data add arguments of its own, so no property sheet is asked for.
std::optional<std::wstring> PropertiesCommandLine(std::wstring_view key);

// The machines a program is built for and a system runs natively, with the numbers
// the executable's header gives them.
enum class Machine : unsigned short { x86 = 0x014c, x64 = 0x8664, arm64 = 0xaa64 };

// devmgr.dll's entry point called in this process with commandLine; the sheet is then
// modal to the window.
struct InProcessSheet {
  std::wstring commandLine;

  bool operator==(const InProcessSheet&) const = default;
};

// program started by its full path, with commandLine as its whole command line and
// directory as its current directory; it loads library, the native devmgr.dll, which is
// to be there before program is started.
struct OutOfProcessSheet {
  std::wstring program;
  std::wstring commandLine;
  std::wstring directory;
  std::wstring library;

  bool operator==(const OutOfProcessSheet&) const = default;
};

using PropertySheetRequest = std::variant<InProcessSheet, OutOfProcessSheet>;

// Where the program's machine is the system's native one, in this process. Elsewhere the
// sheet in our process is not the system's own: a 32-bit program on 64-bit Windows
// (WOW64) gets the 32-bit sheet, where the system refuses the class-installer calls
// behind every change made in it; an x64 program emulated on ARM64 Windows cannot load
// a driver's ARM64 property pages. So there the native rundll32 shows the native sheet
// in a process of its own, with the same Properties command line after
// `devmgr.dll,DeviceProperties_RunDLL`, in the Windows directory rather than ours:
// "<windowsDirectory>\Sysnative\rundll32.exe" for an x86 program, the alias of the
// native system directory that only 32-bit processes see, and System32 for an x64 one.
// nullopt when the key is refused, or out of process when windowsDirectory is empty or
// holds a double-quote.
std::optional<PropertySheetRequest> PropertySheetRequestFor(std::wstring_view key, Machine program, Machine native,
                                                            std::wstring_view windowsDirectory);

}  // namespace uvantic
