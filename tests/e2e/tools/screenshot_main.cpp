// Starts the program, waits for its window, saves a screenshot of it and closes it:
//   uvantic_screenshot PROGRAM.exe OUT.png
// Paths may be Windows paths or, under Wine, Unix paths.
#include <cstdio>

#include "harness/running_program.h"
#include "harness/screenshot.h"
#include "harness/test_environment.h"

int main() {
  using namespace uvantic::e2e;
  const auto args = CommandLineArguments();
  if (args.size() != 2) {
    std::fputs("usage: uvantic_screenshot PROGRAM.exe OUT.png\n", stderr);
    return 2;
  }
  return RunTool("uvantic_screenshot", [&] {
    RunningProgram running(WindowsPath(args[0]));
    const bool saved = SaveWindowScreenshot(running.window(), WindowsPath(args[1]));
    running.Close();
    if (!saved) std::fputs("uvantic_screenshot: cannot write the screenshot\n", stderr);
    return saved ? 0 : 1;
  });
}
