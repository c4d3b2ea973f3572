// Loads each system library once, by its full path, and keeps it for the process's life.
#include "platform/system_function.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/handles.h"
#include "platform/system_directory.h"

namespace uvantic {

FARPROC SystemExport(const wchar_t* library, const char* name) {
  static std::vector<std::pair<std::wstring, UniqueHModule>> loaded;
  auto entry = std::ranges::find(loaded, std::wstring_view(library), [](const auto& e) { return std::wstring_view(e.first); });
  if (entry == loaded.end()) {
    const auto path = SystemDirectoryFile(library);
    if (!path) return nullptr;
    // The library's own dependencies are looked for beside it, in the system directory, first.
    UniqueHModule module(LoadLibraryExW(path->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module) return nullptr;
    entry = loaded.emplace(loaded.end(), library, std::move(module));
  }
  return GetProcAddress(entry->second.get(), name);
}

}  // namespace uvantic
