// Screenshots of the program's window, taken from the screen as the user sees it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace uvantic::e2e {

// Copies the window's screen rectangle (frame and caption included) into a PNG file,
// after giving the window a moment to finish painting; false when the screen could
// not be read or the file not written.
bool SaveWindowScreenshot(HWND window, const std::wstring& pngPath);

// The window's screen rectangle as 0x00RRGGBB pixels, top row first, its size in width
// and height; empty when the screen could not be read.
std::vector<std::uint32_t> WindowPixels(HWND window, int* width, int* height);

}  // namespace uvantic::e2e
