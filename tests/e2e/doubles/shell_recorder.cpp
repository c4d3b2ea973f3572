// Stands in for the programs the shell starts for ".msc" documents and web addresses:
// records its command line and the show command it was started with as one line in
// the file named by UVANTIC_SHELL_RECORD, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t recordPath[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"UVANTIC_SHELL_RECORD", recordPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  FILE* record = _wfopen(recordPath, L"ab");
  if (!record) return 1;
  std::fprintf(record, "show=%d line=%s\n", show, Utf8(GetCommandLineW()).c_str());
  std::fclose(record);
  return 0;
}
