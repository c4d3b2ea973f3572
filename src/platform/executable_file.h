// The full path of the running executable.
#pragma once

#include <optional>
#include <string>

namespace uvantic {

// As the system reports it, however long; nullopt when it cannot be read.
std::optional<std::wstring> ExecutableFilePath();

}  // namespace uvantic
