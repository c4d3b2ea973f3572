// The choice of language and the filling of a text's placeholders, without Windows.
#include <gtest/gtest.h>

#include "texts/language.h"
#include "texts/texts.h"

namespace uvantic {
namespace {

TEST(ChooseLanguage, TakesTheFirstPreferredLanguageWeSpeakElseEnglish) {
  using enum Language;
  const struct {
    std::vector<std::wstring> preferred;
    Language expected;
  } cases[] = {
      {{L"de-CH"}, German}, {{L"fr-CA"}, French}, {{L"ES-mx"}, Spanish}, {{L"it_IT"}, Italian},
      {{L"pt-BR"}, PortugueseBrazil}, {{L"pt-PT"}, English}, {{L"pt-PT", L"es-ES"}, Spanish},
      {{L"ja-JP"}, Japanese}, {{L"ko-KR"}, Korean}, {{L"zh-CN"}, ChineseSimplified}, {{L"zh-SG"}, ChineseSimplified},
      {{L"zh-Hans"}, ChineseSimplified}, {{L"zh-Hans-HK"}, ChineseSimplified}, {{L"zh-TW"}, English},
      {{L"zh-Hant-CN"}, English}, {{L"en-GB", L"de-DE"}, English}, {{L"nl-NL", L"fi-FI"}, English},
      {{L"nl-NL", L"ko-KR", L"de-DE"}, Korean}, {{L""}, English}, {{}, English},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseLanguage(c.preferred), c.expected) << c.preferred.size() << " languages";
  EXPECT_EQ(LanguageTag(PortugueseBrazil), L"pt-BR");
  EXPECT_EQ(LanguageTag(ChineseSimplified), L"zh-CN");
}

TEST(FillIn, PutsEachValueInItsPlaceholderOnce) {
  const struct {
    std::wstring_view pattern, expected;
  } cases[] = {
      {L"{port} is ready (cable {cable})", L"COM7 is ready (cable {port})"},
      {L"Kabel {cable} an {port}", L"Kabel {port} an COM7"}, {L"{count} {unknown} {", L"{count} {unknown} {"},
      {L"a {{port}} b}", L"a {COM7} b}"}, {L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FillIn(c.pattern, {{L"port", L"COM7"}, {L"cable", L"{port}"}}), c.expected) << c.pattern.data();
  }
}

}  // namespace
}  // namespace uvantic
