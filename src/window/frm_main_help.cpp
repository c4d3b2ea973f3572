// Context help of the window: the keyboard's context-menu key, right-button releases
// on the controls, the "What's This?" item and the title bar's help mode.
#include "window/frm_main.h"

namespace uvantic {

void FrmMain::OnKeyPreview(int /*keyCode*/, int /*shift*/) {}

void FrmMain::OnControlMouseUp(int /*buttonCode*/, ControlName /*control*/) {}

void FrmMain::OnWhatsThisHelp() {}

void FrmMain::OnHelp(const HELPINFO& /*info*/) {}

}  // namespace uvantic
