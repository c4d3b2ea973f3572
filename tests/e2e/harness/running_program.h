// Starts the real program as its own process, finds its main window, and ends it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles.h"
#include "wait.h"

namespace uvantic::e2e {

inline constexpr wchar_t kMainWindowCaption[] = L"Uvantic Finder";

// Which visible top-level windows to find; a field left empty matches any.
struct WindowQuery {
  DWORD processId = 0;
  const wchar_t* className = nullptr;
  const wchar_t* caption = nullptr;
};
// The matching windows, front to back; the first of them, or nullptr.
std::vector<HWND> FindTopWindows(const WindowQuery& query);
HWND FindTopWindow(const WindowQuery& query);
// The program's main window in this process, or nullptr.
inline HWND FindMainWindow(DWORD processId) { return FindTopWindow({processId, nullptr, kMainWindowCaption}); }

// The main window's controls, found among its ChildControls by class and position
// rather than by ID or text.
struct MainWindowControls {
  HWND icon = nullptr;
  HWND label = nullptr;
  HWND list = nullptr;
  HWND properties = nullptr;
  HWND logo = nullptr;
  HWND deviceManager = nullptr;
  HWND close = nullptr;
};

inline constexpr wchar_t kLabelText[] = L"The following &Uvantic devices have been installed:";
inline constexpr wchar_t kPropertiesText[] = L"&Properties";
inline constexpr wchar_t kDeviceManagerText[] = L"&Device Manager...";
inline constexpr wchar_t kCloseText[] = L"Close";

MainWindowControls FindControls(HWND window);

struct StartedProcess {
  UniqueHandle handle;
  DWORD id = 0;
};
// Handles the started process inherits as its stdout and stderr; with none, it writes
// where this process does.
struct StandardOutput {
  HANDLE out = nullptr, err = nullptr;
};
// Starts executable (a Windows path) with arguments after its name on its command line.
// Throws std::runtime_error when it cannot be started.
StartedProcess StartProcess(const std::wstring& executable, const std::wstring& arguments = {},
                            const StandardOutput& output = {});

// Whether the window answers a message within three seconds.
bool Responds(HWND window);

// A copy of the program in a folder of its own, with its help file beside it if asked.
// The files and the folder go with it.
class ProgramCopy {
 public:
  ProgramCopy(const std::wstring& program, bool withHelpFile);
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;
  ~ProgramCopy() { Remove(); }

  const std::wstring& path() const { return path_; }
  // Puts a file into the folder of the copy.
  void Add(const std::wstring& from, const wchar_t* name);

 private:
  void Remove();

  std::wstring folder_;
  std::wstring path_;
  std::vector<std::wstring> files_;
};

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
