// The notifier's hidden window: it owns the notification-area icon, takes its
// callbacks and the system's broadcasts, and shows each pass's news. It is never shown,
// so the notifier has no taskbar button.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "cables/cable_rows.h"
#include "notifier/notification.h"
#include "notifier/tray_icon.h"
#include "notifier/tray_presence.h"
#include "platform/handles.h"
#include "texts/texts.h"

namespace uvantic {

class NotifierWindow {
 public:
  // texts gives every word the notifier shows; it must outlive the window.
  NotifierWindow(HINSTANCE instance, const Texts& texts) : instance_(instance), texts_(texts) {}
  NotifierWindow(const NotifierWindow&) = delete;
  NotifierWindow& operator=(const NotifierWindow&) = delete;
  ~NotifierWindow();

  // Creates the window and adds the icon; false when the window cannot be created.
  bool Create();
  // One pass's cables: the tooltip follows them, and what changed is notified. Returns
  // when the next pass must run at the latest, for news still settling.
  std::optional<CableNotices::Clock::time_point> OnPass(const std::vector<CableRow>& cables);

  // Called by a second start: asks the copy that runs in this session to add its icon
  // again if it has none. Posted, so a busy copy cannot hold up the second start.
  static void AskRunningCopyForIcon();

 private:
  static constexpr UINT kTrayMessage = WM_APP + 1;
  static constexpr UINT_PTR kRetryTimer = 1;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnTrayEvent(UINT event, POINT anchor);
  void OnCommand(UINT command);
  void OnTaskbarCreated();
  void OnEndSession(bool ending, LPARAM reason);
  void OnIconAsked();
  void OnDisplayChanged();
  void OnRetryTimer();
  void OnDestroy();
  LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);

  void UpdateIcon();
  void ArmRetry();
  void ShowMenu(POINT anchor);
  void OpenFinder();
  bool StartsAtSignIn() const;
  void ToggleStartAtSignIn();

  HINSTANCE instance_;
  const Texts& texts_;
  HWND window_ = nullptr;
  UINT taskbarCreated_ = 0;
  UINT iconAsked_ = 0;
  TrayIcon tray_{kTrayMessage};
  TrayPresence presence_{tray_, texts_};
  UniqueHIcon icon_;
  int iconSize_ = 0;
  CableNotices notices_;
  bool menuOpen_ = false;
  // The delay the retry timer runs with; nullopt while it is stopped.
  std::optional<std::chrono::milliseconds> retryArmed_;
};

}  // namespace uvantic
