// The notification area read from the system's side. On a bare X server Wine draws its
// own: a "Wine System Tray" window with one child per icon, and each notification as a
// balloon tooltip whose text WM_GETTEXT returns.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/handles.h"

namespace uvantic::e2e {

// The notifier's own window, which is never shown (so FindTopWindow cannot see it), or
// nullptr.
inline HWND NotifierWindow() { return FindWindowW(L"UvanticFinderNotifier", nullptr); }

// The icons shown, left to right.
std::vector<HWND> NotificationAreaIcons();

// The notification whose text holds part, once one is shown; nullptr when none came
// within timeout. seen (if given) gets the text of every notification shown meanwhile.
HWND WaitForNotification(const std::wstring& part, DWORD timeoutMs = 10000, std::vector<std::wstring>* seen = nullptr);

// A notification area of the test's own while it lives: a window of the shell's class,
// which Shell_NotifyIconW finds before Wine's own. It answers every call with accept
// (refusing, as a shell still busy at sign-in does) and keeps what each call carried,
// so that every notification sent is seen, also one that Wine would have replaced before
// showing it. Its own thread answers, so that a caller is never kept waiting.
class StandInNotificationArea {
 public:
  explicit StandInNotificationArea(bool accept);
  StandInNotificationArea(const StandInNotificationArea&) = delete;
  StandInNotificationArea& operator=(const StandInNotificationArea&) = delete;
  ~StandInNotificationArea();
  bool ready() const { return window_ != nullptr; }
  // Whether a call carried text, whatever its place in the call's data.
  bool Received(std::wstring_view text) const;

 private:
  static DWORD WINAPI Run(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  const bool accept_;
  UniqueHandle created_;
  UniqueHandle thread_;
  HWND window_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  std::vector<std::wstring> received_;  // each call's data, read as UTF-16
};

// The icon's tooltip, read in the notification area's process.
std::wstring IconTooltip(HWND icon);

// The icon drawn beside a notification's title, told by its colours on the screen
// (Wine draws no other and answers no question about it): orange for the warning icon,
// blue for the information icon; None also for no window (nullptr).
enum class TitleIcon { None, Information, Warning };
TitleIcon NotificationTitleIcon(HWND notification);

}  // namespace uvantic::e2e
