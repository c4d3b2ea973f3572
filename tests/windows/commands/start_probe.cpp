// Started by the platform tests from copies of itself under other names and in other
// folders: writes, as UTF-8, the help file path the start computes for the copy, to
// the file named on its command line.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "startup/start_procedure.h"
#include "startup/win_start_platform.h"
#include "window/app_help_file.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argumentCount = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  if (!arguments || argumentCount < 2) return 2;
  const std::wstring outputPath = arguments[1];
  LocalFree(arguments);

  uvantic::AppHelpFile helpFile;
  uvantic::WinStartPlatform platform(L"Uvantic start probe", L"", helpFile, [] { return true; });
  const auto directory = platform.ExecutableDirectory();
  const auto name = platform.ExecutableName();
  if (!directory || !name) return 3;
  const std::wstring path = uvantic::HelpFilePath(*directory, *name);

  const int size = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  FILE* output = _wfopen(outputPath.c_str(), L"wb");
  if (!output) return 4;
  std::fputs(utf8.c_str(), output);
  std::fclose(output);
  return 0;
}
