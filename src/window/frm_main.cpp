// frmMain: window creation, layout at the screen's resolution, the load sequence, the
// refresh timer and the routing of control events to their handlers.
#include "window/frm_main.h"

#include <windowsx.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdint>

#include "discovery/refresh_device_list.h"
#include "resources/resource.h"
#include "window/column_width.h"
#include "window/logo_press.h"
#include "window/picture_size.h"
#include "window/web_site.h"
#include "window/win_dpi.h"

namespace uvantic {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;

// The sizes the program icon and the state icons are drawn in.
constexpr std::initializer_list<int> kProgramIconSizes{16, 32, 48};
constexpr std::initializer_list<int> kStateIconSizes{16};
constexpr int kStateIcons[] = {IDI_STATE_NORMAL, IDI_STATE_DISABLED, IDI_STATE_DRIVER_NOT_LOADED};
constexpr int kStateIconSide = 16;

bool IsStaticKind(ControlName name) {
  const ControlKind kind = Spec(name).kind;
  return kind == ControlKind::Image || kind == ControlKind::Label;
}

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  return shift;
}

// The button code of a mouse message: the buttons its flags say are down, and the
// button the message is about, which a release's flags no longer include.
int ButtonCodeFromFlags(WPARAM flags, int button) {
  const int held = MouseButtonCode((flags & MK_LBUTTON) != 0, (flags & MK_RBUTTON) != 0, (flags & MK_MBUTTON) != 0,
                                   (flags & (MK_XBUTTON1 | MK_XBUTTON2)) != 0);
  return held | button;
}

int ButtonCodeFromKeyState(int button) {
  const int held = MouseButtonCode(GetKeyState(VK_LBUTTON) < 0, GetKeyState(VK_RBUTTON) < 0,
                                   GetKeyState(VK_MBUTTON) < 0,
                                   GetKeyState(VK_XBUTTON1) < 0 || GetKeyState(VK_XBUTTON2) < 0);
  return held | button;
}

}  // namespace

FrmMain::FrmMain(HINSTANCE instance, const RegistryView& registry, const AppHelpFile& helpFile)
    : instance_(instance), registry_(registry), helpFile_(helpFile) {}

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
  AdjustWindowRectForDpi(frame, kWindowStyle, kWindowExStyle, dpi_);
  if (!CreateWindowExW(kWindowExStyle, kMainWindowClass, kMainWindowCaption, kWindowStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_,
                       this)) {
    return false;
  }
  if (const int windowDpi = WindowDpi(hwnd_); windowDpi != dpi_) {
    dpi_ = windowDpi;
    ApplyResolution();
  }
  SizeWindowForClient();
  Load();
  return hwnd_ != nullptr;
}

void FrmMain::Show(int showCommand) {
  if (!hwnd_) return;
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

  const double twipsPerPixel = TwipsPerPixel(dpi_);
  RECT listRect{};
  GetWindowRect(lvwList, &listRect);
  std::int16_t w = 0;
  ColumnWidth(static_cast<double>(listRect.right - listRect.left) * twipsPerPixel, twipsPerPixel, w);
  const double widths[] = {static_cast<double>(w), static_cast<double>(w),
                           static_cast<double>(LastColumnWidth(w, twipsPerPixel))};
  const wchar_t* const headers[] = {L"COM Number", L"Status", L"USB Cable ID"};
  int added = 0;
  for (int column = 0; column < 3; ++column) {
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = ColumnPixels(widths[column], twipsPerPixel);
    info.pszText = const_cast<wchar_t*>(headers[column]);
    info.iSubItem = column;
    if (SendMessageW(lvwList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(added), reinterpret_cast<LPARAM>(&info)) >= 0) {
      ++added;
    }
  }
  list_.ShowSortArrow();

  RefreshPass();
  list_.SelectFirstRow();
}

void FrmMain::RefreshPass() {
  if (!hwnd_) return;
  const std::optional<bool> enable = RefreshDeviceList(list_, registry_);
  list_.SortIfNeeded();
  if (enable) SetPropertiesEnabled(*enable);
}

void FrmMain::SetPropertiesEnabled(bool enabled) {
  if ((IsWindowEnabled(cmdProperties) != FALSE) == enabled) return;
  // A disabled button cannot keep the focus: hand it to the list first.
  if (!enabled && GetFocus() == cmdProperties) SetFocus(lvwList);
  EnableWindow(cmdProperties, enabled);
}

// One line per message; each handler is a member of its own.
LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
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

LRESULT CALLBACK FrmMain::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR name,
                                      DWORD_PTR self) {
  try {
    return reinterpret_cast<FrmMain*>(self)->HandleControlMessage(static_cast<ControlName>(name), hwnd, message,
                                                                  wParam, lParam);
  } catch (...) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
}

// Mouse buttons, focus and the end of each control; everything else is the control's own.
LRESULT FrmMain::HandleControlMessage(ControlName name, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const int extra = GET_XBUTTON_WPARAM(wParam) != 0 ? kButtonExtra : 0;
  switch (message) {
    case WM_LBUTTONDOWN: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, kButtonLeft), kButtonLeft, false); break;
    case WM_RBUTTONDOWN: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, kButtonRight), kButtonRight, false); break;
    case WM_MBUTTONDOWN: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, kButtonMiddle), kButtonMiddle, false); break;
    case WM_XBUTTONDOWN: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, extra), extra, false); break;
    case WM_LBUTTONDBLCLK: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, kButtonLeft), kButtonLeft, true); break;
    case WM_RBUTTONDBLCLK: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, kButtonRight), kButtonRight, true); break;
    case WM_MBUTTONDBLCLK: OnControlMouseDown(name, control, ButtonCodeFromFlags(wParam, kButtonMiddle), kButtonMiddle, true); break;
    case WM_LBUTTONUP: OnControlMouseRelease(name, control, ButtonCodeFromFlags(wParam, kButtonLeft), kButtonLeft, at); break;
    case WM_RBUTTONUP: OnControlMouseRelease(name, control, ButtonCodeFromFlags(wParam, kButtonRight), kButtonRight, at); break;
    case WM_MBUTTONUP: OnControlMouseRelease(name, control, ButtonCodeFromFlags(wParam, kButtonMiddle), kButtonMiddle, at); break;
    case WM_XBUTTONUP: OnControlMouseRelease(name, control, ButtonCodeFromFlags(wParam, extra), extra, at); break;
    case WM_CAPTURECHANGED: if (IsStaticKind(name) && reinterpret_cast<HWND>(lParam) != control) staticButtonsDown_ = 0; break;
    case WM_SETFOCUS: OnControlFocus(name); break;
    case WM_NCDESTROY: RemoveWindowSubclass(control, &FrmMain::ControlProc, static_cast<UINT_PTR>(name)); break;
    default: break;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

// A press on the label or a picture holds the mouse, so its release comes back to the
// same control wherever it happens; the list and the buttons do their own holding.
void FrmMain::OnControlMouseDown(ControlName name, HWND control, int buttonCode, int button, bool doubleClick) {
  if (name == ControlName::lvwList) {
    listButtonsDown_ |= button;
    return;
  }
  if (!IsStaticKind(name)) return;
  if (staticButtonsDown_ == 0) {
    SetCapture(control);
    logoClickPending_ = false;
  }
  staticButtonsDown_ |= button;
  // The second press of a double-click is no press of its own and brings no click.
  if (name == ControlName::imgLogo && !doubleClick) {
    logoClickPending_ = true;
    OnLogoMouseDown(buttonCode);
  }
}

void FrmMain::OnControlMouseRelease(ControlName name, HWND control, int buttonCode, int button, POINT at) {
  if (name == ControlName::lvwList) {
    if (!(listButtonsDown_ & button)) return;
    listButtonsDown_ &= ~button;
    OnControlMouseUp(buttonCode, name);
    return;
  }
  if (!IsStaticKind(name)) {
    OnControlMouseUp(buttonCode, name);
    return;
  }
  if (!(staticButtonsDown_ & button)) return;  // pressed somewhere else
  staticButtonsDown_ &= ~button;
  bool click = false;
  if (staticButtonsDown_ == 0) {
    RECT client{};
    GetClientRect(control, &client);
    click = name == ControlName::imgLogo && logoClickPending_ && PtInRect(&client, at);
    logoClickPending_ = false;
    ReleaseCapture();
  }
  OnControlMouseUp(buttonCode, name);
  if (click) OnLogoClick();
}

void FrmMain::OnControlFocus(ControlName name) { ShowDefaultButton(Control(name)); }

// The focused command button is the one Enter clicks and shows as such; with the
// focus anywhere else it is Close.
void FrmMain::ShowDefaultButton(HWND focus) {
  const HWND buttons[] = {cmdProperties, cmdDevmgmt, cmdClose};
  const bool onButton = std::find(std::begin(buttons), std::end(buttons), focus) != std::end(buttons);
  const HWND defaultButton = onButton ? focus : cmdClose;
  for (HWND button : buttons) {
    const LONG_PTR wanted = button == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) != wanted) {
      SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
    }
  }
}

bool FrmMain::OnCreate() {
  dpi_ = WindowDpi(hwnd_);
  if (!CreateControls()) return false;
  ApplyResolution();
  SetTimer(hwnd_, kUpdateTimer, kUpdateInterval, nullptr);
  return true;
}

bool FrmMain::CreateControls() {
  for (ControlName name : CreationOrder()) {
    const ControlSpec& spec = Spec(name);
    const PixelRect rect = ToPixels(spec.twips, dpi_);
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (spec.kind) {
      case ControlKind::Image: style |= SS_OWNERDRAW | SS_NOTIFY; break;
      case ControlKind::Label: style |= SS_LEFT | SS_NOTIFY; break;
      case ControlKind::ListView:
        windowClass = WC_LISTVIEWW;
        style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_SHAREIMAGELISTS;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::CommandButton:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | (name == ControlName::cmdClose ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    }
    HWND control = CreateWindowExW(exStyle, windowClass, spec.caption, style, rect.left, rect.top, rect.width(),
                                   rect.height(), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.controlId)),
                                   instance_, nullptr);
    if (!control) return false;
    SetWindowContextHelpId(control, static_cast<DWORD>(spec.helpTopic));
    SetWindowSubclass(control, &FrmMain::ControlProc, static_cast<UINT_PTR>(name), reinterpret_cast<DWORD_PTR>(this));
    switch (name) {
      case ControlName::imgIcon: imgIcon = control; break;
      case ControlName::lblList: lblList = control; break;
      case ControlName::lvwList: lvwList = control; break;
      case ControlName::cmdProperties: cmdProperties = control; break;
      case ControlName::imgLogo: imgLogo = control; break;
      case ControlName::cmdDevmgmt: cmdDevmgmt = control; break;
      case ControlName::cmdClose: cmdClose = control; break;
    }
  }
  list_.Attach(lvwList);
  ListView_SetExtendedListViewStyleEx(lvwList, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  SetWindowTheme(lvwList, L"Explorer", nullptr);
  CreateLogoTooltip();
  handCursor_ = LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER));
  if (!handCursor_) handCursor_ = LoadCursorW(nullptr, IDC_HAND);
  lastFocus_ = lvwList;
  return true;
}

void FrmMain::CreateLogoTooltip() {
  logoTooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                 instance_, nullptr);
  if (!logoTooltip_) return;
  TTTOOLINFOW tool{};
  // The oldest structure size, which every version of the control accepts.
  tool.cbSize = TTTOOLINFOW_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(imgLogo);
  tool.lpszText = const_cast<wchar_t*>(kWebSiteAddress);
  SendMessageW(logoTooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Fonts, pictures, control positions and column widths for the resolution in dpi_.
void FrmMain::ApplyResolution() {
  font_ = CreateMessageFont(dpi_);
  for (const ControlSpec& spec : kControls) {
    HWND control = Control(spec.name);
    const PixelRect rect = ToPixels(spec.twips, dpi_);
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.width(), rect.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
  LoadPictures();
  SetColumnWidths();
}

void FrmMain::LoadPictures() {
  const PixelRect iconBox = ToPixels(Spec(ControlName::imgIcon).twips, dpi_);
  const IconScale program = IconFor(kProgramIconSizes, std::min(iconBox.width(), iconBox.height()));
  programIcon_ = LoadIconAtSize(instance_, IDI_PROGRAM, program.source);
  programIconSide_ = program.side;
  bigIcon_ = LoadIconAtSize(instance_, IDI_PROGRAM, MulDiv(GetSystemMetrics(SM_CXICON), dpi_, SystemDpi()));
  smallIcon_ = LoadIconAtSize(instance_, IDI_PROGRAM, MulDiv(GetSystemMetrics(SM_CXSMICON), dpi_, SystemDpi()));
  if (bigIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  if (smallIcon_) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

  const IconScale state = IconFor(kStateIconSizes, MulDiv(kStateIconSide, dpi_, kDesignDpi));
  UniqueHImageList images(ImageList_Create(state.side, state.side, ILC_COLOR4 | ILC_MASK, 3, 0));
  if (images) {
    ImageList_SetBkColor(images.get(), GetSysColor(COLOR_WINDOW));
    // Three images whatever happens, so a missing picture leaves an empty place and
    // does not shift the ones after it.
    for (int resourceId : kStateIcons) {
      UniqueHIcon icon = LoadIconAtSize(instance_, resourceId, state.side);
      if (!icon) icon = CreateEmptyIcon(state.side);
      ImageList_ReplaceIcon(images.get(), -1, icon.get());
    }
    const bool attached = imlIcons && ListView_GetImageList(lvwList, LVSIL_SMALL) == imlIcons.get();
    if (attached) ListView_SetImageList(lvwList, images.get(), LVSIL_SMALL);
    imlIcons = std::move(images);
  }

  if (logo_.NaturalSize().width == 0) logo_.Load(instance_, IDB_LOGO);
  logo_.ScaleTo(ScaledPictureSize(logo_.NaturalSize(), dpi_));
  InvalidateRect(imgIcon, nullptr, TRUE);
  InvalidateRect(imgLogo, nullptr, TRUE);
}

// The columns as the load sequence sized them, for a later change of resolution.
void FrmMain::SetColumnWidths() {
  HWND header = ListView_GetHeader(lvwList);
  const int columns = header ? Header_GetItemCount(header) : 0;
  if (columns <= 0) return;
  const double twipsPerPixel = TwipsPerPixel(dpi_);
  RECT listRect{};
  GetWindowRect(lvwList, &listRect);
  std::int16_t w = 0;
  ColumnWidth(static_cast<double>(listRect.right - listRect.left) * twipsPerPixel, twipsPerPixel, w);
  for (int column = 0; column < columns && column < 3; ++column) {
    const double width = column < 2 ? w : LastColumnWidth(w, twipsPerPixel);
    ListView_SetColumnWidth(lvwList, column, ColumnPixels(width, twipsPerPixel));
  }
}

// Makes the client area exactly the layout's size, whatever the frame measures.
void FrmMain::SizeWindowForClient() {
  const PixelSize wanted = ClientSizePixels(dpi_);
  RECT frame{0, 0, wanted.width, wanted.height};
  AdjustWindowRectForDpi(frame, kWindowStyle, kWindowExStyle, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  RECT window{};
  GetClientRect(hwnd_, &client);
  GetWindowRect(hwnd_, &window);
  const int dx = wanted.width - (client.right - client.left);
  const int dy = wanted.height - (client.bottom - client.top);
  if (dx != 0 || dy != 0) {
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + dx, window.bottom - window.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void FrmMain::OnDestroy() {
  KillTimer(hwnd_, kUpdateTimer);
  PostQuitMessage(0);
}

void FrmMain::OnTimer(UINT_PTR timer) {
  if (timer == kUpdateTimer) RefreshPass();
}

void FrmMain::OnCommand(int id, int code) {
  if (id == Spec(ControlName::cmdClose).controlId) {
    OnCloseClick();
  } else if (id == Spec(ControlName::cmdProperties).controlId && code == BN_CLICKED) {
    OnPropertiesClick();
  } else if (id == Spec(ControlName::cmdDevmgmt).controlId && code == BN_CLICKED) {
    OnDevmgmtClick();
  } else if (id == IDM_WHATSTHIS_HELP) {
    OnWhatsThisHelp();
  }
}

LRESULT FrmMain::OnNotify(NMHDR& header) {
  if (header.hwndFrom != lvwList) return 0;
  switch (header.code) {
    case NM_CUSTOMDRAW: return DrawGhostedRowsGrey(*reinterpret_cast<NMLVCUSTOMDRAW*>(&header));
    case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1); return 0;
    case NM_DBLCLK: OnListDoubleClick(); return 0;
    case NM_CLICK: OnControlMouseRelease(ControlName::lvwList, lvwList, ButtonCodeFromKeyState(kButtonLeft), kButtonLeft, {}); return 0;
    case NM_RCLICK: OnControlMouseRelease(ControlName::lvwList, lvwList, ButtonCodeFromKeyState(kButtonRight), kButtonRight, {}); return 0;
    default: return 0;
  }
}

void FrmMain::OnDrawItem(const DRAWITEMSTRUCT& draw) {
  FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (draw.hwndItem == imgIcon && programIcon_) {
    const RECT& box = draw.rcItem;
    const PixelRect at = CentredIn({box.left, box.top, box.right, box.bottom}, {programIconSide_, programIconSide_});
    DrawIconEx(draw.hDC, at.left, at.top, programIcon_.get(), at.width(), at.height(), 0, nullptr, DI_NORMAL);
  } else if (draw.hwndItem == imgLogo) {
    logo_.Draw(draw.hDC, draw.rcItem);
  }
}

bool FrmMain::OnSetCursor(HWND over, int hitTest) {
  if (over != imgLogo || hitTest != HTCLIENT || !handCursor_) return false;
  SetCursor(handCursor_);
  return true;
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
  const HWND focus = GetFocus();
  const bool onButton = focus && (focus == cmdProperties || focus == cmdDevmgmt || focus == cmdClose);
  return MAKELRESULT(onButton ? GetDlgCtrlID(focus) : Spec(ControlName::cmdClose).controlId, DC_HASDEFID);
}

void FrmMain::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  ApplyResolution();
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SizeWindowForClient();
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
