// The notifier's window procedure: one line per message, one OnXxx per message.
#include "notifier/notifier_window.h"

#include <windowsx.h>
#include <shellapi.h>

#include <utility>

#include "notifier/program_paths.h"
#include "notifier/win_sign_in.h"
#include "platform/executable_file.h"
#include "platform/processes.h"
#include "resources/resource.h"
#include "platform/win_dpi.h"

namespace uvantic {
namespace {

constexpr wchar_t kWindowClass[] = L"UvanticFinderNotifier";
constexpr wchar_t kWindowTitle[] = L"Uvantic Finder Notifier";
// Registered for the session, so that another copy of the notifier can send it.
constexpr wchar_t kIconAskedMessage[] = L"Uvantic Finder Notifier: show the icon";

enum MenuCommand : UINT { kOpen = 1, kStartAtSignIn, kExit };

struct MenuItem {
  UINT command;
  std::optional<TextId> text;  // none: a separator
};
constexpr MenuItem kMenu[] = {
    {kOpen, TextId::MenuOpen},
    {kStartAtSignIn, TextId::MenuStartAtSignIn},
    {0, std::nullopt},
    {kExit, TextId::MenuExit},
};

}  // namespace

NotifierWindow::~NotifierWindow() {
  if (window_) DestroyWindow(window_);
}

bool NotifierWindow::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  // A top-level window, not a message-only one: only top-level windows hear the
  // TaskbarCreated broadcast and WM_ENDSESSION.
  CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, kWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_,
                  this);
  if (!window_) return false;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  iconAsked_ = RegisterWindowMessageW(kIconAskedMessage);
  UpdateIcon();
  return true;
}

LRESULT CALLBACK NotifierWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<NotifierWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    self->tray_.Attach(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<NotifierWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Out of memory in a handler: the step is skipped.
    return 0;
  }
}

LRESULT NotifierWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    OnTaskbarCreated();
    return 0;
  }
  if (message == iconAsked_ && iconAsked_ != 0) {
    OnIconAsked();
    return 0;
  }
  switch (message) {
    case kTrayMessage: OnTrayEvent(LOWORD(lParam), {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    // Nothing to save: the notifier is ready to end whenever the system asks.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: OnEndSession(wParam != FALSE, lParam); return 0;
    case WM_TIMER:
      if (wParam == kRetryTimer) OnRetryTimer();
      return 0;
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE: OnDisplayChanged(); break;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

std::optional<CableNotices::Clock::time_point> NotifierWindow::OnPass(const std::vector<CableRow>& cables) {
  presence_.OnPass(notices_.Pass(cables, CableNotices::Clock::now()), TooltipText(cables, texts_));
  ArmRetry();
  return notices_.NextDue();
}

// While the icon is missing or news wait, the timer tries again within seconds, not at
// the next pass a minute away; with the icon there it stops, and the notifier is at rest.
void NotifierWindow::ArmRetry() {
  const auto after = presence_.RetryAfter();
  if (after == retryArmed_ || !window_) return;
  retryArmed_ = after;
  if (after) {
    SetTimer(window_, kRetryTimer, static_cast<UINT>(after->count()), nullptr);
  } else {
    KillTimer(window_, kRetryTimer);
  }
}

void NotifierWindow::OnRetryTimer() {
  presence_.Retry();
  ArmRetry();
}

// With NOTIFYICON_VERSION_4 a click or Enter/Space on the icon arrives as NIN_SELECT or
// NIN_KEYSELECT, and a right-click, the menu key or Shift+F10 as WM_CONTEXTMENU with
// the point to open the menu at.
void NotifierWindow::OnTrayEvent(UINT event, POINT anchor) {
  switch (event) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case NIN_BALLOONUSERCLICK: OpenFinder(); break;
    case WM_CONTEXTMENU: ShowMenu(anchor); break;
  }
}

void NotifierWindow::OnCommand(UINT command) {
  switch (command) {
    case kOpen: OpenFinder(); break;
    case kStartAtSignIn: ToggleStartAtSignIn(); break;
    case kExit: DestroyWindow(window_); break;
  }
}

// Explorer was restarted: its new notification area knows no icon.
void NotifierWindow::OnTaskbarCreated() {
  presence_.Forget();
  UpdateIcon();
}

// Restart Manager closes running programs for an upgrade with ENDSESSION_CLOSEAPP: the
// notifier ends, and Restart Manager starts it again once the upgrade is done (see main).
// At sign-out or shutdown the process may end without WM_DESTROY, so the icon goes now and
// no pass may add it again. A session end that was called off (FALSE) changes nothing.
void NotifierWindow::OnEndSession(bool ending, LPARAM reason) {
  if (!ending) return;
  if ((reason & ENDSESSION_CLOSEAPP) != 0) {
    DestroyWindow(window_);
    return;
  }
  presence_.EndSession();
  ArmRetry();
}

// Another start found this copy running: the user is looking for it, so the icon comes
// back if it went (a session end that did not end the process, or a notification area
// that was not there).
void NotifierWindow::OnIconAsked() {
  presence_.Resume();
  UpdateIcon();
}

void NotifierWindow::AskRunningCopyForIcon() {
  const UINT message = RegisterWindowMessageW(kIconAskedMessage);
  if (const HWND running = FindWindowW(kWindowClass, nullptr); running && message != 0) {
    PostMessageW(running, message, 0, 0);
  }
}

void NotifierWindow::OnDisplayChanged() {
  if (iconSize_ == SmallIconSize(WindowDpi(window_))) return;
  UpdateIcon();
}

// The window's last message: the object no longer answers for it, and a pass still
// running in the loop cannot reach the shell with it.
LRESULT NotifierWindow::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
  const HWND window = std::exchange(window_, nullptr);
  tray_.Attach(nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return DefWindowProcW(window, WM_NCDESTROY, wParam, lParam);
}

// Also when the window goes while a pass waits inside a shell call: that pass then adds
// no icon for a window that no longer exists.
void NotifierWindow::OnDestroy() {
  KillTimer(window_, kRetryTimer);
  retryArmed_.reset();
  presence_.Close();
  PostQuitMessage(0);
}

// Loads the program icon at the notification area's size for the current resolution
// and adds the icon, or brings it up to date when it is there.
void NotifierWindow::UpdateIcon() {
  if (!window_) return;
  const int size = SmallIconSize(WindowDpi(window_));
  if (size != iconSize_ || !icon_) {
    UniqueHIcon icon(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (icon) {
      tray_.UseImage(icon.get());
      presence_.ImageChanged();
      icon_ = std::move(icon);
      iconSize_ = size;
    }
  }
  presence_.Show();
  ArmRetry();
}

// A notification-area menu takes the foreground first, so that it closes when the
// user clicks elsewhere, and posts a message after it, so that a second opening
// works at once.
void NotifierWindow::ShowMenu(POINT anchor) {
  if (menuOpen_) return;
  const UniqueHMenu menu(CreatePopupMenu());
  if (!menu) return;
  const bool startsAtSignIn = StartsAtSignIn();
  for (const MenuItem& item : kMenu) {
    if (!item.text) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const UINT checked = item.command == kStartAtSignIn && startsAtSignIn ? MF_CHECKED : MF_UNCHECKED;
    AppendMenuW(menu.get(), MF_STRING | checked, item.command, texts_.Text(*item.text).c_str());
  }
  SetMenuDefaultItem(menu.get(), kOpen, FALSE);
  SetForegroundWindow(window_);
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  menuOpen_ = true;
  const auto chosen = static_cast<UINT>(TrackPopupMenuEx(
      menu.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, anchor.x, anchor.y,
      window_, nullptr));
  menuOpen_ = false;
  PostMessageW(window_, WM_NULL, 0, 0);
  if (chosen != 0) OnCommand(chosen);
}

// Starts Uvantic Finder from the notifier's own folder and does not wait for it; a
// copy that runs already brings its window forward. The click gave this process the right
// to take the foreground, and the program it starts gets it too.
void NotifierWindow::OpenFinder() {
  const auto self = ExecutableFilePath();
  if (!self) return;
  const std::wstring program = FinderPathBeside(*self);
  const std::wstring directory = program.substr(0, program.find_last_of(L'\\') + 1);
  StartProgram(program, {}, directory, SW_SHOWNORMAL, Foreground::PassOn);
}

// Read afresh each time: the other build's copy, or the user, may have changed it since.
bool NotifierWindow::StartsAtSignIn() const {
  const auto self = ExecutableFilePath();
  return self && uvantic::StartsAtSignIn(ReadSignInValues(false), *self);
}

void NotifierWindow::ToggleStartAtSignIn() {
  if (const auto self = ExecutableFilePath()) WriteSignInChanges(ToggleSignInStart(ReadSignInValues(false), *self));
}

}  // namespace uvantic
