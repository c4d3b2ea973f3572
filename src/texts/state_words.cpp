// The words for a status and for a row's icon and dimming.
#include "texts/state_words.h"

namespace uvantic {

TextId StatusText(CableStatus status) {
  switch (status) {
    case CableStatus::NotPresent: return TextId::StatusNotPresent;
    case CableStatus::DriverNotLoaded: return TextId::StatusDriverNotLoaded;
    case CableStatus::Disabled: return TextId::StatusDisabled;
    case CableStatus::Ok: break;
  }
  return TextId::StatusOk;
}

std::optional<TextId> StateWords(std::optional<CableStatus> status, bool disabledIcon, bool ghosted) {
  const bool disabled = disabledIcon && status != CableStatus::Disabled;
  if (disabled && ghosted) return TextId::WordsDisabledNotServed;
  if (disabled) return TextId::WordsDisabled;
  if (ghosted) return TextId::WordsNotServed;
  return std::nullopt;
}

std::wstring StateWordsText(const Texts& texts, std::optional<TextId> words) {
  return words ? texts.Text(*words) : std::wstring();
}

std::wstring RowDescription(const Texts& texts, std::wstring_view status, std::optional<TextId> words,
                            std::wstring_view cableId) {
  if (!words) return FillIn(texts.Text(TextId::RowDescription), {{L"status", status}, {L"cable", cableId}});
  const std::wstring wordsText = texts.Text(*words);
  return FillIn(texts.Text(TextId::RowDescriptionWords),
                {{L"status", status}, {L"words", wordsText}, {L"cable", cableId}});
}

}  // namespace uvantic
