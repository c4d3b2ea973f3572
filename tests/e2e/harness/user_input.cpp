// SendInput-based input for the program under test.
#include "user_input.h"

#include <cwctype>
#include <vector>

#include "running_program.h"
#include "wait.h"

namespace uvantic::e2e {
namespace {

// Time for the input to be dispatched before the next event or check.
constexpr DWORD kSettleMs = 50;

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(kSettleMs);
}

INPUT MouseInput(DWORD flags, LONG x = 0, LONG y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.dwFlags = flags;
  return input;
}

INPUT KeyInput(WORD virtualKey, bool up, bool extended) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

// Absolute mouse coordinates run from 0 to 65535 across the primary screen.
INPUT MoveInput(POINT screen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const LONG x = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
  const LONG y = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
  return MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

POINT ToScreen(HWND control, POINT clientPoint) {
  ClientToScreen(control, &clientPoint);
  return clientPoint;
}

POINT Centre(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  return {(client.right - client.left) / 2, (client.bottom - client.top) / 2};
}

DWORD ButtonFlag(MouseButton button, bool down) {
  switch (button) {
    case MouseButton::Left: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case MouseButton::Right: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case MouseButton::Middle: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  }
  return 0;
}

void ButtonClicks(POINT screen, MouseButton button, int clicks) {
  std::vector<INPUT> inputs{MoveInput(screen)};
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseInput(ButtonFlag(button, true)));
    inputs.push_back(MouseInput(ButtonFlag(button, false)));
  }
  Send(inputs);
}

// A letter key with Ctrl or Alt held.
void PressWith(WORD modifier, wchar_t letter) {
  const auto key = static_cast<WORD>(std::towupper(letter));
  Send({KeyInput(modifier, false, false), KeyInput(key, false, false), KeyInput(key, true, false),
        KeyInput(modifier, true, false)});
}

}  // namespace

bool BringToFront(HWND window) {
  if (GetForegroundWindow() == window) return true;
  SetForegroundWindow(window);
  for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) Sleep(10);
  return GetForegroundWindow() == window;
}

void Click(HWND control, MouseButton button) { ClickAt(control, Centre(control), button); }

void ClickAt(HWND control, POINT clientPoint, MouseButton button) {
  ButtonClicks(ToScreen(control, clientPoint), button, 1);
}

void DoubleClick(HWND control) { DoubleClickAt(control, Centre(control)); }

void DoubleClickAt(HWND control, POINT clientPoint) {
  ButtonClicks(ToScreen(control, clientPoint), MouseButton::Left, 2);
}

void MoveTo(HWND control, POINT clientPoint) { Send({MoveInput(ToScreen(control, clientPoint))}); }

void Press(MouseButton button) { Send({MouseInput(ButtonFlag(button, true))}); }

void Release(MouseButton button) { Send({MouseInput(ButtonFlag(button, false))}); }

void PressKey(WORD virtualKey, bool extended) {
  Send({KeyInput(virtualKey, false, extended), KeyInput(virtualKey, true, extended)});
}

void PressAlt(wchar_t letter) { PressWith(VK_MENU, letter); }

void PressCtrl(wchar_t letter) { PressWith(VK_CONTROL, letter); }

void PressApplicationsKey() { PressKey(VK_APPS, true); }

void WaitPastDoubleClickTime() { Sleep(GetDoubleClickTime() + 100); }

HWND PopupMenu(DWORD processId) { return FindTopWindow({processId, L"#32768"}); }

HWND WaitForPopupMenu(DWORD processId) {
  HWND popup = nullptr;
  WaitUntil([&] { return (popup = PopupMenu(processId)) != nullptr; }, Milliseconds{5000});
  return popup;
}

bool NoPopupMenuAppears(DWORD processId) {
  return !WaitUntil([&] { return PopupMenu(processId) != nullptr; }, Milliseconds{800});
}

void DismissPopupMenu(DWORD processId) {
  if (!PopupMenu(processId)) return;
  PressKey(VK_ESCAPE);
  WaitUntil([&] { return PopupMenu(processId) == nullptr; }, Milliseconds{3000});
}

void ChooseWhatsThis(DWORD processId, HWND popup) {
  Click(popup);
  WaitUntil([&] { return PopupMenu(processId) == nullptr; }, Milliseconds{3000});
}

bool OpenPopupAndChoose(DWORD processId, HWND control) {
  Click(control, MouseButton::Right);
  const HWND popup = WaitForPopupMenu(processId);
  if (popup == nullptr) return false;
  ChooseWhatsThis(processId, popup);
  return true;
}

}  // namespace uvantic::e2e
