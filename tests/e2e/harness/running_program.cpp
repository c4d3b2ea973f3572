// Process control for the program under test.
#include "running_program.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>

#include "support/registry_writer.h"
#include "test_environment.h"
#include "window_probe.h"

namespace uvantic::e2e {

std::vector<HWND> FindTopWindows(const WindowQuery& query) {
  std::vector<HWND> found;
  HWND candidate = nullptr;
  while ((candidate = FindWindowExW(nullptr, candidate, query.className, query.caption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    if ((query.processId == 0 || owner == query.processId) && IsWindowVisible(candidate)) found.push_back(candidate);
  }
  return found;
}

HWND FindTopWindow(const WindowQuery& query) {
  const std::vector<HWND> found = FindTopWindows(query);
  return found.empty() ? nullptr : found.front();
}

// By class and place, so that the controls are found in every language: the label is
// the static control that draws itself (the pictures are drawn by the window), Properties the upper button, Device Manager and Close
// the lower ones from left to right.
MainWindowControls FindControls(HWND window) {
  MainWindowControls found;
  std::vector<ControlInfo> pictures, buttons;
  for (const auto& control : ChildControls(window)) {
    if (control.className == L"SysListView32") {
      found.list = control.handle;
    } else if (_wcsicmp(control.className.c_str(), L"Button") == 0) {
      buttons.push_back(control);
    } else if ((control.style & SS_TYPEMASK) != SS_OWNERDRAW) {
      found.label = control.handle;
    } else if (control.visible) {
      pictures.push_back(control);
    }
  }
  const auto byPlace = [](const ControlInfo& a, const ControlInfo& b) {
    return a.rect.y != b.rect.y ? a.rect.y < b.rect.y : a.rect.x < b.rect.x;
  };
  std::sort(buttons.begin(), buttons.end(), byPlace);
  if (buttons.size() == 3) {
    found.properties = buttons[0].handle;
    found.deviceManager = buttons[1].handle;
    found.close = buttons[2].handle;
  }
  // The two pictures: the program icon at the top, the logo at the bottom.
  std::sort(pictures.begin(), pictures.end(), byPlace);
  if (pictures.size() >= 1) found.icon = pictures.front().handle;
  if (pictures.size() >= 2) found.logo = pictures.back().handle;
  return found;
}

bool Responds(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

ProgramCopy::ProgramCopy(const std::wstring& program, bool withHelpFile) {
  folder_ = TempPath(L"uvantic-program-copy");
  CreateDirectoryW(folder_.c_str(), nullptr);
  const auto fileName = [](const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); };
  try {
    Add(program, fileName(program).c_str());
    path_ = files_.back();
    if (withHelpFile) {
      const std::wstring helpFile = program.substr(0, program.find_last_of(L'.')) + L".chm";
      Add(helpFile, fileName(helpFile).c_str());
    }
  } catch (...) {
    Remove();
    throw;
  }
}

void ProgramCopy::Add(const std::wstring& from, const wchar_t* name) {
  const std::wstring to = folder_ + L"\\" + name;
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + Narrow(from) + " to " + Narrow(to) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
  files_.push_back(to);
}

void ProgramCopy::Remove() {
  for (const auto& file : files_) DeleteFileW(file.c_str());
  files_.clear();
  RemoveDirectoryW(folder_.c_str());
}

StartedProcess StartProcess(const std::wstring& executable, const std::wstring& arguments,
                            const StandardOutput& output) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const bool redirected = output.out != nullptr || output.err != nullptr;
  if (redirected) startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.out;
  startup.hStdError = output.err;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + executable + L"\" " + arguments;
  const auto start = [&] {
    return CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, redirected, 0, nullptr, nullptr,
                          &startup, &info) != FALSE;
  };
  // Wine fails a start with ERROR_INTERNAL_ERROR when the new process ended, with no
  // exit code, before it told the wineserver that it had started, so before any of
  // the program's own code ran. On a loaded machine that happens now and then; the
  // start is tried once more.
  bool started = start();
  if (!started && GetLastError() == ERROR_INTERNAL_ERROR) started = start();
  if (!started) {
    throw std::runtime_error("cannot start " + Narrow(executable) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
  CloseHandle(info.hThread);
  return {UniqueHandle(info.hProcess), info.dwProcessId};
}

RunningProgram::RunningProgram(const std::wstring& executable, Milliseconds timeout) {
  const auto start = std::chrono::steady_clock::now();
  StartedProcess started = StartProcess(executable);
  process_ = std::move(started.handle);
  processId_ = started.id;

  const bool shown = WaitUntil(
      [&] {
        window_ = FindMainWindow(processId_);
        return window_ != nullptr || HasExited();
      },
      timeout);
  startTime_ = std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
  if (!shown || window_ == nullptr) {
    const bool exited = HasExited();
    Close(Milliseconds{0});
    throw std::runtime_error(exited ? "the program ended without showing its window"
                                    : "the program showed no window in time");
  }
}

RunningProgram::~RunningProgram() { Close(); }

bool RunningProgram::HasExited() const {
  return !process_ || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
}

bool RunningProgram::Close(Milliseconds timeout) {
  if (!process_) return true;
  bool endedByItself = HasExited();
  if (!endedByItself && window_ != nullptr) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    endedByItself = WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  }
  if (!endedByItself) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
  window_ = nullptr;
  return endedByItself;
}

}  // namespace uvantic::e2e
