// Full paths of files in the Windows system directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// "<system directory>\<name>"; nullopt when the system directory cannot be read.
std::optional<std::wstring> SystemDirectoryFile(std::wstring_view name);

}  // namespace uvantic
