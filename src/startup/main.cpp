// The program's entry point: the start procedure decides whether this copy runs; if it
// does, the main window's message loop runs the program until the window goes.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "platform/text_catalog.h"
#include "platform/win_registry_view.h"
#include "startup/start_procedure.h"
#include "startup/win_start_platform.h"
#include "window/app_help_file.h"
#include "window/frm_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  uvantic::AppHelpFile helpFile;
  uvantic::WinRegistryView registry;
  const uvantic::Language language = uvantic::UserLanguage();
  const uvantic::ResourceTexts texts(language);
  std::unique_ptr<uvantic::FrmMain> frmMain;
  const auto loadAndShow = [&] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    frmMain = std::make_unique<uvantic::FrmMain>(instance, registry, helpFile, texts, language);
    if (!frmMain->Create()) return false;
    frmMain->Show(showCommand);
    return frmMain->hwnd() != nullptr;
  };
  // Holds the single-instance claim until the program ends.
  uvantic::WinStartPlatform platform(uvantic::kMainWindowCaption, uvantic::kMainWindowClass, helpFile, loadAndShow);
  if (uvantic::RunStartProcedure(platform) != uvantic::StartResult::WindowShown) return 0;
  const int exitCode = uvantic::RunMessageLoop(*frmMain);
  frmMain.reset();
  return exitCode;
}
