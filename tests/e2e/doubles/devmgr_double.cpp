// Stands in for the system's devmgr.dll in test prefixes: records each property-sheet
// request as one line in the file named by UVANTIC_DEVMGR_RECORD.
#include <windows.h>

#include <cstdio>

extern "C" void WINAPI DeviceProperties_RunDLLA(HWND window, HINSTANCE instance,
                                                                      LPCSTR commandLine, int showCommand) {
  wchar_t recordPath[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"UVANTIC_DEVMGR_RECORD", recordPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  FILE* record = _wfopen(recordPath, L"ab");
  if (!record) return;
  // The command line goes last so that it is recorded whatever it holds.
  std::fprintf(record, "window=%08lx instance=%s show=%d line=%s\n",
               static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
               instance == GetModuleHandleW(nullptr) ? "program" : "other", showCommand,
               commandLine ? commandLine : "(null)");
  std::fclose(record);
}
