// Screenshots of the program's window, taken from the screen as the user sees it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace uvantic::e2e {

// Copies the window's screen rectangle (frame and caption included) into a PNG file,
// after giving the window a moment to finish painting; false when the screen could
// not be read or the file not written.
bool SaveWindowScreenshot(HWND window, const std::wstring& pngPath);

// The window's screen rectangle as the screen shows it, top row first, red, green and
// blue bytes; nullopt when the screen could not be read.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
};
std::optional<Pixels> CaptureWindow(HWND window);

}  // namespace uvantic::e2e
