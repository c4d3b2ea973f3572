// Starts the program, waits for its window, saves a screenshot of it and closes it:
//   uvantic_screenshot PROGRAM.exe OUT.png
// Paths may be Windows paths or, under Wine, Unix paths.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <string>

#include "harness/running_program.h"
#include "harness/screenshot.h"
#include "harness/test_environment.h"

int main() {
  using namespace uvantic::e2e;
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 3) {
    std::fputs("usage: uvantic_screenshot PROGRAM.exe OUT.png\n", stderr);
    return 2;
  }
  const std::wstring program = WindowsPath(argv[1]);
  const std::wstring out = WindowsPath(argv[2]);
  LocalFree(argv);
  try {
    RunningProgram running(program);
    const bool saved = SaveWindowScreenshot(running.window(), out);
    running.Close();
    if (!saved) {
      std::fputs("uvantic_screenshot: cannot write the screenshot\n", stderr);
      return 1;
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "uvantic_screenshot: %s\n", error.what());
    return 1;
  }
}
