// The program's entry point: shows the main window and runs its message loop.
#include <windows.h>
#include <commctrl.h>

#include "platform/win_registry_view.h"
#include "window/frm_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  uvantic::WinRegistryView registry;
  uvantic::FrmMain frmMain(instance, registry);
  if (!frmMain.Create()) return 0;
  frmMain.Show(showCommand);
  return uvantic::RunMessageLoop(frmMain);
}
