// The window's commands: the buttons, the logo, the list's header and double-click.
// Each reads what it needs first and makes its platform call last; none reports a
// failure, a command that cannot be carried out does nothing.
#include "window/frm_main.h"

#include "platform/ansi_text.h"
#include "platform/shell_open.h"
#include "window/properties_command.h"
#include "window/sort_toggle.h"
#include "window/web_site.h"

namespace uvantic {

namespace {
constexpr wchar_t kDeviceManagerDocument[] = L"devmgmt.msc";
}

// The property sheet of the selected row's device, whatever its status and whether or
// not cmdProperties is enabled: the double-click comes here too.
void FrmMain::OnPropertiesClick() {
  if (!hwnd_) return;
  const auto key = SelectedItem();
  if (!key) return;
  const auto commandLine = PropertiesCommandLine(*key);
  if (!commandLine) return;
  const auto ansiCommandLine = ToAnsi(*commandLine);
  if (!ansiCommandLine) return;
  devmgr_.Show(hwnd_, GetModuleHandleW(nullptr), *ansiCommandLine, SW_SHOW);
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

// Ends the program: the timer first, so no tick runs after this; destroying the
// window posts the request to quit.
void FrmMain::OnCloseClick() {
  KillTimer(hwnd_, kUpdateTimer);
  DestroyWindow(hwnd_);
}

}  // namespace uvantic
