// Process control for the program under test.
#include "running_program.h"

#include <chrono>
#include <stdexcept>
#include <string>

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

RunningProgram::RunningProgram(const std::wstring& executable, Milliseconds timeout) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + executable + L"\"";
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) + ")");
  }
  process_.reset(info.hProcess);
  CloseHandle(info.hThread);
  processId_ = info.dwProcessId;

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
