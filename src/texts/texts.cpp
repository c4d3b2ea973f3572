// Placeholders filled in, and the English table.
#include "texts/texts.h"

#include <algorithm>
#include <iterator>

namespace uvantic {
namespace {

constexpr std::wstring_view kEnglish[] = {
#include "texts/english_texts.inc"
};
static_assert(std::size(kEnglish) == kTextCount);

}  // namespace

std::wstring FillIn(std::wstring_view pattern, std::initializer_list<Placeholder> values) {
  std::wstring text;
  text.reserve(pattern.size());
  for (;;) {
    const std::size_t close = pattern.find(L'}');
    if (close == std::wstring_view::npos) break;
    const std::size_t open = pattern.substr(0, close).rfind(L'{');
    const std::wstring_view name = open == std::wstring_view::npos ? std::wstring_view() : pattern.substr(open + 1, close - open - 1);
    const auto value = std::find_if(values.begin(), values.end(), [&](const Placeholder& p) { return p.first == name; });
    if (open == std::wstring_view::npos || value == values.end()) {
      text.append(pattern.substr(0, close + 1));
    } else {
      text.append(pattern.substr(0, open)).append(value->second);
    }
    pattern.remove_prefix(close + 1);
  }
  return text.append(pattern);
}

std::wstring EnglishTexts::Text(TextId id) const {
  const auto index = static_cast<std::size_t>(id) - 1;
  return index < std::size(kEnglish) ? std::wstring(kEnglish[index]) : std::wstring();
}

}  // namespace uvantic
