// Wine's own notification area and its balloons, found by their window classes.
#include "notification_area.h"

#include <commctrl.h>

#include "running_program.h"
#include "wait.h"
#include "window_probe.h"

namespace uvantic::e2e {
namespace {

std::vector<HWND> Balloons() {
  std::vector<HWND> balloons;
  for (HWND tooltip : FindTopWindows({0, TOOLTIPS_CLASSW})) {
    if ((GetWindowLongW(tooltip, GWL_STYLE) & TTS_BALLOON) != 0) balloons.push_back(tooltip);
  }
  return balloons;
}

}  // namespace

std::vector<HWND> NotificationAreaIcons() {
  std::vector<HWND> icons;
  for (HWND tray : FindTopWindows({0, L"__winex11_standalone_tray"})) {
    for (HWND icon = nullptr; (icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) != nullptr;) {
      if (IsWindowVisible(icon)) icons.push_back(icon);
    }
  }
  return icons;
}

HWND WaitForNotification(const std::wstring& part, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND balloon : Balloons()) {
          if (WindowText(balloon).find(part) != std::wstring::npos) found = balloon;
        }
        return found != nullptr;
      },
      Milliseconds{timeoutMs});
  return found;
}

}  // namespace uvantic::e2e
