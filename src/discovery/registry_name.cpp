// Letter case folded as the registry folds it: to upper case, character by character.
#include "discovery/registry_name.h"

#include <algorithm>
#include <cwctype>

namespace uvantic {
namespace {

wchar_t FoldCase(wchar_t c) {
  if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
  return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
}

}  // namespace

bool SameRegistryName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

bool RegistryNameLess::operator()(std::wstring_view a, std::wstring_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](wchar_t x, wchar_t y) { return FoldCase(x) < FoldCase(y); });
}

}  // namespace uvantic
