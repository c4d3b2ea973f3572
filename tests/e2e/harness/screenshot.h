// Screenshots of the program's window, taken from the screen as the user sees it.
#pragma once

#include <windows.h>

#include <string>

namespace uvantic::e2e {

// Copies the window's screen rectangle (frame and caption included) into a PNG file,
// after giving the window a moment to finish painting; false when the screen could
// not be read or the file not written.
bool SaveWindowScreenshot(HWND window, const std::wstring& pngPath);

}  // namespace uvantic::e2e
