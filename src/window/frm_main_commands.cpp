// The window's commands: the buttons, the logo, the list's header and double-click,
// and Ctrl+C.
// Each reads what it needs first and makes its platform call last; none reports a
// failure, a command that cannot be carried out does nothing.
#include "window/frm_main.h"

#include "texts/state_words.h"
#include "platform/ansi_text.h"
#include "platform/file_exists.h"
#include "platform/clipboard.h"
#include "platform/device_properties.h"
#include "platform/shell_open.h"
#include "platform/system_directory.h"
#include "window/properties_command.h"
#include "window/sort_toggle.h"
#include "window/web_site.h"

namespace uvantic {

namespace {
constexpr wchar_t kDeviceManagerDocument[] = L"devmgmt.msc";
}

// The property sheet of the selected row's device, whatever its status and whether or
// not cmdProperties is enabled: the double-click comes here too. In process the sheet is
// modal, so there is only ever one; out of process each cable gets its own, and while
// the one started for this cable is open it comes to the front instead, since two
// sheets for one cable could overwrite each other's changes.
void FrmMain::OnPropertiesClick() {
  if (!hwnd_) return;
  const auto key = SelectedItem();
  if (!key) return;
  if (const StartedProgram* open = sheets_.OpenFor(*key)) {
    open->BringToFront();
    return;
  }
  const auto request = PropertySheetRequestFor(*key, static_cast<Machine>(ProgramMachine()),
                                               static_cast<Machine>(NativeMachine()),
                                               SystemWindowsDirectory().value_or(std::wstring()));
  if (!request) return;
  if (const auto* outside = std::get_if<OutOfProcessSheet>(&*request)) {
    // Without devmgr.dll rundll32 would show an error box of its own.
    if (!FileExists(outside->library)) return;
    if (auto started = StartWatchedProgram(outside->program, outside->commandLine, outside->directory, SW_SHOW)) {
      sheets_.Add(*key, std::move(*started));
    }
    return;
  }
  const auto ansiCommandLine = ToAnsi(std::get<InProcessSheet>(*request).commandLine);
  if (!ansiCommandLine) return;
  ShowDeviceProperties(hwnd_, GetModuleHandleW(nullptr), *ansiCommandLine, SW_SHOW);
}

void FrmMain::OnDevmgmtClick() {
  if (hwnd_) ShellOpen(hwnd_, kDeviceManagerDocument);
}

void FrmMain::OnLogoMouseDown(int buttonCode) { blnLogoPressed.Press(buttonCode); }

void FrmMain::OnLogoClick() {
  if (blnLogoPressed.Click() && hwnd_) ShellOpen(hwnd_, kWebSiteAddress);
}

void FrmMain::OnColumnClick(int headerIndex) { ToggleSort(*this, headerIndex); }

void FrmMain::OnListDoubleClick() { OnPropertiesClick(); }

// The selected row's three cells as the list shows them, and what its icon and dimming
// tell in words; the list stays as it is.
void FrmMain::OnCopyKey() {
  if (!hwnd_) return;
  const auto index =
      static_cast<int>(SendMessageW(lvwList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  const auto row = ShownRowAt(index);
  if (!row) return;
  CopyTextToClipboard(hwnd_, CopiedRowText(row->port, row->status, row->cableId, StateWordsOf(*row)));
}

// Ends the program: the timer first, so no tick runs after this; destroying the
// window posts the request to quit.
void FrmMain::OnCloseClick() {
  KillTimer(hwnd_, kUpdateTimer);
  DestroyWindow(hwnd_);
}

}  // namespace uvantic
