// The texts in the user's language, from the string tables compiled into the program:
// one table per language under its LANGUAGE, found with FindResourceEx for the chosen
// language and English for a text it lacks. The thread's UI language is left alone, so
// that Windows' own dialogs the program opens (the property sheet) keep the user's.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "texts/language.h"
#include "texts/texts.h"

namespace uvantic {

// The LANGUAGE its texts are compiled under: the neutral sublanguage where regions
// share the texts, Brazil's Portuguese, simplified Chinese, US English.
LANGID ResourceLanguage(Language language);

class ResourceTexts final : public Texts {
 public:
  // The string tables of module; nullptr is the program's own file.
  explicit ResourceTexts(Language language, HMODULE module = nullptr);
  // Empty only when neither the language nor English has the text.
  std::wstring Text(TextId id) const override;

 private:
  std::optional<std::wstring_view> Find(TextId id, LANGID language) const;

  HMODULE module_;
  LANGID language_;
};

// The display languages the user prefers, the most preferred first, as language tags
// ("de-DE"); the user's UI language alone where the list cannot be read.
std::vector<std::wstring> PreferredLanguages();

// ChooseLanguage over PreferredLanguages.
Language UserLanguage();

}  // namespace uvantic
