// Reads the system's directories with buffers that grow to fit.
#include "platform/system_directory.h"

#include <windows.h>

namespace uvantic {
namespace {

template <typename ReadDirectory>
std::optional<std::wstring> ReadDirectoryName(ReadDirectory read) {
  std::wstring directory(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = read(directory.data(), static_cast<UINT>(directory.size()));
    if (length == 0) return std::nullopt;
    if (length < directory.size()) {
      directory.resize(length);
      return directory;
    }
    directory.resize(length);  // the size asked for, terminator included
  }
}

}  // namespace

std::optional<std::wstring> SystemDirectoryFile(std::wstring_view name) {
  auto directory = ReadDirectoryName(&GetSystemDirectoryW);
  if (!directory) return std::nullopt;
  if (directory->empty() || directory->back() != L'\\') directory->push_back(L'\\');
  directory->append(name);
  return directory;
}

std::optional<std::wstring> SystemWindowsDirectory() {
  auto directory = ReadDirectoryName(&GetSystemWindowsDirectoryW);
  if (directory && !directory->empty() && directory->back() == L'\\') directory->pop_back();
  return directory;
}

}  // namespace uvantic
