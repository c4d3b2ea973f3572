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
  const auto entry =
      std::ranges::find(loaded, std::wstring_view(library), [](const auto& e) { return std::wstring_view(e.first); });
  if (entry != loaded.end()) return GetProcAddress(entry->second.get(), name);
  const auto path = SystemDirectoryFile(library);
  if (!path) return nullptr;
  // The library's own dependencies are looked for beside it, in the system directory, first.
  UniqueHModule module(LoadLibraryExW(path->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  const FARPROC address = module ? GetProcAddress(module.get(), name) : nullptr;
  // A copy without the export is let go, so that a later call finds one put in its place.
  if (address) loaded.emplace_back(library, std::move(module));
  return address;
}

}  // namespace uvantic
