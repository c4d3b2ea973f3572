// Measures the program's start-up: from CreateProcess to its window shown with its
// rows, several times over, and prints each run and the median. Given BUSY_MS, it then
// also times, in each run, how long after that the first refresh pass began. With
// --probe, waits for a running copy's window to show its rows, then times how long
// that window takes to answer a message, again and again, and prints the slowest
// answers. Given BUSY_MS, it also counts the answers that took that long: each is a
// refresh pass the message waited for, so their spacing is the time from one pass to
// the next, and the time between them the stretches in which the window is free.
//   uvantic_startup PROGRAM.exe RUNS ROWS [BUSY_MS]
//   uvantic_startup --probe SECONDS ROWS [BUSY_MS]
#include <windows.h>

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

struct StartTimes {
  double window = 0;  // ms until the window is visible
  double rows = 0;    // ms until it also shows the rows
  int rowsWhenShown = 0;
  double firstPass = -1;  // ms from then until a message first waited BUSY_MS; -1 for none
};

// Sends a message that asks nothing; returns the ms until it was answered.
double AnswerTime(HWND window) {
  const auto sent = std::chrono::steady_clock::now();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) {
    throw std::runtime_error("the window did not answer");
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
}

// The ms from now until the window is first busy for busyMs, when within watchMs.
double FirstBusy(HWND window, double busyMs, double watchMs) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const double sentAt = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (sentAt > watchMs) return -1;
    if (AnswerTime(window) >= busyMs) return sentAt;
    Sleep(2);
  }
}

// Polls the window as tightly as the system allows once the program takes input, so the
// figures are the program's.
StartTimes StartOnce(const std::wstring& program, int rows, double busyMs) {
  // Wine loads a process's display driver and theme code on its first window call;
  // that is done here, before the clock starts, and not while the program is timed.
  DestroyWindow(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  FindMainWindow(GetCurrentProcessId());
  const auto start = std::chrono::steady_clock::now();
  const StartedProcess process = StartProcess(program);
  const auto elapsed = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  };
  StartTimes times;
  HWND window = nullptr;
  HWND list = nullptr;
  // Looking for the window every millisecond costs the server a request for every
  // window's text, which slows the start it times; the program takes no input before
  // its window shows, so the looking starts when it first waits for input. The list is
  // looked for once, when the window shows: it is made before the window is shown.
  WaitForInputIdle(process.handle.get(), 30000);
  for (;;) {
    if (window == nullptr && (window = FindMainWindow(process.id)) != nullptr) list = FindControls(window).list;
    if (window != nullptr) {
      const int shown = list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
      if (times.window == 0) {
        times.window = elapsed();
        times.rowsWhenShown = shown;
      }
      if (shown >= rows) break;
    }
    if (WaitForSingleObject(process.handle.get(), 1) == WAIT_OBJECT_0) throw std::runtime_error("the program ended");
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) throw std::runtime_error("timeout");
  }
  times.rows = elapsed();
  // The first tick is due about an interval after the load pass: watch for two
  // intervals and a pass, so that a late one or none at all shows.
  if (busyMs > 0) times.firstPass = FirstBusy(window, busyMs, 2000 + 2 * busyMs);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.handle.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process.handle.get(), 1);
  return times;
}

double Percentile(std::vector<double> times, double fraction) {
  std::sort(times.begin(), times.end());
  return times[static_cast<std::size_t>(fraction * static_cast<double>(times.size() - 1))];
}

// A message that asks nothing, answered as soon as the window's thread takes it: its
// delay is the time the user waits for a click or a key to be handled.
int Probe(double seconds, int rows, double busyMs) {
  const auto start = std::chrono::steady_clock::now();
  HWND window = nullptr;
  for (;;) {
    window = FindTopWindow({.className = L"UvanticFinderMain", .caption = kMainWindowCaption});
    if (window != nullptr) {
      const HWND list = FindControls(window).list;
      if (list != nullptr && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= rows) break;
    }
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(120)) {
      throw std::runtime_error("no window with the rows");
    }
    Sleep(20);
  }
  if (seconds <= 0) return 0;
  std::vector<double> answers;
  std::vector<double> busyStarts;  // ms from the start of probing: when the message was sent
  std::vector<double> busyEnds;    // and when it was answered
  const auto probeStart = std::chrono::steady_clock::now();
  const auto sinceStart = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - probeStart).count();
  };
  while (sinceStart() < seconds * 1000) {
    const double sent = sinceStart();
    answers.push_back(AnswerTime(window));
    if (busyMs > 0 && answers.back() >= busyMs) {
      busyStarts.push_back(sent);
      busyEnds.push_back(sinceStart());
    }
    Sleep(2);
  }
  std::printf("answer to a message over %.0f s: slowest %.1f ms, 99th percentile %.1f ms, median %.2f ms (%zu probes)\n",
              seconds, Percentile(answers, 1.0), Percentile(answers, 0.99), Percentile(answers, 0.5), answers.size());
  std::printf("answer_slowest_ms=%.1f\nanswer_p99_ms=%.1f\nanswer_median_ms=%.2f\nprobes=%zu\n",
              Percentile(answers, 1.0), Percentile(answers, 0.99), Percentile(answers, 0.5), answers.size());
  if (busyMs > 0) {
    std::vector<double> spacing;
    std::vector<double> free;
    for (std::size_t i = 1; i < busyEnds.size(); ++i) {
      spacing.push_back(busyEnds[i] - busyEnds[i - 1]);
      free.push_back(busyStarts[i] - busyEnds[i - 1]);
    }
    const double busySpacing = spacing.empty() ? 0.0 : Percentile(spacing, 0.5);
    std::printf("answers of %.0f ms or more: %zu, one every %.0f ms (median)\n", busyMs, busyEnds.size(), busySpacing);
    std::printf("busy_answers=%zu\nbusy_spacing_ms=%.0f\n", busyEnds.size(), busySpacing);
    if (!free.empty()) {
      std::printf("free between them: shortest %.0f ms, median %.0f ms\n", Percentile(free, 0.0),
                  Percentile(free, 0.5));
      std::printf("free_shortest_ms=%.0f\nfree_median_ms=%.0f\n", Percentile(free, 0.0), Percentile(free, 0.5));
    } else {
      std::printf("free_shortest_ms=none\nfree_median_ms=none\n");
    }
  }
  return 0;
}

// Starts the program RUNS times and prints the times to its window and to its rows.
int TimeStartUps(const std::wstring& program, int runs, int rows, double busyMs) {
  std::vector<double> times;
  std::vector<double> firstPasses;
  for (int i = 0; i < runs; ++i) {
    const StartTimes run = StartOnce(program, rows, busyMs);
    times.push_back(run.rows);
    std::printf("run %d: window %.1f ms (%d rows), all rows %.1f ms", i + 1, run.window, run.rowsWhenShown,
                run.rows);
    if (busyMs > 0) std::printf(", first pass %.0f ms later", run.firstPass);
    std::printf("\n");
    if (run.firstPass >= 0) firstPasses.push_back(run.firstPass);
  }
  std::sort(times.begin(), times.end());
  const double median = times.size() % 2 ? times[times.size() / 2]
                                         : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
  std::printf("start-up to window with %d rows: median %.1f ms over %d runs (min %.1f, max %.1f)\n", rows,
              median, runs, times.front(), times.back());
  std::printf("startup_median_ms=%.1f\nstartup_min_ms=%.1f\nstartup_max_ms=%.1f\nstartup_runs=%d\n", median,
              times.front(), times.back(), runs);
  if (busyMs > 0) {
    std::printf("first pass after the rows showed: %s", firstPasses.empty() ? "none seen\n" : "");
    if (!firstPasses.empty()) {
      std::printf("median %.0f ms, soonest %.0f ms\n", Percentile(firstPasses, 0.5), Percentile(firstPasses, 0.0));
      std::printf("first_pass_median_ms=%.0f\n", Percentile(firstPasses, 0.5));
    } else {
      std::printf("first_pass_median_ms=none\n");
    }
  }
  return 0;
}

}  // namespace

int main() {
  const auto args = CommandLineArguments();
  if (args.size() != 3 && args.size() != 4) {
    std::fputs("usage: uvantic_startup PROGRAM.exe RUNS ROWS [BUSY_MS] | --probe SECONDS ROWS [BUSY_MS]\n", stderr);
    return 2;
  }
  return RunTool("uvantic_startup", [&] {
    const int rows = std::stoi(args[2]);
    const double busyMs = args.size() == 4 ? std::stod(args[3]) : 0;
    if (args[0] == L"--probe") return Probe(std::stod(args[1]), rows, busyMs);
    return TimeStartUps(WindowsPath(args[0]), std::stoi(args[1]), rows, busyMs);
  });
}
