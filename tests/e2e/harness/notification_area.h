// The notification area read from the system's side. On a bare X server Wine draws its
// own: a "Wine System Tray" window with one child per icon, and each notification as a
// balloon tooltip whose text WM_GETTEXT returns.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace uvantic::e2e {

// The notifier's own window, which is never shown (so FindTopWindow cannot see it), or
// nullptr.
inline HWND NotifierWindow() { return FindWindowW(L"UvanticFinderNotifier", nullptr); }

// The icons shown, left to right.
std::vector<HWND> NotificationAreaIcons();

// The notification whose text holds part, once one is shown; nullptr when none came
// within timeout.
HWND WaitForNotification(const std::wstring& part, DWORD timeoutMs = 10000);

// While it lives, a notification area of the test's own, which Shell_NotifyIconW finds
// before Wine's: it answers each call with accept (no: a shell busy at sign-in) from a
// thread of its own, and keeps what each carried, also a notification that Wine would
// replace before showing it.
class StandInNotificationArea {
 public:
  explicit StandInNotificationArea(bool accept);
  ~StandInNotificationArea();
  bool ready() const { return window_ != nullptr; }
  // Whether a call carried text, wherever in its data.
  bool Received(std::wstring_view text) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  const bool accept_;
  std::atomic<HWND> window_ = nullptr;
  mutable std::mutex lock_;
  std::vector<std::wstring> received_;  // each call's data, as UTF-16
  std::thread thread_;
};

// The icon's tooltip, read in the notification area's process.
std::wstring IconTooltip(HWND icon);

// The icon drawn beside a notification's title, told by its colours on the screen
// (Wine draws no other and answers no question about it): orange for the warning icon,
// blue for the information icon; None also for no window (nullptr).
enum class TitleIcon { None, Information, Warning };
TitleIcon NotificationTitleIcon(HWND notification);

}  // namespace uvantic::e2e
