// Matching the user's preferred display languages with the program's.
#include "texts/language.h"

#include <optional>

namespace uvantic {

std::wstring AsciiLower(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

namespace {

// The subtags of a tag: "zh-Hans-SG" is "zh", "hans", "sg". Windows writes "-"; "_"
// is taken as well.
std::vector<std::wstring> Subtags(std::wstring_view tag) {
  std::vector<std::wstring> subtags;
  const std::wstring lower = AsciiLower(tag);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = lower.find_first_of(L"-_", start);
    subtags.push_back(lower.substr(start, end - start));
    if (end == std::wstring::npos) return subtags;
    start = end + 1;
  }
}

// Chinese in the simplified script: "zh" alone, "zh-Hans...", or a region that writes it.
bool SimplifiedChinese(const std::vector<std::wstring>& subtags) {
  if (subtags.size() == 1) return true;
  const std::wstring& second = subtags[1];
  return second == L"hans" || second == L"chs" || second == L"cn" || second == L"sg";
}

// Portuguese as Brazil writes it; "pt" alone is Windows' Portuguese, which is Brazil's.
bool BrazilianPortuguese(const std::vector<std::wstring>& subtags) {
  return subtags.size() == 1 || subtags[1] == L"br";
}

std::optional<Language> Match(std::wstring_view tag) {
  const std::vector<std::wstring> subtags = Subtags(tag);
  const std::wstring& primary = subtags.front();
  if (primary == L"en") return Language::English;
  if (primary == L"de") return Language::German;
  if (primary == L"fr") return Language::French;
  if (primary == L"es") return Language::Spanish;
  if (primary == L"it") return Language::Italian;
  if (primary == L"ja") return Language::Japanese;
  if (primary == L"ko") return Language::Korean;
  if (primary == L"pt" && BrazilianPortuguese(subtags)) return Language::PortugueseBrazil;
  if (primary == L"zh" && SimplifiedChinese(subtags)) return Language::ChineseSimplified;
  return std::nullopt;
}

}  // namespace

Language ChooseLanguage(const std::vector<std::wstring>& preferred) {
  for (const std::wstring& tag : preferred) {
    if (const std::optional<Language> language = Match(tag)) return *language;
  }
  return Language::English;
}

std::wstring_view LanguageTag(Language language) {
  switch (language) {
    case Language::German: return L"de";
    case Language::French: return L"fr";
    case Language::Spanish: return L"es";
    case Language::Italian: return L"it";
    case Language::PortugueseBrazil: return L"pt-BR";
    case Language::Japanese: return L"ja";
    case Language::Korean: return L"ko";
    case Language::ChineseSimplified: return L"zh-CN";
    case Language::English: break;
  }
  return L"en";
}

}  // namespace uvantic
