// Registry key and value names match without regard to letter case; these compare
// them that way, for the in-memory registry and for lists keyed by instance names.
#pragma once

#include <string_view>

namespace uvantic {

bool SameRegistryName(std::wstring_view a, std::wstring_view b);

// Orders names as the registry matches them; usable as a map's transparent comparator.
struct RegistryNameLess {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const;
};

}  // namespace uvantic
