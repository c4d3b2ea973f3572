// Takes an executable's full path apart into directory and name.
#include "startup/executable_path.h"

namespace uvantic {

std::optional<ExecutablePathParts> SplitExecutablePath(std::wstring_view path) {
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring_view::npos || slash + 1 == path.size()) return std::nullopt;
  std::wstring_view directory = path.substr(0, slash);
  std::wstring_view file = path.substr(slash + 1);
  const std::size_t dot = file.rfind(L'.');
  if (dot != std::wstring_view::npos && dot > 0) file = file.substr(0, dot);
  ExecutablePathParts parts{std::wstring(directory), std::wstring(file)};
  // A drive's root is reported with its backslash, as the directory "C:\".
  if (!directory.empty() && directory.back() == L':') parts.directory.push_back(L'\\');
  return parts;
}

}  // namespace uvantic
