// Texts for tests: English, but for the texts given, as a translation would have them.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "texts/texts.h"

namespace uvantic {

class SomeTexts final : public Texts {
 public:
  explicit SomeTexts(std::map<TextId, std::wstring> texts = {}) : texts_(std::move(texts)) {}
  std::wstring Text(TextId id) const override {
    const auto found = texts_.find(id);
    return found != texts_.end() ? found->second : english_.Text(id);
  }

 private:
  std::map<TextId, std::wstring> texts_;
  EnglishTexts english_;
};

}  // namespace uvantic
