// Strict conversion to the ANSI code page.
#include "platform/ansi_text.h"

#include <windows.h>

#include <climits>

namespace uvantic {

std::optional<std::string> ToAnsi(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int wideLength = static_cast<int>(text.size());
  const DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  const int length =
      WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, ansi.data(), length, nullptr,
                          &usedDefault) != length ||
      usedDefault) {
    return std::nullopt;
  }
  return ansi;
}

}  // namespace uvantic
