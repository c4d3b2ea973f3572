// The words for a row's icon and dimming.
#include "discovery/state_words.h"

#include "discovery/device_state.h"

namespace uvantic {

std::wstring StateWords(std::wstring_view status, bool disabledIcon, bool ghosted) {
  std::wstring words;
  if (disabledIcon && status != kStatusDisabled) words = kWordsDisabled;
  if (ghosted) {
    if (!words.empty()) words += L", ";
    words += kWordsNotServed;
  }
  return words;
}

std::wstring RowDescription(std::wstring_view status, std::wstring_view words, std::wstring_view cableId) {
  std::wstring text = L"Status: ";
  text += status;
  if (!words.empty()) text.append(L" (").append(words).append(L")");
  return text.append(L", USB Cable ID: ").append(cableId);
}

}  // namespace uvantic
