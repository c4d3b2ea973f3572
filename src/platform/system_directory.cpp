// Reads the system's directories with buffers that grow to fit, and asks the system
// how it runs this process.
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

UniqueHModule LoadSystemLibrary(std::wstring_view name) {
  const auto path = SystemDirectoryFile(name);
  if (!path) return {};
  return UniqueHModule(LoadLibraryExW(path->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

std::optional<std::wstring> SystemWindowsDirectory() {
  auto directory = ReadDirectoryName(&GetSystemWindowsDirectoryW);
  if (directory && !directory->empty() && directory->back() == L'\\') directory->pop_back();
  return directory;
}

// IsWow64Process2 (Windows 10 version 1709 onwards) also knows an x86 process on ARM64
// Windows; older systems have IsWow64Process alone.
bool RunsUnderWow64() {
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  static const bool wow64 = [] {
    const UniqueHModule kernel32 = LoadSystemLibrary(L"kernel32.dll");
    const auto isWow64Process2 =
        kernel32 ? reinterpret_cast<IsWow64Process2Fn>(
                       reinterpret_cast<void*>(GetProcAddress(kernel32.get(), "IsWow64Process2")))
                 : nullptr;
    USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT nativeMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine)) {
      return processMachine != IMAGE_FILE_MACHINE_UNKNOWN;
    }
    BOOL isWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &isWow64) && isWow64;
  }();
  return wow64;
}

}  // namespace uvantic
