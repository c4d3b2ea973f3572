// The executable's directory and name, taken apart from its full path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

struct ExecutablePathParts {
  std::wstring directory;  // without a trailing backslash, except a drive's root ("C:\")
  std::wstring name;       // the file name without its extension

  friend bool operator==(const ExecutablePathParts&, const ExecutablePathParts&) = default;
};

// Splits at the last backslash; the extension is what follows the file name's last
// dot. nullopt for a path without a backslash or without a file name.
std::optional<ExecutablePathParts> SplitExecutablePath(std::wstring_view path);

}  // namespace uvantic
