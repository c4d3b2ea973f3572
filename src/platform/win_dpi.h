// Screen resolution of a window and the things that follow from it: frame size and
// the message font. Uses the per-window functions of newer systems when present.
#pragma once

#include <windows.h>

#include "platform/handles.h"
#include "platform/system_function.h"

namespace uvantic {

// Dots per inch of the screen the window is on: the window's own, else its monitor's,
// else the system's resolution (see ChooseWindowDpi), with the functions of newer
// systems looked up through lookup.
int WindowDpi(HWND hwnd, SystemExportLookup lookup = &SystemExport);
int SystemDpi();

// The window rectangle that gives this client rectangle at this resolution.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// The side of a small icon (the notification area's) at this resolution.
int SmallIconSize(int dpi);

// The platform's message font at this resolution; null when it cannot be made.
UniqueHFont CreateMessageFont(int dpi);

// A font's em height in pixels (the character height, without internal leading); 0
// when it cannot be told.
int FontEmPixels(HFONT font);

}  // namespace uvantic
