// Mouse and keyboard input as a user gives it: real input events through SendInput,
// aimed at points of the program's controls.
#pragma once

#include <windows.h>

namespace uvantic::e2e {

enum class MouseButton { Left, Right, Middle };

// Brings the program's window to the front so that keys reach it; false when it did
// not become the foreground window.
bool BringToFront(HWND window);

// Clicks at a point of control given in its client coordinates; the centre when no
// point is given.
void Click(HWND control, MouseButton button = MouseButton::Left);
void ClickAt(HWND control, POINT clientPoint, MouseButton button = MouseButton::Left);
void DoubleClick(HWND control);
void DoubleClickAt(HWND control, POINT clientPoint);
// Moves the pointer without clicking (hover).
void MoveTo(HWND control, POINT clientPoint);
// A button pressed or released alone, wherever the pointer is, for presses that overlap.
void Press(MouseButton button);
void Release(MouseButton button);

void PressKey(WORD virtualKey, bool extended = false);
void PressAlt(wchar_t letter);
void PressCtrl(wchar_t letter);
// The context-menu (Applications) key; it needs the extended-key flag to be seen.
void PressApplicationsKey();

// Waits past the double-click time, so that two clicks stay two clicks.
void WaitPastDoubleClickTime();

// The program's popup menu: the visible one, or nullptr; waited for; looked for long
// enough to be sure none appears; closed with Esc.
HWND PopupMenu(DWORD processId);
HWND WaitForPopupMenu(DWORD processId);
bool NoPopupMenuAppears(DWORD processId);
void DismissPopupMenu(DWORD processId);
// Clicks the popup's only item, "What's This?".
void ChooseWhatsThis(DWORD processId, HWND popup);
// A right click on the control, then the item; false when no popup opened.
bool OpenPopupAndChoose(DWORD processId, HWND control);

}  // namespace uvantic::e2e
