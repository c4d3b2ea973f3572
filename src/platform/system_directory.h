// Full paths of files in the Windows system directory and of the Windows directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// "<system directory>\<name>"; nullopt when the system directory cannot be read.
std::optional<std::wstring> SystemDirectoryFile(std::wstring_view name);

// The system's Windows directory (not a user's own one on a terminal server), without a
// trailing backslash; nullopt when it cannot be read.
std::optional<std::wstring> SystemWindowsDirectory();

}  // namespace uvantic
