// The notifier's one icon in the notification area, known to the system by its window
// and id: an identity by GUID would be tied to the executable's path and break when
// the program is moved.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "notifier/notification.h"

namespace uvantic {

class TrayIcon {
 public:
  // Callbacks come to the window as message, in the NOTIFYICON_VERSION_4 form.
  explicit TrayIcon(UINT message) : message_(message) {}
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Adds the icon; false when the notification area is not there (yet). After the
  // notification area was restarted the icon is gone: Add again.
  bool Add(HICON icon, const std::wstring& tooltip);
  void Remove();
  bool added() const { return added_; }
  // The notification area was restarted and knows the icon no more.
  void Forget() { added_ = false; }
  // The window the icon belongs to, once it exists.
  void Attach(HWND window) { window_ = window; }

  // Each false when the icon is not there or the notification area refused the change.
  bool SetIcon(HICON icon);
  bool SetTooltip(const std::wstring& tooltip);
  bool Notify(const Notification& notification);

 private:
  NOTIFYICONDATAW Data(UINT flags) const;

  HWND window_ = nullptr;
  UINT message_;
  bool added_ = false;
};

}  // namespace uvantic
