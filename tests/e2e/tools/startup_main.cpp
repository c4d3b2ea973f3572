// Measures the program's start-up: from CreateProcess to its window shown with its
// rows, several times over, and prints each run and the median.
//   uvantic_startup PROGRAM.exe RUNS ROWS
#include <windows.h>

#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "harness/running_program.h"
#include "harness/test_environment.h"

namespace {

using namespace uvantic::e2e;

HWND FindList(HWND window) { return FindWindowExW(window, nullptr, L"SysListView32", nullptr); }

struct StartTimes {
  double window = 0;  // ms until the window is visible
  double rows = 0;    // ms until it also shows the rows
  int rowsWhenShown = 0;
};

// Polls the window as tightly as the system allows, so the figures are the program's.
StartTimes StartOnce(const std::wstring& program, int rows) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + program + L"\"";
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    throw std::runtime_error("cannot start the program");
  }
  const auto elapsed = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  };
  StartTimes times;
  HWND window = nullptr;
  for (;;) {
    window = FindMainWindow(info.dwProcessId);
    if (window != nullptr) {
      const HWND list = FindList(window);
      const int shown = list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
      if (times.window == 0) {
        times.window = elapsed();
        times.rowsWhenShown = shown;
      }
      if (shown >= rows) break;
    }
    if (WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0) throw std::runtime_error("the program ended");
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) throw std::runtime_error("timeout");
  }
  times.rows = elapsed();
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return times;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 4) {
    std::fputs("usage: uvantic_startup PROGRAM.exe RUNS ROWS\n", stderr);
    return 2;
  }
  const std::wstring program = WindowsPath(argv[1]);
  const int runs = std::stoi(argv[2]);
  const int rows = std::stoi(argv[3]);
  LocalFree(argv);
  try {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      const StartTimes run = StartOnce(program, rows);
      times.push_back(run.rows);
      std::printf("run %d: window %.1f ms (%d rows), all rows %.1f ms\n", i + 1, run.window, run.rowsWhenShown,
                  run.rows);
    }
    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 ? times[times.size() / 2]
                                           : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("start-up to window with %d rows: median %.1f ms over %d runs (min %.1f, max %.1f)\n", rows,
                median, runs, times.front(), times.back());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "uvantic_startup: %s\n", error.what());
    return 1;
  }
}
