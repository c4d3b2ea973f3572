// Starts the real program as its own process, finds its main window, and ends it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"
#include "wait.h"

namespace uvantic::e2e {

inline constexpr wchar_t kMainWindowCaption[] = L"Uvantic Finder";

// The visible top-level window with the program's caption that belongs to the process,
// or nullptr.
HWND FindMainWindow(DWORD processId);

class RunningProgram {
 public:
  // Starts executable (a Windows path) and waits until its main window is visible.
  // Throws std::runtime_error when it cannot be started or shows no window in time.
  explicit RunningProgram(const std::wstring& executable, Milliseconds timeout = kDefaultTimeout);
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  ~RunningProgram();

  HWND window() const { return window_; }
  DWORD processId() const { return processId_; }
  HANDLE process() const { return process_.get(); }
  // Milliseconds from CreateProcess to the visible window.
  Milliseconds startTime() const { return startTime_; }

  bool HasExited() const;
  // Asks the window to close and waits for the process to end; terminates it when it
  // does not. True when it ended by itself.
  bool Close(Milliseconds timeout = kDefaultTimeout);

 private:
  UniqueHandle process_;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
  Milliseconds startTime_{0};
};

}  // namespace uvantic::e2e
