// The texts a person reads, by id, in the language the program speaks, and the filling
// of a text's placeholders. The ids and the English texts come from the catalogue in
// resources/strings; each language's texts from its own file there.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "texts/text_ids.h"

namespace uvantic {

class Texts {
 public:
  virtual ~Texts() = default;
  // The text for id. A text the language lacks is the English one.
  virtual std::wstring Text(TextId id) const = 0;
};

// A placeholder's name, without its braces, and its value.
using Placeholder = std::pair<std::wstring_view, std::wstring_view>;

// pattern with each "{name}" replaced by its value, in one pass: a value is never read
// for placeholders. A placeholder without a value stays as it is.
std::wstring FillIn(std::wstring_view pattern, std::initializer_list<Placeholder> values);

// The English texts, compiled from en.txt: what the native build and its tests speak.
class EnglishTexts final : public Texts {
 public:
  std::wstring Text(TextId id) const override;
};

}  // namespace uvantic
