// frmMain: the window itself, its load sequence, the refresh timer, the keyboard
// handling of the message loop and the routing of its messages to their handlers.
#include "window/frm_main.h"

#include "discovery/change_watch.h"
#include "discovery/refresh_device_list.h"
#include "resources/resource.h"
#include "platform/win_dpi.h"
#include "texts/state_words.h"
#include "window/text_fit.h"

namespace uvantic {
namespace {

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  return shift;
}

}  // namespace

FrmMain::FrmMain(HINSTANCE instance, const RegistryView& registry, const AppHelpFile& helpFile, const Texts& texts,
                 Language language)
    : instance_(instance), registry_(registry), helpFile_(helpFile), texts_(texts), language_(language) {}

FrmMain::~FrmMain() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND FrmMain::Control(ControlName name) const {
  switch (name) {
    case ControlName::imgIcon: return imgIcon;
    case ControlName::lblList: return lblList;
    case ControlName::lvwList: return lvwList;
    case ControlName::cmdProperties: return cmdProperties;
    case ControlName::imgLogo: return imgLogo;
    case ControlName::cmdDevmgmt: return cmdDevmgmt;
    case ControlName::cmdClose: return cmdClose;
  }
  return nullptr;
}

bool FrmMain::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &FrmMain::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainWindowClass;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                    LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                      LR_SHARED));
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  dpi_ = SystemDpi();
  const PixelSize client = ClientSizePixels(dpi_);
  RECT frame{0, 0, client.width, client.height};
  AdjustWindowRectForDpi(frame, kMainWindowStyle, kMainWindowExStyle, dpi_);
  if (!CreateWindowExW(kMainWindowExStyle, kMainWindowClass, kMainWindowCaption, kMainWindowStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_,
                       this)) {
    return false;
  }
  if (const int windowDpi = WindowDpi(hwnd_); windowDpi != dpi_) {
    dpi_ = windowDpi;
    ApplyResolution();
  }
  SizeWindowForClient();
  KeepInWorkArea();
  Load();
  return hwnd_ != nullptr;
}

void FrmMain::Show(int showCommand) {
  if (!hwnd_) return;
  if (!IsWindowVisible(hwnd_)) list_.PaintOffScreen();
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
}

bool FrmMain::PreTranslate(MSG& message) {
  if (!hwnd_) return false;
  if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
      (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
    OnKeyPreview(static_cast<int>(message.wParam), ShiftState());
    if (!hwnd_) return true;
  }
  const bool handled = IsDialogMessageW(hwnd_, &message) != FALSE;
  // The dialog keyboard code moves the default-button look about by rules of its own
  // when it moves the focus; put it back where Enter will act.
  if (handled && hwnd_) ShowDefaultButton(GetFocus());
  return handled;
}

// Load sequence: each step stands on its own; one that fails is skipped.
void FrmMain::Load() {
  SetEnvironmentVariableA("DEVMGR_SHOW_NONPRESENT_DEVICES", "1");
  SetEnvironmentVariableA("DEVMGR_SHOW_DETAILS", "1");
  if (imlIcons) ListView_SetImageList(lvwList, imlIcons.get(), LVSIL_SMALL);

  const std::array<int, 3> widths = ListColumnPixels(layoutDpiAcross_, dpi_);
  const std::wstring headers[] = {texts_.Text(TextId::ColumnPort), texts_.Text(TextId::ColumnStatus),
                                  texts_.Text(TextId::ColumnCableId)};
  int added = 0;
  for (int column = 0; column < 3; ++column) {
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = widths[static_cast<std::size_t>(column)];
    info.pszText = const_cast<wchar_t*>(headers[column].c_str());
    info.iSubItem = column;
    if (SendMessageW(lvwList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(added), reinterpret_cast<LPARAM>(&info)) >= 0) {
      ++added;
    }
  }

  RefreshPass();
  list_.SelectFirstRow();
  // The first tick comes a whole interval after the load pass rather than after the
  // window was made, so that the window shows and takes input before the next pass.
  SetTimer(hwnd_, kUpdateTimer, kUpdateInterval, nullptr);
}

std::vector<FrmMain::ColumnText> FrmMain::ColumnTexts() const {
  std::vector<ColumnText> texts{{0, texts_.Text(TextId::ColumnPort)},
                                {1, texts_.Text(TextId::ColumnStatus)},
                                {2, texts_.Text(TextId::ColumnCableId)}};
  for (CableStatus status : {CableStatus::Ok, CableStatus::NotPresent, CableStatus::DriverNotLoaded,
                             CableStatus::Disabled}) {
    texts.push_back({1, texts_.Text(StatusText(status))});
  }
  return texts;
}

// Runs in the load sequence too, outside any window procedure: nothing may leave it.
// The pass itself throws nothing; a sort that runs out of memory leaves the rows where
// they are until the next one.
void FrmMain::RefreshPass() {
  if (!hwnd_) return;
  const auto began = PassSpacing::Clock::now();
  const std::optional<bool> enable = RefreshDeviceList(list_, registry_);
  try {
    list_.SortIfNeeded();
  } catch (...) {
  }
  list_.DrawChanges();
  if (enable) SetPropertiesEnabled(*enable);
  // Setting the timer again with its own id restarts its interval.
  if (spacing_.PassEnded(began, PassSpacing::Clock::now())) SetTimer(hwnd_, kUpdateTimer, kUpdateInterval, nullptr);
}

// One line per message; each handler is a member of its own.
LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case kRegistryChangedMessage: OnRegistryChanged(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_SETCURSOR: if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE; break;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam)); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_NEXTDLGCTL: OnNextDialogControl(wParam, lParam); return 0;
    case DM_GETDEFID: return OnGetDefaultId();
    case WM_HELP: OnHelp(*reinterpret_cast<const HELPINFO*>(lParam)); return TRUE;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SYSCOLORCHANGE: OnSysColorChange(); return 0;
    case WM_SETTINGCHANGE: OnSettingChange(static_cast<UINT>(wParam)); break;
    default: break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK FrmMain::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FrmMain* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<FrmMain*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<FrmMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the system's code; the message counts as handled.
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

bool FrmMain::OnCreate() {
  dpi_ = WindowDpi(hwnd_);
  if (!CreateControls()) return false;
  MakeAccessible();
  ApplyResolution();
  SetTimer(hwnd_, kUpdateTimer, kUpdateInterval, nullptr);
  watcher_ = std::make_unique<RegistryWatcher>(HKEY_LOCAL_MACHINE, MachineKeysToWatch(), hwnd_,
                                               kRegistryChangedMessage);
  return true;
}

void FrmMain::OnDestroy() {
  KillTimer(hwnd_, kUpdateTimer);
  annotations_.Clear();
  watcher_.reset();
  PostQuitMessage(0);
}

void FrmMain::OnTimer(UINT_PTR timer) {
  if (timer == kUpdateTimer) RefreshPass();
}

// The timer's tick, early: the same pass at once, and the next tick a whole interval
// later. Right after a long pass the window rests instead, and the tick due at the end
// of its rest runs the pass. Setting the timer again with its own id restarts its
// interval.
void FrmMain::OnRegistryChanged() {
  if (watcher_) watcher_->ChangeTaken();
  if (!spacing_.EarlyPassMayRun(PassSpacing::Clock::now())) return;
  RefreshPass();
  SetTimer(hwnd_, kUpdateTimer, kUpdateInterval, nullptr);
}

void FrmMain::OnCommand(int id, int code) {
  if (id == Entry(ControlName::cmdClose).controlId) {
    OnCloseClick();
  } else if (id == Entry(ControlName::cmdProperties).controlId && code == BN_CLICKED) {
    OnPropertiesClick();
  } else if (id == Entry(ControlName::cmdDevmgmt).controlId && code == BN_CLICKED) {
    OnDevmgmtClick();
  } else if (id == IDM_WHATSTHIS_HELP) {
    OnWhatsThisHelp();
  }
}

LRESULT FrmMain::OnNotify(NMHDR& header) {
  if (header.hwndFrom != lvwList) return 0;
  switch (header.code) {
    case NM_CUSTOMDRAW: return DrawGhostedRows(*reinterpret_cast<NMLVCUSTOMDRAW*>(&header), highContrast_);
    case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1); return 0;
    case NM_DBLCLK: OnListDoubleClick(); return 0;
    case NM_CLICK: OnListClickNotification(kButtonLeft); return 0;
    case NM_RCLICK: OnListClickNotification(kButtonRight); return 0;
    default: return 0;
  }
}

void FrmMain::OnActivate(int state) {
  if (state == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  OnSetFocus();
}

// The window itself never keeps the focus: it goes back to the control that had it.
void FrmMain::OnSetFocus() {
  HWND target = lastFocus_;
  if (!target || !IsChild(hwnd_, target) || !IsWindowEnabled(target)) target = lvwList;
  SetFocus(target);
}

void FrmMain::OnNextDialogControl(WPARAM wParam, LPARAM lParam) {
  HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
  if (next) SetFocus(next);
}

// The button Enter clicks: the focused command button, otherwise Close.
LRESULT FrmMain::OnGetDefaultId() {
  const HWND button = DefaultButton(GetFocus());
  return MAKELRESULT(button == cmdClose ? Entry(ControlName::cmdClose).controlId : GetDlgCtrlID(button), DC_HASDEFID);
}

int RunMessageLoop(FrmMain& window) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 0;
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace uvantic
