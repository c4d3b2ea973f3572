// Strict conversion to the ANSI code page.
#include "platform/ansi_text.h"

#include <windows.h>

#include <climits>

namespace uvantic {

std::optional<std::string> ToCodePage(std::wstring_view text, unsigned codePage) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int wideLength = static_cast<int>(text.size());
  // UTF-8, the ANSI code page where the system is set to use it, holds every character
  // and so has no default character: the system refuses the best-fit flag and the
  // default-character report for it, and the conversion would fail for every text.
  // Broken surrogate pairs are refused instead.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int length =
      WideCharToMultiByte(codePage, flags, text.data(), wideLength, nullptr, 0, nullptr, usedDefaultOut);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string converted(static_cast<std::size_t>(length), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(codePage, flags, text.data(), wideLength, converted.data(), length, nullptr,
                          usedDefaultOut) != length ||
      usedDefault) {
    return std::nullopt;
  }
  return converted;
}

std::optional<std::string> ToAnsi(std::wstring_view text) { return ToCodePage(text, GetACP()); }

}  // namespace uvantic
