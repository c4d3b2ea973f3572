// Shell_NotifyIconW for one icon, with texts that always fit their buffers.
#include "notifier/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

namespace uvantic {
namespace {

constexpr UINT kIconId = 1;

template <std::size_t N>
void Copy(wchar_t (&buffer)[N], const std::wstring& text) {
  const std::wstring fitted = FitText(text, N);
  std::wmemcpy(buffer, fitted.c_str(), fitted.size() + 1);
}

}  // namespace

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = message_;
  return data;
}

bool TrayIcon::Add(HICON icon, const std::wstring& tooltip) {
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  data.hIcon = icon;
  Copy(data.szTip, tooltip);
  // A restarted notification area has forgotten the icon; one that kept it refuses a
  // second add, and then the icon is brought up to date instead.
  added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
  if (!added_) return false;
  data.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &data);
  return true;
}

// Also when the icon does not count as added: a message that ends the session can come
// while Add waits for the notification area's answer, before added_ is set.
void TrayIcon::Remove() {
  if (!window_) return;
  NOTIFYICONDATAW data = Data(0);
  Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}

bool TrayIcon::SetIcon(HICON icon) {
  if (!added_) return false;
  NOTIFYICONDATAW data = Data(NIF_ICON);
  data.hIcon = icon;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::SetTooltip(const std::wstring& tooltip) {
  if (!added_) return false;
  NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
  Copy(data.szTip, tooltip);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::Notify(const Notification& notification) {
  if (!added_) return false;
  NOTIFYICONDATAW data = Data(NIF_INFO);
  Copy(data.szInfoTitle, notification.title);
  Copy(data.szInfo, notification.text);
  // Without NIIF_RESPECT_QUIET_TIME. Windows asks for it on notifications in general,
  // so that a new user is not distracted in the first hour after signing in for the
  // first time (and after an upgrade or a clean install). Each of ours answers the
  // user's own plug or unplug a moment earlier, and a new bench PC gets its cables in
  // exactly that hour: held back, the answer would be lost.
  data.dwInfoFlags = notification.warning ? NIIF_WARNING : NIIF_INFO;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace uvantic
