// frmMain's controls: making them, placing them and their pictures and fonts at the
// screen's resolution and text size, drawing the pictures and the default-button look.
#include "window/frm_main.h"

#include <uxtheme.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "texts/state_words.h"
#include "window/column_width.h"
#include "window/picture_size.h"
#include "window/text_fit.h"
#include "window/web_site.h"
#include "platform/win_dpi.h"

namespace uvantic {
namespace {

// The sizes the program icon and the state icons are drawn in.
constexpr std::initializer_list<int> kProgramIconSizes{16, 32, 48};
constexpr std::initializer_list<int> kStateIconSizes{16};
constexpr int kStateIcons[] = {IDI_STATE_NORMAL, IDI_STATE_DISABLED, IDI_STATE_DRIVER_NOT_LOADED};
constexpr int kStateIconSide = 16;

bool SystemHighContrast() {
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof(setting);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// The size of the work area of the monitor the window is on (the screen less the
// taskbar and docked bars).
PixelSize WorkAreaSize(HWND window, RECT& workArea) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    workArea = monitor.rcWork;
  } else if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) {
    workArea = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return {workArea.right - workArea.left, workArea.bottom - workArea.top};
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

}  // namespace

bool FrmMain::CreateControls() {
  highContrast_ = highContrastSetting_ ? highContrastSetting_() : SystemHighContrast();
  for (ControlName name : CreationOrder()) {
    const ControlEntry& entry = Entry(name);
    const PixelRect rect = ToPixels(entry.twips, dpi_);
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (entry.kind) {
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
    const std::wstring caption = entry.caption ? texts_.Text(*entry.caption) : std::wstring();
    HWND control = CreateWindowExW(exStyle, windowClass, caption.c_str(), style, rect.left, rect.top, rect.width(),
                                   rect.height(), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.controlId)),
                                   instance_, nullptr);
    if (!control) return false;
    SetWindowContextHelpId(control, static_cast<DWORD>(entry.helpTopic));
    HookControl(name, control);
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
  list_.SetStatusTexts({texts_.Text(StatusText(CableStatus::Ok)), texts_.Text(StatusText(CableStatus::NotPresent)),
                        texts_.Text(StatusText(CableStatus::DriverNotLoaded)),
                        texts_.Text(StatusText(CableStatus::Disabled))});
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

// Fonts, pictures, control positions and column widths for the resolution in dpi_,
// the size of the message font and the length of the texts.
void FrmMain::ApplyResolution() {
  // The controls keep using the old font until they are handed the new one, so it is
  // released only then; without a new one they keep the old.
  UniqueHFont font = CreateMessageFont(dpi_);
  HFONT shown = font ? font.get() : font_.get();
  layoutDpi_ = LayoutDpiFor(shown);
  layoutDpiAcross_ = LayoutDpiAcrossFor(shown);
  for (const ControlEntry& entry : kControls) {
    HWND control = Control(entry.name);
    const PixelRect rect = Placed(entry);
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.width(), rect.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  if (font) font_ = std::move(font);
  LoadPictures();
  SetColumnWidths();
}

// The layout grows with the font, as far as the window still fits in the work area
// of its monitor.
int FrmMain::LayoutDpiFor(HFONT font) const {
  RECT frame{};
  AdjustWindowRectForDpi(frame, kMainWindowStyle, kMainWindowExStyle, dpi_);
  RECT workArea{};
  return CapLayoutDpi(TextLayoutDpi(dpi_, FontEmPixels(font)), dpi_,
                      {frame.right - frame.left, frame.bottom - frame.top}, WorkAreaSize(hwnd_, workArea));
}

// Each text as the control draws it: captions with their access keys, the headers
// and status texts on one line in the list's font (the window's).
int FrmMain::LayoutDpiAcrossFor(HFONT font) const {
  const WindowDc screen(nullptr);
  if (!screen || !font) return layoutDpi_;
  const ScopedSelection selected(screen.get(), font);
  std::vector<MeasuredText> texts;
  auto measure = [&](TextPlace place, const std::wstring& text, UINT format) {
    RECT rect{};
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE | format);
    texts.push_back({place, rect.right - rect.left, rect.bottom - rect.top});
  };
  for (const ControlEntry& entry : kControls) {
    if (entry.kind == ControlKind::Label || entry.kind == ControlKind::CommandButton) {
      measure({entry.name}, WindowText(Control(entry.name)), 0);
    }
  }
  for (const ColumnText& text : ColumnTexts()) measure({ControlName::lvwList, text.column}, text.text, DT_NOPREFIX);
  RECT frame{};
  AdjustWindowRectForDpi(frame, kMainWindowStyle, kMainWindowExStyle, dpi_);
  RECT workArea{};
  return FitLayoutDpiAcross(texts, layoutDpi_, dpi_, frame.right - frame.left, WorkAreaSize(hwnd_, workArea).width);
}

void FrmMain::LoadPictures() {
  const PixelRect iconBox = Placed(Entry(ControlName::imgIcon));
  const IconScale program = IconFor(kProgramIconSizes, std::min(iconBox.width(), iconBox.height()));
  programIcon_ = LoadIconAtSize(instance_, IDI_PROGRAM, program.source);
  programIconSide_ = program.side;
  // The class's icons are made at the system's resolution: they serve until the window
  // first needs icons of another size. As with the font, the window's old icons go only
  // once it holds the new ones.
  const int systemDpi = SystemDpi();
  if (dpi_ != systemDpi || bigIcon_ || smallIcon_) {
    UniqueHIcon bigIcon = LoadIconAtSize(instance_, IDI_PROGRAM, MulDiv(GetSystemMetrics(SM_CXICON), dpi_, systemDpi));
    UniqueHIcon smallIcon =
        LoadIconAtSize(instance_, IDI_PROGRAM, MulDiv(GetSystemMetrics(SM_CXSMICON), dpi_, systemDpi));
    if (bigIcon) {
      SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
      bigIcon_ = std::move(bigIcon);
    }
    if (smallIcon) {
      SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
      smallIcon_ = std::move(smallIcon);
    }
  }

  // The rows grow with the text, and their icons with them.
  const IconScale state = IconFor(kStateIconSizes, MulDiv(kStateIconSide, layoutDpi_, kDesignDpi));
  // Drawn through each icon's own mask (no background colour), so a selected row's
  // highlight shows around the icon.
  UniqueHImageList images(ImageList_Create(state.side, state.side, ILC_COLOR4 | ILC_MASK, 3, 0));
  if (images) {
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
  ColourLogo();
  InvalidateRect(imgIcon, nullptr, TRUE);
}

// The logo's own colours are fixed; under high contrast its shape takes the text
// colour of the window's background instead.
void FrmMain::ColourLogo() {
  logo_.ScaleTo(ScaledPictureSize(logo_.NaturalSize(), layoutDpi_),
                highContrast_ ? std::optional<COLORREF>(GetSysColor(COLOR_BTNTEXT)) : std::nullopt);
  InvalidateRect(imgLogo, nullptr, TRUE);
}

void FrmMain::TakeHighContrastFrom(std::function<bool()> setting) {
  highContrastSetting_ = std::move(setting);
  ReadHighContrast();
}

void FrmMain::ReadHighContrast() {
  highContrast_ = highContrastSetting_ ? highContrastSetting_() : SystemHighContrast();
  ColourLogo();
  InvalidateRect(lvwList, nullptr, TRUE);
}

// After a change of resolution the columns get the widths the load sequence would
// have given them.
void FrmMain::SetColumnWidths() {
  HWND header = ListView_GetHeader(lvwList);
  const int columns = header ? Header_GetItemCount(header) : 0;
  const std::array<int, 3> widths = ListColumnPixels(layoutDpiAcross_, dpi_);
  for (int column = 0; column < columns && column < 3; ++column) {
    ListView_SetColumnWidth(lvwList, column, widths[static_cast<std::size_t>(column)]);
  }
}

// Makes the client area exactly the layout's size, whatever the frame measures.
void FrmMain::SizeWindowForClient() {
  const PixelSize wanted = ClientSizePixels(layoutDpiAcross_, layoutDpi_);
  RECT frame{0, 0, wanted.width, wanted.height};
  AdjustWindowRectForDpi(frame, kMainWindowStyle, kMainWindowExStyle, dpi_);
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

// A window that sticks out of the work area (grown by larger text, or left outside a
// work area that shrank) is moved back in, its top-left corner first.
void FrmMain::KeepInWorkArea() {
  RECT window{};
  RECT workArea{};
  WorkAreaSize(hwnd_, workArea);
  if (!GetWindowRect(hwnd_, &window)) return;
  const int left = std::max(std::min(window.left, workArea.right - (window.right - window.left)), workArea.left);
  const int top = std::max(std::min(window.top, workArea.bottom - (window.bottom - window.top)), workArea.top);
  if (left == window.left && top == window.top) return;
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmMain::SetPropertiesEnabled(bool enabled) {
  if ((IsWindowEnabled(cmdProperties) != FALSE) == enabled) return;
  // A disabled button cannot keep the focus: hand it to the list first.
  if (!enabled && GetFocus() == cmdProperties) SetFocus(lvwList);
  EnableWindow(cmdProperties, enabled);
}

// The focused command button is the one Enter clicks and shows as such; with the
// focus anywhere else it is Close.
HWND FrmMain::DefaultButton(HWND focus) const {
  const bool onButton = focus && (focus == cmdProperties || focus == cmdDevmgmt || focus == cmdClose);
  return onButton ? focus : cmdClose;
}

void FrmMain::ShowDefaultButton(HWND focus) {
  const HWND defaultButton = DefaultButton(focus);
  for (HWND button : {cmdProperties, cmdDevmgmt, cmdClose}) {
    const LONG_PTR wanted = button == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) != wanted) {
      SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
    }
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

// New colours reach the list, which paints with colours it keeps itself, and the
// logo, which may be drawn in one of them. High contrast going on or off changes the
// colours too.
void FrmMain::OnSysColorChange() {
  SendMessageW(lvwList, WM_SYSCOLORCHANGE, 0, 0);
  ReadHighContrast();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// A new message font (larger or smaller text) is taken up as a new resolution would
// be.
void FrmMain::OnSettingChange(UINT setting) {
  if (setting == SPI_SETNONCLIENTMETRICS) {
    ApplyResolution();
    SizeWindowForClient();
    KeepInWorkArea();
  } else if (setting == SPI_SETWORKAREA) {
    OnWorkAreaChange();
  } else if (setting == SPI_SETHIGHCONTRAST) {
    ReadHighContrast();
  }
}

// A new work area (the taskbar moved, a touch keyboard docked, a remote session's new
// screen) comes often and means nothing to the window itself: the columns keep the
// widths the user gave them, and the window moves only if it now sticks out. Only
// when it changes how far large text may grow the layout is the window laid out
// again, each column keeping its share of the list.
void FrmMain::OnWorkAreaChange() {
  const int before = layoutDpi_;
  if (LayoutDpiFor(font_.get()) != before) {
    std::array<int, 3> widths{};
    for (int column = 0; column < 3; ++column) {
      widths[static_cast<std::size_t>(column)] = ListView_GetColumnWidth(lvwList, column);
    }
    ApplyResolution();
    for (int column = 0; column < 3; ++column) {
      ListView_SetColumnWidth(lvwList, column, MulDiv(widths[static_cast<std::size_t>(column)], layoutDpi_, before));
    }
    SizeWindowForClient();
  }
  KeepInWorkArea();
}

void FrmMain::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  ApplyResolution();
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SizeWindowForClient();
}

}  // namespace uvantic
