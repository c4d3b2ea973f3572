// Reads a module's path with a buffer that grows until the path fits.
#include "platform/executable_file.h"

namespace uvantic {

std::optional<std::wstring> ModuleFilePath(HMODULE module) {
  // Long paths exceed MAX_PATH; the function truncates silently when the buffer is
  // full, so a full buffer means "try again, larger".
  constexpr DWORD kLargestPath = 32768;
  for (DWORD size = MAX_PATH; size <= 2 * kLargestPath; size *= 2) {
    std::wstring path(size, L'\0');
    const DWORD length = GetModuleFileNameW(module, path.data(), size);
    if (length == 0) return std::nullopt;
    if (length < size) {
      path.resize(length);
      return path;
    }
  }
  return std::nullopt;
}

}  // namespace uvantic
