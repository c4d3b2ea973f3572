// Reads the system directory with a buffer that grows to fit.
#include "platform/system_directory.h"

#include <windows.h>

namespace uvantic {

std::optional<std::wstring> SystemDirectoryFile(std::wstring_view name) {
  std::wstring directory(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = GetSystemDirectoryW(directory.data(), static_cast<UINT>(directory.size()));
    if (length == 0) return std::nullopt;
    if (length < directory.size()) {
      directory.resize(length);
      break;
    }
    directory.resize(length);  // the size asked for, terminator included
  }
  if (directory.back() != L'\\') directory.push_back(L'\\');
  directory.append(name);
  return directory;
}

}  // namespace uvantic
