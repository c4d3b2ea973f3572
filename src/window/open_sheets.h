// The property sheets this program has started in processes of their own, one per
// cable: whether a cable's sheet is still open, so that Properties brings it forward
// rather than opening a second one for the same cable.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "discovery/registry_name.h"

namespace uvantic {

// Sheet is what was started: anything with `bool Running() const`. Keys are instance
// paths, matched without regard to letter case as the registry matches them.
template <typename Sheet>
class OpenSheets {
 public:
  // The sheet started for key that is still open, or nullptr. Every sheet that has
  // closed is forgotten first, so a closed one is never brought forward and the list
  // holds no more than the sheets open now.
  Sheet* OpenFor(std::wstring_view key) {
    std::erase_if(sheets_, [](const auto& entry) { return !entry.second.Running(); });
    for (auto& [sheetKey, sheet] : sheets_) {
      if (SameRegistryName(sheetKey, key)) return &sheet;
    }
    return nullptr;
  }

  // Remembers a sheet just started for key, in place of any earlier one for it.
  void Add(std::wstring_view key, Sheet sheet) {
    std::erase_if(sheets_, [&](const auto& entry) { return SameRegistryName(entry.first, key); });
    sheets_.emplace_back(std::wstring(key), std::move(sheet));
  }

 private:
  std::vector<std::pair<std::wstring, Sheet>> sheets_;
};

}  // namespace uvantic
