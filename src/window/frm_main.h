// frmMain, the program's only window: the device list, its commands, the logo and
// the timer that keeps the list current.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/registry_view.h"
#include "platform/accessibility.h"
#include "platform/handles.h"
#include "platform/html_help.h"
#include "platform/processes.h"
#include "platform/registry_watcher.h"
#include "texts/language.h"
#include "texts/texts.h"
#include "window/app_help_file.h"
#include "window/copy_row.h"
#include "window/layout.h"
#include "window/list_view_device_list.h"
#include "window/logo_press.h"
#include "window/open_sheets.h"
#include "window/pass_spacing.h"
#include "window/win_picture.h"

namespace uvantic {

inline constexpr wchar_t kMainWindowClass[] = L"UvanticFinderMain";
inline constexpr wchar_t kMainWindowCaption[] = L"Uvantic Finder";
inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr DWORD kMainWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;
inline constexpr UINT_PTR kUpdateTimer = 1;
inline constexpr UINT kUpdateInterval = 1000;
// Posted by the registry watcher when keys the refresh pass reads have changed.
inline constexpr UINT kRegistryChangedMessage = WM_APP + 1;

class FrmMain {
 public:
  // registry is read by every refresh pass, helpFile by context help and texts for
  // every word the window shows; all must outlive the window. language chooses the help
  // file: the language's own beside the registered one, where there is one.
  FrmMain(HINSTANCE instance, const RegistryView& registry, const AppHelpFile& helpFile, const Texts& texts,
          Language language = Language::English);
  ~FrmMain();
  FrmMain(const FrmMain&) = delete;
  FrmMain& operator=(const FrmMain&) = delete;

  // Creates the window and its controls, starts the timer and runs the load
  // sequence; the window is not shown yet. False when no window could be made.
  bool Create();
  void Show(int showCommand);

  // For the message loop: key preview first (never consumes the key), then the
  // keyboard handling of a dialog (Tab, access keys, Enter, Esc). True when the
  // message was handled and is not to be dispatched.
  bool PreTranslate(MSG& message);

  HWND hwnd() const { return hwnd_; }
  HWND Control(ControlName name) const;

  // The sort state of lvwList; setting either reorders the rows at once.
  int SortKey() const { return list_.SortKey(); }
  int SortOrder() const { return list_.SortOrder(); }
  void SetSortKey(int key) { list_.SetSortKey(key); }
  void SetSortOrder(int order) { list_.SetSortOrder(order); }
  std::optional<std::wstring> SelectedItem() const { return list_.SelectedItem(); }
  // What a screen reader reading the description of the list's child childId is told:
  // the row's status, what its icon and dimming show, and its cable identifier.
  // nullopt for the list itself and for no such row.
  std::optional<std::wstring> ListChildDescription(long childId) const {
    return annotations_.ChildDescription(lvwList, childId);
  }

  // One refresh pass, as a timer tick runs it.
  void RefreshPass();

  // Where the window learns whether high contrast is on, which it reads now, when it
  // is made and on every change of colours or of the setting: the system's setting
  // unless a test gives another here, where the system cannot turn it on. Under high
  // contrast the logo's shape is drawn in the system's text colour and a selected
  // ghosted row in the selection colours.
  void TakeHighContrastFrom(std::function<bool()> setting);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // What ControlProc needs to route a control's messages: the window, which control it
  // is, and the control's own window procedure, which gets every message after us.
  struct ControlHook {
    FrmMain* owner = nullptr;
    ControlName name = ControlName::imgIcon;
    WNDPROC original = nullptr;
  };
  void HookControl(ControlName name, HWND control);
  LRESULT HandleControlMessage(const ControlHook& hook, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

  // Messages of the window.
  bool OnCreate();
  void OnDestroy();
  void OnTimer(UINT_PTR timer);
  void OnRegistryChanged();
  void OnCommand(int id, int code);
  LRESULT OnNotify(NMHDR& header);
  void OnDrawItem(const DRAWITEMSTRUCT& draw);
  bool OnSetCursor(HWND over, int hitTest);
  void OnActivate(int state);
  void OnSetFocus();
  void OnNextDialogControl(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDefaultId();
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnSysColorChange();
  void OnSettingChange(UINT setting);
  void OnWorkAreaChange();

  // Messages of the controls.
  void OnControlMouseDown(ControlName name, HWND control, int buttonCode, int button, bool doubleClick);
  void OnControlMouseRelease(ControlName name, HWND control, int buttonCode, int button, POINT at);
  void OnControlFocus(ControlName name);
  void OnControlCaptureLost(ControlName name, HWND control, HWND newCapture);
  void OnListClickNotification(int button);

  // Set-up.
  bool CreateControls();
  void CreateLogoTooltip();
  void ApplyResolution();  // fonts, pictures and positions for dpi_ and the text size
  int LayoutDpiFor(HFONT font) const;
  // How far across the layout grows so that every text this language shows fits, in
  // this font; the least is layoutDpi_.
  int LayoutDpiAcrossFor(HFONT font) const;
  PixelRect Placed(const ControlEntry& entry) const { return ToPixels(entry.twips, layoutDpiAcross_, layoutDpi_); }
  void SizeWindowForClient();
  void KeepInWorkArea();
  void LoadPictures();
  void ColourLogo();
  void ReadHighContrast();
  void SetColumnWidths();
  // The texts the list's columns show in this language: the headers, and every status.
  struct ColumnText {
    int column;
    std::wstring text;
  };
  std::vector<ColumnText> ColumnTexts() const;
  void Load();
  void SetPropertiesEnabled(bool enabled);
  // The button that Enter presses: the focused command button, else cmdClose.
  HWND DefaultButton(HWND focus) const;
  void ShowDefaultButton(HWND focus);

  // Events handled in frm_main_commands.cpp.
  void OnPropertiesClick();
  void OnDevmgmtClick();
  void OnLogoMouseDown(int buttonCode);
  void OnLogoClick();
  void OnColumnClick(int headerIndex);  // 1-based
  void OnListDoubleClick();
  void OnCopyKey();
  void OnCloseClick();

  // What assistive technology hears, in frm_main_accessibility.cpp.
  struct ShownRow {
    std::wstring port, status, cableId;
    std::optional<CableStatus> statusShown;  // the status the status cell's words stand for
    bool disabledIcon = false;
    bool ghosted = false;
  };
  void MakeAccessible();
  std::optional<ShownRow> ShownRowAt(int index) const;
  std::wstring StateWordsOf(const ShownRow& row) const;
  std::optional<std::wstring> DescribeRow(int index) const;

  // Events handled in frm_main_help.cpp.
  void OnKeyPreview(int keyCode, int shift);
  void OnControlMouseUp(int buttonCode, ControlName control);
  void OnWhatsThisHelp();
  void OnHelp(const HELPINFO& info);
  void ShowWhatsThisPopup(ControlName control, POINT at);
  void ShowWhatsThis(ControlName control, POINT at);
  std::optional<ControlName> ControlOf(HWND window) const;
  std::wstring HelpFilePath() const;

  HINSTANCE instance_;
  const RegistryView& registry_;
  const AppHelpFile& helpFile_;
  const Texts& texts_;
  Language language_;
  // Whether the logo was last pressed with the left button alone; the logo's click
  // and the context-help popup clear it.
  LogoPress blnLogoPressed;
  // rundll32 showing a cable's property sheet out of process, by the cable's key.
  OpenSheets<StartedProgram> sheets_;
  // The logo's role and the rows' descriptions, for assistive technology.
  AccessibleAnnotations annotations_;
  // The control the "What's This?" popup was last opened for, kept after it closes,
  // and where it was opened, in screen coordinates.
  std::optional<ControlName> ctlWhatsThis;
  POINT whatsThisAt_{};
  UniqueHMenu mnuWhatsThis;  // made with the first popup
  // Makes the timer tick early when the registry changes; from creation to destruction
  // of the window. Without it the timer alone keeps the list current.
  std::unique_ptr<RegistryWatcher> watcher_;
  // Keeps the window free for a whole interval after a pass that took that long.
  PassSpacing spacing_{std::chrono::milliseconds(kUpdateInterval)};
  // hhctrl.ocx, loaded when help is first shown.
  HelpDisplay helpDisplay_;
  HWND hwnd_ = nullptr;
  int dpi_ = kDesignDpi;
  // The resolution the twips are laid out at: dpi_, enlarged as far as the message font
  // is larger than its default size and the work area has room.
  int layoutDpi_ = kDesignDpi;
  // The layout's resolution across: layoutDpi_, or more where a language's texts need
  // wider controls or columns than the font alone gives them.
  int layoutDpiAcross_ = kDesignDpi;
  bool highContrast_ = false;
  std::function<bool()> highContrastSetting_;  // empty: the system's

  HWND imgIcon = nullptr;
  HWND lblList = nullptr;
  HWND lvwList = nullptr;
  HWND cmdProperties = nullptr;
  HWND imgLogo = nullptr;
  HWND cmdDevmgmt = nullptr;
  HWND cmdClose = nullptr;
  HWND logoTooltip_ = nullptr;
  std::array<ControlHook, kControls.size()> controlHooks_{};  // by ControlName
  ListViewDeviceList list_;

  UniqueHFont font_;
  UniqueHImageList imlIcons;
  UniqueHIcon bigIcon_;
  UniqueHIcon smallIcon_;
  UniqueHIcon programIcon_;  // drawn by imgIcon
  int programIconSide_ = 32;
  AlphaPicture logo_;
  HCURSOR handCursor_ = nullptr;  // shared, not destroyed

  HWND lastFocus_ = nullptr;  // restored when the window is activated again
  // Mouse buttons pressed on a picture or the label, which hold the mouse until the
  // last of them is released, so the release goes to the control that was pressed.
  int staticButtonsDown_ = 0;
  bool logoClickPending_ = false;
  // Buttons pressed on the list whose release is still to be reported: the list view
  // swallows some releases and reports them as click notifications instead.
  int listButtonsDown_ = 0;
};

// Runs the thread's messages through the window's keyboard handling until the
// program is asked to end; returns the exit code.
int RunMessageLoop(FrmMain& window);

}  // namespace uvantic
