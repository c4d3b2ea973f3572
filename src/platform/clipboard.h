// Puts text on the clipboard for other programs to paste.
#pragma once

#include <windows.h>

#include <string>

namespace uvantic {

// Replaces the clipboard's contents with text as Unicode text, owned by window. False
// when the clipboard cannot be opened (another program holds it) or the text cannot be
// handed over; the clipboard is then left as it was, or empty if it was already cleared.
bool CopyTextToClipboard(HWND window, const std::wstring& text);

}  // namespace uvantic
