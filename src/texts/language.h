// Which of the program's languages the user reads: chosen from the display languages
// the user prefers, as Windows chooses for its own programs, with English for a user
// whose languages the program does not have.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace uvantic {

enum class Language { English, German, French, Spanish, Italian, PortugueseBrazil, Japanese, Korean, ChineseSimplified };

// The first of the preferred languages (tags such as "de-CH" or "zh-Hans-SG", the most
// preferred first, letter case ignored) that the program speaks; English when none is.
// A language matches whatever its region, except Portuguese, which is Brazil's only,
// and Chinese, which is the simplified script only (China and Singapore).
Language ChooseLanguage(const std::vector<std::wstring>& preferred);

// The tag that names the language's catalogue and its folder beside the program:
// "de", "pt-BR", "zh-CN"; "en" for English.
std::wstring_view LanguageTag(Language language);

// text with the letters A to Z made lower case; language tags and command-line options
// compare that way, and only ASCII letters belong to either.
std::wstring AsciiLower(std::wstring_view text);

}  // namespace uvantic
