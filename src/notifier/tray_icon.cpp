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

// No window, no icon: one for a window that is gone would stay as a ghost.
bool TrayIcon::Call(DWORD message, NOTIFYICONDATAW& data) const {
  return window_ != nullptr && Shell_NotifyIconW(message, &data) != FALSE;
}

bool TrayIcon::Add(const std::wstring& tooltip) {
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  data.hIcon = image_;
  Copy(data.szTip, tooltip);
  return Call(NIM_ADD, data);
}

bool TrayIcon::Modify(const std::wstring& tooltip) {
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  data.hIcon = image_;
  Copy(data.szTip, tooltip);
  return Call(NIM_MODIFY, data);
}

void TrayIcon::UseVersion4() {
  NOTIFYICONDATAW data = Data(0);
  data.uVersion = NOTIFYICON_VERSION_4;
  Call(NIM_SETVERSION, data);
}

void TrayIcon::Delete() {
  NOTIFYICONDATAW data = Data(0);
  Call(NIM_DELETE, data);
}

bool TrayIcon::SetImage() {
  NOTIFYICONDATAW data = Data(NIF_ICON);
  data.hIcon = image_;
  return Call(NIM_MODIFY, data);
}

bool TrayIcon::SetTooltip(const std::wstring& tooltip) {
  NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
  Copy(data.szTip, tooltip);
  return Call(NIM_MODIFY, data);
}

bool TrayIcon::Notify(const Notification& notification) {
  NOTIFYICONDATAW data = Data(NIF_INFO);
  Copy(data.szInfoTitle, notification.title);
  Copy(data.szInfo, notification.text);
  // Without NIIF_RESPECT_QUIET_TIME. Windows asks for it on notifications in general,
  // so that a new user is not distracted in the first hour after signing in for the
  // first time (and after an upgrade or a clean install). Each of ours answers the
  // user's own plug or unplug a moment earlier, and a new bench PC gets its cables in
  // exactly that hour: held back, the answer would be lost.
  data.dwInfoFlags = notification.warning ? NIIF_WARNING : NIIF_INFO;
  return Call(NIM_MODIFY, data);
}

}  // namespace uvantic
