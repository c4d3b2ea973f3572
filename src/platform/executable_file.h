// The full path of the running executable or of a loaded library.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace uvantic {

// The path of a loaded module as the system reports it, however long; the running
// executable's for a null module. nullopt when it cannot be read.
std::optional<std::wstring> ModuleFilePath(HMODULE module);

inline std::optional<std::wstring> ExecutableFilePath() { return ModuleFilePath(nullptr); }

}  // namespace uvantic
