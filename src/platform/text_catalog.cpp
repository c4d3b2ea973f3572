// String tables read with the resource loader, one block of sixteen texts at a time.
#include "platform/text_catalog.h"

namespace uvantic {
namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr unsigned kTextsPerBlock = 16;

}  // namespace

LANGID ResourceLanguage(Language language) {
  switch (language) {
    case Language::German: return MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL);
    case Language::French: return MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL);
    case Language::Spanish: return MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL);
    case Language::Italian: return MAKELANGID(LANG_ITALIAN, SUBLANG_NEUTRAL);
    case Language::PortugueseBrazil: return MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN);
    case Language::Japanese: return MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL);
    case Language::Korean: return MAKELANGID(LANG_KOREAN, SUBLANG_NEUTRAL);
    case Language::ChineseSimplified: return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    case Language::English: break;
  }
  return kEnglish;
}

ResourceTexts::ResourceTexts(Language language, HMODULE module)
    : module_(module ? module : GetModuleHandleW(nullptr)), language_(ResourceLanguage(language)) {}

std::wstring ResourceTexts::Text(TextId id) const {
  std::optional<std::wstring_view> text = Find(id, language_);
  if (!text && language_ != kEnglish) text = Find(id, kEnglish);
  return text ? std::wstring(*text) : std::wstring();
}

// A block holds the texts of ids 16 (n - 1) to 16 n - 1, each a length and as many
// UTF-16 units; a length of 0 is a text the block does not have.
std::optional<std::wstring_view> ResourceTexts::Find(TextId id, LANGID language) const {
  const auto number = static_cast<unsigned>(id);
  const HRSRC found =
      FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(number / kTextsPerBlock + 1), language);
  if (!found) return std::nullopt;
  const HGLOBAL loaded = LoadResource(module_, found);
  const auto* block = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
  if (!block) return std::nullopt;
  const std::size_t units = SizeofResource(module_, found) / sizeof(WCHAR);
  std::size_t at = 0;
  for (unsigned index = 0; index < number % kTextsPerBlock; ++index) {
    if (at >= units) return std::nullopt;
    at += 1 + block[at];
  }
  if (at >= units || block[at] == 0 || at + 1 + block[at] > units) return std::nullopt;
  return std::wstring_view(block + at + 1, block[at]);
}

std::vector<std::wstring> PreferredLanguages() {
  ULONG count = 0;
  ULONG size = 0;
  std::vector<std::wstring> tags;
  if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
    std::wstring names(size, L'\0');
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) {
      // A list of names, each ending in a zero, and an empty one after the last.
      for (const wchar_t* name = names.c_str(); *name; name += wcslen(name) + 1) tags.emplace_back(name);
    }
  }
  if (tags.empty()) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0) {
      tags.emplace_back(name);
    }
  }
  return tags;
}

Language UserLanguage() { return ChooseLanguage(PreferredLanguages()); }

}  // namespace uvantic
