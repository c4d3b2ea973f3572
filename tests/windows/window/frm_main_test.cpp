// frmMain made for real over an in-memory registry: geometry at the screen's
// resolution, the load sequence, keyboard set-up, the timer's pass and Close.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "discovery/device_state.h"
#include "discovery/memory_registry.h"
#include "platform/text_catalog.h"
#include "resources/resource.h"
#include "texts/state_words.h"
#include "support/cable_keys.h"
#include "window/app_help_file.h"
#include "window/column_width.h"
#include "window/frm_main.h"
#include "window/high_contrast.h"
#include "window/layout.h"
#include "platform/win_dpi.h"

namespace uvantic {
namespace {

void InstallCable(MemoryRegistry& reg, const std::wstring& name, const std::wstring& port) {
  testing::InstallCable(reg, {.name = name, .port = port});
  reg.key(kDriverListPath).value(name, testing::InstancePath(name));
}

void DrainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool QuitPosted() {
  MSG message;
  return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

PixelRect LaidOut(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

class FrmMainTest : public ::testing::Test {
 protected:
  void TearDown() override {
    window_.reset();
    DrainMessages();
  }

  FrmMain& Make() {
    window_ = std::make_unique<FrmMain>(GetModuleHandleW(nullptr), reg_, helpFile_, texts_);
    EXPECT_TRUE(window_->Create());
    return *window_;
  }

  HWND Control(ControlName name) const { return window_->Control(name); }

  std::wstring Text(HWND hwnd) const {
    wchar_t buffer[128] = {};
    GetWindowTextW(hwnd, buffer, 128);
    return buffer;
  }

  MemoryRegistry reg_;
  AppHelpFile helpFile_;
  const ResourceTexts texts_{Language::English};
  std::unique_ptr<FrmMain> window_;
};

TEST_F(FrmMainTest, EveryControlSitsAtItsLayoutRectangleAtTheScreensResolution) {
  FrmMain& frm = Make();
  const int dpi = WindowDpi(frm.hwnd());
  RECT client{};
  GetClientRect(frm.hwnd(), &client);
  EXPECT_EQ((PixelSize{client.right, client.bottom}), ClientSizePixels(dpi));
  for (const ControlEntry& entry : kControls) {
    EXPECT_EQ(LaidOut(Control(entry.name)), ToPixels(entry.twips, dpi)) << entry.codeName;
    EXPECT_EQ(GetDlgCtrlID(Control(entry.name)), entry.controlId) << entry.codeName;
    EXPECT_EQ(GetWindowContextHelpId(Control(entry.name)), static_cast<DWORD>(entry.helpTopic)) << entry.codeName;
  }
}

// A system without GetDpiForWindow (Windows 8.1, Windows 10 before 1607), whose
// GetDpiForMonitor in shcore.dll answers 168 and records what it was asked.
struct MonitorAsked {
  std::wstring library;
  HMONITOR monitor = nullptr;
  int type = -1;
} monitorAsked;

HRESULT WINAPI GetDpiForMonitorOf168(HMONITOR monitor, int type, UINT* dpiX, UINT* dpiY) {
  monitorAsked.monitor = monitor;
  monitorAsked.type = type;
  *dpiX = *dpiY = 168;
  return S_OK;
}

FARPROC WithoutWindowResolution(const wchar_t* library, const char* name) {
  if (std::string_view(name) == "GetDpiForWindow") return nullptr;
  if (std::string_view(name) != "GetDpiForMonitor") return SystemExport(library, name);
  monitorAsked.library = library;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&GetDpiForMonitorOf168));
}

TEST_F(FrmMainTest, WithoutTheWindowsOwnResolutionTakesTheEffectiveResolutionOfItsMonitor) {
  FrmMain& frm = Make();
  EXPECT_EQ(WindowDpi(frm.hwnd(), &WithoutWindowResolution), 168);
  EXPECT_EQ(monitorAsked.library, L"shcore.dll");
  EXPECT_EQ(monitorAsked.monitor, MonitorFromWindow(frm.hwnd(), MONITOR_DEFAULTTONEAREST));
  EXPECT_EQ(monitorAsked.type, 0);  // MDT_EFFECTIVE_DPI
  EXPECT_NE(SystemExport(L"shcore.dll", "GetDpiForMonitor"), nullptr);
}

// Moved to a screen of another resolution, the window lays itself out afresh: the
// client area, every control and the columns as they would be had it started there.
TEST_F(FrmMainTest, ANewResolutionLaysTheWindowOutAfresh) {
  FrmMain& frm = Make();
  for (int dpi : {144, 192, 120, WindowDpi(frm.hwnd())}) {
    RECT suggested{0, 0, 800, 900};
    SendMessageW(frm.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    GetClientRect(frm.hwnd(), &client);
    EXPECT_EQ((PixelSize{client.right, client.bottom}), ClientSizePixels(dpi)) << dpi;
    for (const ControlEntry& entry : kControls) {
      EXPECT_EQ(LaidOut(Control(entry.name)), ToPixels(entry.twips, dpi)) << entry.codeName << " " << dpi;
    }
    const double p = TwipsPerPixel(dpi);
    std::int16_t w = 0;
    ASSERT_TRUE(ColumnWidth(Entry(ControlName::lvwList).twips.width, p, w));
    EXPECT_EQ(SendMessageW(Control(ControlName::lvwList), LVM_GETCOLUMNWIDTH, 2, 0),
              ColumnPixels(LastColumnWidth(w, p), p)) << dpi;
  }
}

// A new work area (the taskbar moved, a keyboard docked) keeps the user's column widths
// and moves the window only if it sticks out. Wine keeps a monitor's work area whatever
// SPI_SETWORKAREA says, so the window is put where a new one would leave it.
TEST_F(FrmMainTest, ANewWorkAreaKeepsTheUsersColumnsAndMovesTheWindowOnlyIfItSticksOut) {
  FrmMain& frm = Make();
  HWND list = Control(ControlName::lvwList);
  RECT work{}, w{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(frm.hwnd(), &w);
  const LONG left = work.left + 30, top = work.top + 20, right = work.right - (w.right - w.left);
  for (int column = 0; column < 3; ++column) ListView_SetColumnWidth(list, column, 50 + 40 * column);
  const POINT cases[][2] = {{{left, top}, {left, top}}, {{right + 9, top}, {right, top}}, {{left, -15}, {left, work.top}}};
  for (const auto& [at, after] : cases) {
    SetWindowPos(frm.hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(frm.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    GetWindowRect(frm.hwnd(), &w);
    EXPECT_TRUE(w.left == after.x && w.top == after.y) << at.x << "," << at.y << " to " << w.left << "," << w.top;
    for (int column = 0; column < 3; ++column) EXPECT_EQ(ListView_GetColumnWidth(list, column), 50 + 40 * column);
  }
}

TEST_F(FrmMainTest, FixedDialogFrameWithCaptionHelpButtonAndNoMenu) {
  FrmMain& frm = Make();
  EXPECT_EQ(Text(frm.hwnd()), L"Uvantic Finder");
  const auto style = GetWindowLongW(frm.hwnd(), GWL_STYLE);
  const auto exStyle = GetWindowLongW(frm.hwnd(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(exStyle & WS_EX_CONTEXTHELP);
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetMenu(frm.hwnd()), nullptr);
}

TEST_F(FrmMainTest, ControlsCarryTheirCaptions) {
  Make();
  EXPECT_EQ(Text(Control(ControlName::lblList)), L"The following &Uvantic devices have been installed:");
  EXPECT_EQ(Text(Control(ControlName::cmdProperties)), L"&Properties");
  EXPECT_EQ(Text(Control(ControlName::cmdDevmgmt)), L"&Device Manager...");
  EXPECT_EQ(Text(Control(ControlName::cmdClose)), L"Close");
}

// What a screen reader hears: the logo by where it leads, read as a client reads it, and
// each row's status with what its icon and dimming show, wherever sorting puts the row.
TEST_F(FrmMainTest, AssistiveTechnologyHearsTheLogosNameAndEachRowsState) {
  InstallCable(reg_, L"UV1&00", L"COM1");
  testing::InstallCable(reg_, {.name = L"UV2&00", .port = L"COM2", .service = std::nullopt});
  testing::InstallCable(reg_, {.name = L"UV3&00", .port = L"COM3", .service = std::nullopt, .configFlags = 1});
  InstallCable(reg_, L"UV4&00", L"COM4");
  reg_.key(testing::InstanceKey(L"UV4&00")).value(L"ConfigFlags", 1u);
  FrmMain& frm = Make();
  IAccessible* logo = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(Control(ControlName::imgLogo), OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&logo)),
            S_OK);
  VARIANT self{};  // lVal 0: CHILDID_SELF
  self.vt = VT_I4;
  BSTR name = nullptr;
  EXPECT_EQ(logo->get_accName(self, &name), S_OK);
  EXPECT_STREQ(name, L"Uvantic web site");
  SysFreeString(name);
  logo->Release();

  // Child ids as a client names the rows: 1 for the top one.
  frm.SetSortOrder(1);
  EXPECT_EQ(frm.ListChildDescription(1), L"Status: Disabled, USB Cable ID: UV4");
  EXPECT_EQ(frm.ListChildDescription(2),
            L"Status: Driver not loaded (disabled, not served by its driver), USB Cable ID: UV3");
  EXPECT_EQ(frm.ListChildDescription(3), L"Status: Driver not loaded (not served by its driver), USB Cable ID: UV2");
  EXPECT_EQ(frm.ListChildDescription(4), L"Status: OK, USB Cable ID: UV1");
  EXPECT_EQ(frm.ListChildDescription(5), std::nullopt);
}

TEST_F(FrmMainTest, LoadMakesThreeColumnsSizedFromTheListsWidth) {
  FrmMain& frm = Make();
  HWND list = Control(ControlName::lvwList);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  const double p = TwipsPerPixel(WindowDpi(frm.hwnd()));
  std::int16_t w = 0;
  ASSERT_TRUE(ColumnWidth(Entry(ControlName::lvwList).twips.width, p, w));
  const int expected[] = {ColumnPixels(w, p), ColumnPixels(w, p), ColumnPixels(LastColumnWidth(w, p), p)};
  const wchar_t* const headers[] = {L"COM Number", L"Status", L"USB Cable ID"};
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0), expected[column]) << column;
    wchar_t text[32] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.pszText = text;
    info.cchTextMax = 32;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, headers[column]);
    EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }
  if (WindowDpi(frm.hwnd()) == kDesignDpi) {
    EXPECT_EQ(expected[2], 109);
  }
}

TEST_F(FrmMainTest, WithoutCablesTheListIsEmptyAndPropertiesDisabledUntilOneAppears) {
  FrmMain& frm = Make();
  HWND list = Control(ControlName::lvwList);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_FALSE(IsWindowEnabled(Control(ControlName::cmdProperties)));
  EXPECT_EQ(frm.SelectedItem(), std::nullopt);

  InstallCable(reg_, L"UV1&00", L"COM7");
  SendMessageW(frm.hwnd(), WM_TIMER, kUpdateTimer, 0);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_TRUE(IsWindowEnabled(Control(ControlName::cmdProperties)));
  EXPECT_EQ(frm.SelectedItem(), std::nullopt);  // only the load selects a row
}

TEST_F(FrmMainTest, LoadSelectsTheFirstRowInSortOrder) {
  InstallCable(reg_, L"UV2&00", L"COM2");
  InstallCable(reg_, L"UV3&00", L"COM3");
  InstallCable(reg_, L"UV10&00", L"COM10");
  FrmMain& frm = Make();
  EXPECT_TRUE(IsWindowEnabled(Control(ControlName::cmdProperties)));
  EXPECT_EQ(frm.SelectedItem(), std::wstring(kInstancePathPrefix) + L"UV10&00");
  EXPECT_EQ(SendMessageW(Control(ControlName::lvwList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
}

TEST_F(FrmMainTest, TabVisitsListThenTheButtonsAndCloseIsTheDefaultButton) {
  InstallCable(reg_, L"UV2&00", L"COM2");  // Properties is enabled only with a row
  FrmMain& frm = Make();
  const HWND order[] = {Control(ControlName::lvwList), Control(ControlName::cmdProperties),
                        Control(ControlName::cmdDevmgmt), Control(ControlName::cmdClose)};
  for (std::size_t i = 0; i < std::size(order); ++i) {
    EXPECT_EQ(GetNextDlgTabItem(frm.hwnd(), order[i], FALSE), order[(i + 1) % std::size(order)]) << i;
  }
  const auto defaultId = SendMessageW(frm.hwnd(), DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
  EXPECT_EQ(LOWORD(defaultId), IDCANCEL);
  EXPECT_EQ(GetDlgCtrlID(Control(ControlName::cmdClose)), IDCANCEL);
}

TEST_F(FrmMainTest, ShownTheFocusIsOnTheList) {
  FrmMain& frm = Make();
  frm.Show(SW_SHOWNORMAL);
  SetForegroundWindow(frm.hwnd());
  DrainMessages();
  EXPECT_EQ(GetFocus(), Control(ControlName::lvwList));
}

bool IsDefaultButton(HWND button) {
  return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// Keys as the message loop hands them over: Tab moves the focus and with it the
// default-button look, Enter clicks the focused button or else Close, Alt+U reaches
// the list through the label's access key, Esc closes.
TEST_F(FrmMainTest, KeyboardMovesFocusAndTheDefaultButtonAsADialogDoes) {
  InstallCable(reg_, L"UV2&00", L"COM2");
  FrmMain& frm = Make();
  frm.Show(SW_SHOWNORMAL);
  SetForegroundWindow(frm.hwnd());
  DrainMessages();
  auto press = [&](UINT message, WPARAM key) {
    MSG msg{GetFocus(), message, key, 1, 0, {}};
    if (!frm.PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DrainMessages();
  };
  HWND list = Control(ControlName::lvwList);
  HWND properties = Control(ControlName::cmdProperties);
  HWND close = Control(ControlName::cmdClose);
  ASSERT_EQ(GetFocus(), list);
  EXPECT_TRUE(IsDefaultButton(close));

  press(WM_KEYDOWN, VK_TAB);
  ASSERT_EQ(GetFocus(), properties);
  EXPECT_TRUE(IsDefaultButton(properties));
  EXPECT_FALSE(IsDefaultButton(close));
  EXPECT_EQ(LOWORD(SendMessageW(frm.hwnd(), DM_GETDEFID, 0, 0)), GetDlgCtrlID(properties));

  press(WM_KEYDOWN, VK_RETURN);  // Properties, not Close
  ASSERT_TRUE(IsWindow(frm.hwnd()));

  press(WM_KEYDOWN, VK_TAB);
  press(WM_KEYDOWN, VK_TAB);
  ASSERT_EQ(GetFocus(), close);
  press(WM_KEYDOWN, VK_TAB);
  ASSERT_EQ(GetFocus(), list);
  EXPECT_TRUE(IsDefaultButton(close));
  EXPECT_FALSE(IsDefaultButton(properties));

  SetFocus(close);
  press(WM_SYSCHAR, L'u');
  EXPECT_EQ(GetFocus(), list);

  const HWND hwnd = frm.hwnd();
  press(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(FrmMainTest, TheHandPointerShowsOverTheLogoOnly) {
  FrmMain& frm = Make();
  const HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_POINTER));
  ASSERT_NE(hand, nullptr);
  SetCursor(nullptr);
  EXPECT_TRUE(SendMessageW(frm.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(ControlName::imgLogo)),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), hand);
  SetCursor(nullptr);
  SendMessageW(frm.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(ControlName::imgIcon)),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), hand);
}

TEST_F(FrmMainTest, ATickThatChangesNothingRepaintsNothing) {
  InstallCable(reg_, L"UV2&00", L"COM2");
  InstallCable(reg_, L"UV10&00", L"COM10");
  FrmMain& frm = Make();
  frm.Show(SW_SHOWNORMAL);
  DrainMessages();
  UpdateWindow(frm.hwnd());
  HWND list = Control(ControlName::lvwList);
  UpdateWindow(list);
  ASSERT_FALSE(GetUpdateRect(list, nullptr, FALSE));
  SendMessageW(frm.hwnd(), WM_TIMER, kUpdateTimer, 0);
  EXPECT_FALSE(GetUpdateRect(list, nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(frm.hwnd(), nullptr, FALSE));
}

SIZE CaptionSize(HWND control, const wchar_t* caption) {
  const WindowDc dc(control);
  const ScopedSelection font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT rect{};
  DrawTextW(dc.get(), caption, -1, &rect, DT_CALCRECT | DT_SINGLELINE);
  return {rect.right, rect.bottom};
}

// The message font at Windows' Text size steps, from this system's default and from
// Windows' own, then beyond what the work area holds. Every caption fits on one line
// (a button's with 6 pixels a side and 3 above and below for its frame, column texts
// with the header's 6 a side); back at the default the window is as before.
TEST_F(FrmMainTest, LargerTextGrowsTheLayoutSoThatEveryCaptionFits) {
  InstallCable(reg_, L"UV2&00", L"COM2");
  FrmMain& frm = Make();
  HWND list = Control(ControlName::lvwList);
  const int dpi = WindowDpi(frm.hwnd());
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  const int d = -metrics.lfMessageFont.lfHeight, w = MulDiv(kDefaultMessageFontPoints, dpi, 72);
  for (int em : {d, MulDiv(d, 150, 100), 2 * d, MulDiv(d, 225, 100), w, MulDiv(w, 150, 100), 2 * w,
                 MulDiv(w, 225, 100), 6 * w, d}) {
    SCOPED_TRACE(::testing::Message() << em << " pixel font");
    metrics.lfMessageFont.lfHeight = -em;
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    SendMessageW(frm.hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    RECT work{}, window{}, client{}, both{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(frm.hwnd(), &window);
    GetClientRect(frm.hwnd(), &client);
    EXPECT_TRUE(UnionRect(&both, &work, &window) && EqualRect(&both, &work)) << "the window leaves the work area";
    const bool fits = em <= 4 * d;  // beyond, only the work area limits the window
    for (const ControlEntry& entry : kControls) {
      const PixelRect has = LaidOut(Control(entry.name));
      EXPECT_TRUE(has.left >= 0 && has.top >= 0 && has.right <= client.right && has.bottom <= client.bottom);
      const int margin = entry.kind == ControlKind::CommandButton ? 6 : 0;
      const SIZE needs = CaptionSize(Control(entry.name), entry.caption ? texts_.Text(*entry.caption).c_str() : L"");
      EXPECT_TRUE(!fits || (needs.cx + 2 * margin <= has.width() && needs.cy + margin <= has.height())) << entry.codeName;
      EXPECT_TRUE(em != d || has == ToPixels(entry.twips, dpi)) << entry.codeName;
    }
    const wchar_t* const cells[] = {L"COM Number", L"COM2", L"Status", L"Driver not loaded", L"USB Cable ID", L"UV2&00"};
    for (int i = 0; i < 6 && fits; ++i) EXPECT_LE(CaptionSize(list, cells[i]).cx + 12, ListView_GetColumnWidth(list, i / 2));
  }
}

// Reads the "What's This?" item's text as its menu opens, and closes the menu.
wchar_t whatsThisItem[64];
LRESULT CALLBACK ReadMenuAndClose(int code, WPARAM wParam, LPARAM lParam) {
  const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message.message == WM_INITMENUPOPUP) {
    GetMenuStringW(reinterpret_cast<HMENU>(message.wParam), 0, whatsThisItem, 64, MF_BYPOSITION);
    EndMenu();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One row per language, with Windows' own words in it; the row of the language this
// process runs in is checked (window_languages runs the tests once per locale: Wine
// takes a process's language, and the fonts it draws the script with, from LANG). The
// window's texts are the language's, and every caption, header and status fits at this
// system's text size and at Windows' 200 %, the layout growing only across; the
// tightest fits are printed.
TEST_F(FrmMainTest, InTheUsersLanguageEveryTextIsItsOwnAndFits) {
  const struct {
    const wchar_t *deviceManager, *close, *whatsThis;
  } rows[] = {  // in the order of Language
      {L"&Device Manager...", L"Close", L"&What's This?"},
      {L"&Ger\u00e4te-Manager...", L"Schlie\u00dfen", L"&Direkthilfe"},
      {L"&Gestionnaire de p\u00e9riph\u00e9riques...", L"Fermer", L"&Qu'est-ce que c'est\u00a0?"},
      {L"&Administrador de dispositivos...", L"Cerrar", L"\u00bf&Qu\u00e9 es esto?"},
      {L"&Gestione dispositivi...", L"Chiudi", L"&Guida rapida"},
      {L"&Gerenciador de Dispositivos...", L"Fechar", L"&O que \u00e9 isto?"},
      {L"\u30c7\u30d0\u30a4\u30b9 \u30de\u30cd\u30fc\u30b8\u30e3\u30fc(&D)...", L"\u9589\u3058\u308b",
       L"\u30d8\u30eb\u30d7(&W)"},
      {L"\uc7a5\uce58 \uad00\ub9ac\uc790(&D)...", L"\ub2eb\uae30", L"\ub3c4\uc6c0\ub9d0(&W)"},
      {L"\u8bbe\u5907\u7ba1\u7406\u5668(&D)...", L"\u5173\u95ed", L"\u8fd9\u662f\u4ec0\u4e48(&W)?"},
  };
  const Language language = UserLanguage();
  ASSERT_LT(static_cast<std::size_t>(language), std::size(rows));
  const auto row = &rows[static_cast<int>(language)];
  const std::wstring tag(LanguageTag(language));
  const ResourceTexts texts(language);
  window_ = std::make_unique<FrmMain>(GetModuleHandleW(nullptr), reg_, helpFile_, texts, language);
  ASSERT_TRUE(window_->Create());
  HWND list = Control(ControlName::lvwList);
  EXPECT_EQ(Text(Control(ControlName::cmdDevmgmt)), row->deviceManager);
  EXPECT_EQ(Text(Control(ControlName::cmdClose)), row->close);
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &ReadMenuAndClose, nullptr, GetCurrentThreadId());
  SendMessageW(Control(ControlName::lblList), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  SendMessageW(Control(ControlName::lblList), WM_RBUTTONUP, 0, 0);
  UnhookWindowsHookEx(hook);
  EXPECT_STREQ(whatsThisItem, row->whatsThis);
  std::vector<std::pair<int, std::wstring>> cells;  // column, text
  for (int column = 0; column < 3; ++column) {
    wchar_t header[64] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT, info.pszText = header, info.cchTextMax = 64;
    ListView_GetColumn(list, column, &info);
    cells.emplace_back(column, header);
  }
  EXPECT_EQ(cells[1].second, texts.Text(TextId::ColumnStatus));
  for (int status = 0; status < 4; ++status) cells.emplace_back(1, texts.Text(StatusText(CableStatus(status))));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  const int d = -metrics.lfMessageFont.lfHeight, dpi = WindowDpi(window_->hwnd());
  for (const auto& [percent, em] : {std::pair{100, d}, {200, 2 * MulDiv(kDefaultMessageFontPoints, dpi, 72)}, {0, d}}) {
    metrics.lfMessageFont.lfHeight = -em;
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    SendMessageW(window_->hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    if (percent == 0) break;  // back at the system's size
    SCOPED_TRACE(::testing::Message() << tag << " at " << percent << " %");
    RECT client{};
    GetClientRect(window_->hwnd(), &client);
    EXPECT_TRUE(percent != 100 || client.bottom == ClientSizePixels(dpi).height);
    std::printf("fit %ls %d %%: client %ld x %ld;", tag.c_str(), percent, client.right, client.bottom);
    for (const ControlEntry& entry : kControls) {
      if (entry.kind != ControlKind::Label && entry.kind != ControlKind::CommandButton) continue;
      const PixelRect has = LaidOut(Control(entry.name));
      const int margin = entry.kind == ControlKind::CommandButton ? 6 : 0;
      const SIZE needs = CaptionSize(Control(entry.name), Text(Control(entry.name)).c_str());
      EXPECT_LE(needs.cx + 2 * margin, has.width()) << entry.codeName;
      EXPECT_LE(needs.cy + margin, has.height()) << entry.codeName;
      std::printf(" %ls %ld/%d", entry.codeName, needs.cx + 2 * margin, has.width());
    }
    int widest = 0;
    for (const auto& [column, text] : cells) {
      const int needs = CaptionSize(list, text.c_str()).cx + 12;
      EXPECT_LE(needs, ListView_GetColumnWidth(list, column)) << text;
      if (column == 1) widest = std::max(widest, needs);
    }
    std::printf(" status column %d/%d\n", widest, ListView_GetColumnWidth(list, 1));
  }
}

// The contrast of the two most common colours (background, and text or a picture's
// body) in a control's client area, or part of it, drawn through WM_PRINTCLIENT.
double PrintedContrast(HWND control, RECT part = {0, 0, 0, 0}) {
  RECT client{};
  GetClientRect(control, &client);
  if (IsRectEmpty(&part)) part = client;
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  const UniqueHBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  const ScopedSelection selected(memory.get(), bitmap.get());
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  std::map<Rgb, int> counts;
  for (LONG y = part.top; y < part.bottom; ++y) {
    for (LONG x = part.left; x < part.right; ++x) ++counts[static_cast<const Rgb*>(bits)[y * client.right + x] & 0xFFFFFF];
  }
  std::vector<std::pair<Rgb, int>> common(counts.begin(), counts.end());
  std::ranges::stable_sort(common, std::greater{}, &std::pair<Rgb, int>::second);
  return common.size() < 2 ? 1.0 : ContrastRatio(common[0].first, common[1].first);
}

// High contrast turned on under the colours of High Contrast Black, then the colours
// changed to High Contrast White: the logo stands out from the background by at least
// 3:1, and a selected ghosted row's status from the selection by at least 4.5:1.
TEST_F(FrmMainTest, UnderHighContrastTheLogoAndASelectedGhostedRowKeepTheirContrast) {
  testing::InstallCable(reg_, {.name = L"UV1&00", .port = L"COM1", .service = std::nullopt});
  FrmMain& frm = Make();
  HWND list = Control(ControlName::lvwList);
  ASSERT_EQ(ListView_GetItemState(list, 0, LVIS_CUT | LVIS_SELECTED), static_cast<UINT>(LVIS_CUT | LVIS_SELECTED));
  bool highContrast = false;
  frm.TakeHighContrastFrom([&highContrast] { return highContrast; });
  const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                          COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
  COLORREF saved[std::size(elements)];
  std::transform(std::begin(elements), std::end(elements), saved, GetSysColor);
  const COLORREF themes[][std::size(elements)] = {
      {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, RGB(0x1A, 0xEB, 0xFF), 0x000000, RGB(0x3F, 0xF2, 0x3F)},
      {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, RGB(0x37, 0x00, 0x6E), 0xFFFFFF, RGB(0x60, 0x00, 0x00)}};
  for (const auto& theme : themes) {
    SetSysColors(static_cast<int>(std::size(elements)), elements, theme);
    if (!std::exchange(highContrast, true)) SendMessageW(frm.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    DrainMessages();
    RECT status{};
    ListView_GetSubItemRect(list, 0, 1, LVIR_BOUNDS, &status);
    EXPECT_GE(PrintedContrast(Control(ControlName::imgLogo)), 3.0) << theme[0];
    EXPECT_GE(PrintedContrast(list, status), 4.5) << theme[0];
  }
  SetSysColors(static_cast<int>(std::size(elements)), elements, saved);
}

// A registry that throws on every open, as a read that runs out of memory may.
class ThrowingRegistry final : public RegistryView {
 public:
  std::unique_ptr<RegistryKey> OpenKey(std::wstring_view) const override { throw std::bad_alloc(); }
};

TEST_F(FrmMainTest, LoadAndTicksGoOnWhenTheRegistryThrows) {
  ThrowingRegistry throwing;
  window_ = std::make_unique<FrmMain>(GetModuleHandleW(nullptr), throwing, helpFile_, texts_);
  ASSERT_TRUE(window_->Create());
  SendMessageW(window_->hwnd(), WM_TIMER, kUpdateTimer, 0);
  EXPECT_EQ(ListView_GetItemCount(Control(ControlName::lvwList)), 0);
  EXPECT_FALSE(IsWindowEnabled(Control(ControlName::cmdProperties)));
  window_.reset();
}

TEST_F(FrmMainTest, CloseDestroysTheWindowAndEndsTheMessageLoop) {
  FrmMain& frm = Make();
  DrainMessages();
  ASSERT_FALSE(QuitPosted());
  const HWND hwnd = frm.hwnd();
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(Control(ControlName::cmdClose)));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(frm.hwnd(), nullptr);
  EXPECT_TRUE(QuitPosted());
}

}  // namespace
}  // namespace uvantic
