// What Ctrl+C does in the main window: which key press copies the selected row, and
// the text the row becomes on the clipboard.
#pragma once

#include <string>
#include <string_view>

namespace uvantic {

// Shift, Ctrl and Alt as one number: 1 Shift, 2 Ctrl, 4 Alt, summed.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Ctrl with C and no other modifier; Ctrl+Alt is AltGr on many keyboards and types a
// character instead.
bool KeyCopiesRow(int keyCode, int shift);

// The row as one line that pastes into a spreadsheet as three cells: port, status and
// cable identifier separated by tabs, ending in CR LF. A row whose icon or dimming
// tells more than its status gets a fourth cell that says it in words (StateWords).
std::wstring CopiedRowText(std::wstring_view port, std::wstring_view status, std::wstring_view cableId,
                           std::wstring_view words = {});

}  // namespace uvantic
