// Stands in for the system's devmgr.dll in test prefixes: records each property-sheet
// request as one line in the file named by UVANTIC_DEVMGR_RECORD, with the double's own
// bitness, the window it was given and the two Device Manager settings of its process's
// environment; the instance is "program" when it is the executable's own module. With
// UVANTIC_DEVMGR_SHEET set it then shows a modal dialog captioned "Device Properties"
// until that is closed, as the real property sheet holds the caller in its own loop.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// GetEnvironmentVariableA, not getenv: this library's C runtime copies the environment
// when it loads, before the program sets the variables.
std::string Setting(const char* name) {
  char value[16];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length == 0 || length >= sizeof value ? "-" : value;
}

INT_PTR CALLBACK SheetProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

void ShowModalSheet(HWND owner) {
  struct alignas(4) {
    DLGTEMPLATE dialog;
    WORD menu;
    WORD windowClass;
    wchar_t title[18];
  } sheet{};
  sheet.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
  sheet.dialog.cx = 200;
  sheet.dialog.cy = 100;
  lstrcpyW(sheet.title, L"Device Properties");
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &sheet.dialog, owner, &SheetProc, 0);
}

}  // namespace

extern "C" void WINAPI DeviceProperties_RunDLLA(HWND window, HINSTANCE instance,
                                                                      LPCSTR commandLine, int showCommand) {
  wchar_t recordPath[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"UVANTIC_DEVMGR_RECORD", recordPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  FILE* record = _wfopen(recordPath, L"ab");
  if (!record) return;
  // rundll32 hands over a hidden window of its own, which owns nothing a user sees: it
  // is recorded as no window. The command line goes last so that it is recorded
  // whatever it holds.
  const HWND owner = IsWindow(window) && !IsWindowVisible(window) ? nullptr : window;
  std::fprintf(record, "bits=%u window=%08lx instance=%s show=%d nonpresent=%s details=%s line=%s\n",
               static_cast<unsigned>(sizeof(void*) * 8), static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)),
               instance == GetModuleHandleW(nullptr) ? "program" : "other", showCommand,
               Setting("DEVMGR_SHOW_NONPRESENT_DEVICES").c_str(), Setting("DEVMGR_SHOW_DETAILS").c_str(),
               commandLine ? commandLine : "(null)");
  std::fclose(record);
  if (GetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", nullptr, 0) != 0) ShowModalSheet(window);
}
