// The window's commands: the buttons, the logo, the list's header and double-click.
#include "window/frm_main.h"

namespace uvantic {

void FrmMain::OnPropertiesClick() {}

void FrmMain::OnDevmgmtClick() {}

void FrmMain::OnLogoMouseDown(int /*buttonCode*/) {}

void FrmMain::OnLogoClick() {}

void FrmMain::OnColumnClick(int /*headerIndex*/) {}

void FrmMain::OnListDoubleClick() {}

// Ends the program: the timer first, so no tick runs after this; destroying the
// window posts the request to quit.
void FrmMain::OnCloseClick() {
  KillTimer(hwnd_, kUpdateTimer);
  DestroyWindow(hwnd_);
}

}  // namespace uvantic
