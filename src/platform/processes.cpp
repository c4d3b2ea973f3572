// Starts programs and watches them; asks the system which machine it runs natively.
#include "platform/processes.h"

#include "platform/system_function.h"

namespace uvantic {
namespace {

struct WindowSearch {
  DWORD processId;
  HWND found = nullptr;
};

// Top-level windows come front to back, so the first visible one of the process is its
// front-most.
BOOL CALLBACK FindVisibleWindowOfProcess(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || !IsWindowVisible(window)) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

USHORT ProgramMachine() {
#if defined(__aarch64__) || defined(_M_ARM64)
  return IMAGE_FILE_MACHINE_ARM64;
#elif defined(__x86_64__) || defined(_M_X64)
  return IMAGE_FILE_MACHINE_AMD64;
#else
  return IMAGE_FILE_MACHINE_I386;
#endif
}

// IsWow64Process2 (Windows 10 version 1709 onwards) tells the native machine of every
// process, WOW64 or not, emulated x64 on ARM64 included. Systems without it run x86
// programs natively or under WOW64 on x64 only.
USHORT NativeMachine() {
  using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  static const USHORT native = [] {
    if (const auto isWow64Process2 = SystemFunction<IsWow64Process2Function>(L"kernel32.dll", "IsWow64Process2")) {
      USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
      USHORT nativeMachine = IMAGE_FILE_MACHINE_UNKNOWN;
      if (isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine)) return nativeMachine;
    }
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? USHORT{IMAGE_FILE_MACHINE_AMD64} : ProgramMachine();
  }();
  return native;
}

bool StartedProgram::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool StartedProgram::BringToFront() const {
  WindowSearch search{processId_};
  EnumWindows(&FindVisibleWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  // Asynchronous, as the window belongs to another process, which may be busy.
  if (IsIconic(search.found)) ShowWindowAsync(search.found, SW_RESTORE);
  return SetForegroundWindow(search.found) != FALSE;
}

namespace {

struct CreatedProcess {
  UniqueHandle process;
  UniqueHandle thread;
  DWORD processId;
};

std::optional<CreatedProcess> CreateProgramProcess(const std::wstring& program, std::wstring commandLine,
                                                   const std::wstring& directory, int showCommand, DWORD flags) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
    return std::nullopt;
  }
  return CreatedProcess{UniqueHandle(started.hProcess), UniqueHandle(started.hThread), started.dwProcessId};
}

}  // namespace

std::optional<StartedProgram> StartWatchedProgram(const std::wstring& program, std::wstring commandLine,
                                                  const std::wstring& directory, int showCommand) {
  auto started = CreateProgramProcess(program, std::move(commandLine), directory, showCommand, 0);
  if (!started) return std::nullopt;
  return StartedProgram(std::move(started->process), started->processId);
}

std::optional<DWORD> StartProgram(const std::wstring& program, std::wstring commandLine,
                                  const std::wstring& directory, int showCommand, Foreground foreground) {
  // Created suspended, so that it cannot ask for the foreground before it may.
  const DWORD flags = foreground == Foreground::PassOn ? CREATE_SUSPENDED : 0;
  if (commandLine.empty()) commandLine = L"\"" + program + L"\"";
  const auto started = CreateProgramProcess(program, std::move(commandLine), directory, showCommand, flags);
  if (!started) return std::nullopt;
  if (foreground == Foreground::PassOn) {
    AllowSetForegroundWindow(started->processId);
    ResumeThread(started->thread.get());
  }
  return started->processId;
}

}  // namespace uvantic
