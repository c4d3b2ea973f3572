// Cross-process reads of windows and their child controls.
#include "window_probe.h"

namespace uvantic::e2e {
namespace {

constexpr UINT kMessageTimeoutMs = 5000;

}  // namespace

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
    return {};
  }
  text.resize(copied);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring(name, length > 0 ? length : 0);
}

Rect ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {0, 0, client.right - client.left, client.bottom - client.top};
}

Rect ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

ControlInfo DescribeControl(HWND control) {
  ControlInfo info;
  info.handle = control;
  info.className = ClassName(control);
  info.text = WindowText(control);
  info.rect = RectInParent(control);
  info.id = GetDlgCtrlID(control);
  info.style = GetWindowLongW(control, GWL_STYLE);
  info.enabled = IsWindowEnabled(control) != FALSE;
  info.visible = IsWindowVisible(control) != FALSE;
  return info;
}

std::vector<ControlInfo> ChildControls(HWND parent) {
  std::vector<ControlInfo> controls;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    controls.push_back(DescribeControl(child));
  }
  return controls;
}

HWND FocusedWindow(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

}  // namespace uvantic::e2e
