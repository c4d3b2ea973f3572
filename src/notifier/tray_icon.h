// The shell's calls for the notifier's one icon, known to the system by its window and
// id: an identity by GUID would be tied to the executable's path and break when the
// program is moved.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "notifier/tray_presence.h"

namespace uvantic {

class TrayIcon final : public TrayShell {
 public:
  // Callbacks come to the window as message, in the NOTIFYICON_VERSION_4 form.
  explicit TrayIcon(UINT message) : message_(message) {}
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // The window the icon belongs to, once it exists; nullptr once it is destroyed.
  void Attach(HWND window) { window_ = window; }
  // The image Add, Modify and SetImage show; the caller keeps it alive.
  void UseImage(HICON image) { image_ = image; }

  bool Add(const std::wstring& tooltip) override;
  bool Modify(const std::wstring& tooltip) override;
  void UseVersion4() override;
  void Delete() override;
  bool SetImage() override;
  bool SetTooltip(const std::wstring& tooltip) override;
  bool Notify(const Notification& notification) override;

 private:
  NOTIFYICONDATAW Data(UINT flags) const;
  bool Call(DWORD message, NOTIFYICONDATAW& data) const;

  HWND window_ = nullptr;
  HICON image_ = nullptr;
  UINT message_;
};

}  // namespace uvantic
