// Wine's own notification area and its balloons, found by their window classes.
#include "notification_area.h"

#include <commctrl.h>

#include <algorithm>

#include "list_view_probe.h"
#include "running_program.h"
#include "screenshot.h"
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

constexpr wchar_t kShellClass[] = L"Shell_TrayWnd";

}  // namespace

StandInNotificationArea::StandInNotificationArea(bool accept) : accept_(accept), thread_([this] {
  const WNDCLASSW windowClass{0, WindowProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, kShellClass};
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(0, kShellClass, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
  window_ = window;
  for (MSG message{}; window && GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
}) {
  WaitUntil([&] { return ready(); }, Milliseconds{5000});
}

StandInNotificationArea::~StandInNotificationArea() {
  if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
  thread_.join();
  UnregisterClassW(kShellClass, nullptr);
}

bool StandInNotificationArea::Received(std::wstring_view text) const {
  const std::lock_guard hold(lock_);
  return std::any_of(received_.begin(), received_.end(), [&](const auto& data) { return data.find(text) != data.npos; });
}

LRESULT CALLBACK StandInNotificationArea::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* area = reinterpret_cast<StandInNotificationArea*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COPYDATA && area) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const std::lock_guard hold(area->lock_);
    area->received_.emplace_back(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    return area->accept_;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

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

// Each icon has a tooltip window of its own, owned by the tray, whose one tool is the
// icon's window; another icon's tooltip leaves the text empty.
std::wstring IconTooltip(HWND icon) {
  DWORD processId = 0;
  GetWindowThreadProcessId(icon, &processId);
  const UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process) return L"<no process>";
  struct Remote {
    TTTOOLINFOW tool;
    wchar_t text[1024];
  } remote{};
  RemoteBuffer buffer(process.get(), sizeof(Remote));
  for (HWND tooltip = nullptr; (tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
    if (GetWindow(tooltip, GW_OWNER) != GetParent(icon) || (GetWindowLongW(tooltip, GWL_STYLE) & TTS_BALLOON)) continue;
    remote.tool.cbSize = sizeof(remote.tool);
    remote.tool.hwnd = icon;
    remote.tool.uId = reinterpret_cast<UINT_PTR>(icon);
    remote.tool.lpszText = reinterpret_cast<Remote*>(buffer.address())->text;
    buffer.Write(&remote, sizeof(remote));
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(remote.text), reinterpret_cast<LPARAM>(buffer.address()));
    buffer.Read(&remote, sizeof(remote));
    remote.text[std::size(remote.text) - 1] = L'\0';
    if (remote.text[0] != L'\0') return remote.text;
  }
  return L"<no tooltip>";
}

// Below the stem, at the left, where the title's icon is drawn; anything else there is
// white, grey or black.
TitleIcon NotificationTitleIcon(HWND notification) {
  constexpr int kStem = 14, kIconArea = 40, kLeast = 10;
  const auto pixels = CaptureWindow(notification);
  if (!pixels) return TitleIcon::None;
  int orange = 0, blue = 0;
  for (int y = kStem; y < std::min(pixels->height, kStem + kIconArea); ++y) {
    for (int x = 0; x < std::min(pixels->width, kIconArea); ++x) {
      const std::uint8_t* p = &pixels->rgb[(static_cast<std::size_t>(y) * pixels->width + x) * 3];
      orange += p[0] >= 200 && p[1] >= 80 && p[1] <= 200 && p[2] <= 130;
      blue += p[2] >= 130 && p[2] >= p[0] + 50;
    }
  }
  if (std::max(orange, blue) < kLeast) return TitleIcon::None;
  return orange > blue ? TitleIcon::Warning : TitleIcon::Information;
}

}  // namespace uvantic::e2e
