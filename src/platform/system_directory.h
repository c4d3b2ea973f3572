// Full paths of files in the Windows system directory, and the libraries loaded from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/handles.h"

namespace uvantic {

// "<system directory>\<name>"; nullopt when the system directory cannot be read.
std::optional<std::wstring> SystemDirectoryFile(std::wstring_view name);

// Loads a system library from the system directory only: a copy beside the program or
// in the current directory is never loaded. Its own dependencies are also looked for in
// the system directory first. Null when it cannot be loaded.
UniqueHModule LoadSystemLibrary(std::wstring_view name);

// The system's Windows directory (not a user's own one on a terminal server), without a
// trailing backslash; nullopt when it cannot be read.
std::optional<std::wstring> SystemWindowsDirectory();

// Whether this process is a 32-bit one on 64-bit Windows.
bool RunsUnderWow64();

}  // namespace uvantic
