// Console programs on pipes: both pipes are drained while the program runs, so a full
// pipe never stops it.
#include "console_program.h"

#include <stdexcept>

namespace uvantic::e2e {
namespace {

// The parent's reading end, and the child's inheritable writing end.
void MakePipe(UniqueHandle& reading, UniqueHandle& writing) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  if (!CreatePipe(reading.put(), writing.put(), &inherit, 0) ||
      !SetHandleInformation(reading.get(), HANDLE_FLAG_INHERIT, 0)) {
    throw std::runtime_error("cannot create a pipe (error " + std::to_string(GetLastError()) + ")");
  }
}

void ReadAvailable(HANDLE pipe, std::string& into) {
  DWORD available = 0;
  while (pipe != nullptr && PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!ReadFile(pipe, chunk.data(), available, &read, nullptr) || read == 0) return;
    into.append(chunk, 0, read);
  }
}

}  // namespace

ConsoleProgram::ConsoleProgram(const std::wstring& executable, const std::wstring& arguments) {
  UniqueHandle outWrite;
  UniqueHandle errWrite;
  MakePipe(out_, outWrite);
  MakePipe(err_, errWrite);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite.get();
  startup.hStdError = errWrite.get();
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + executable + L"\" " + arguments;
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) + ")");
  }
  process_.reset(info.hProcess);
  CloseHandle(info.hThread);
}

ConsoleProgram::~ConsoleProgram() {
  if (!HasExited()) TerminateProcess(process_.get(), 1);
}

void ConsoleProgram::Drain() {
  ReadAvailable(out_.get(), result_.out);
  ReadAvailable(err_.get(), result_.err);
}

std::optional<ConsoleResult> ConsoleProgram::Finish(Milliseconds timeout) {
  const bool ended = WaitUntil(
      [&] {
        Drain();
        return HasExited();
      },
      timeout);
  if (!ended) {
    TerminateProcess(process_.get(), 1);
    return std::nullopt;
  }
  Drain();
  GetExitCodeProcess(process_.get(), &result_.exitCode);
  return result_;
}

ConsoleResult RunConsoleProgram(const std::wstring& executable, const std::wstring& arguments) {
  auto result = ConsoleProgram(executable, arguments).Finish();
  if (!result) throw std::runtime_error("the program did not end in time");
  return *result;
}

}  // namespace uvantic::e2e
