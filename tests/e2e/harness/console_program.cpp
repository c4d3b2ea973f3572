// Console programs on pipes, drained while the program runs so that a full pipe never
// stops it.
#include "console_program.h"

#include <stdexcept>

namespace uvantic::e2e {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string("cannot ") + what + " (error " + std::to_string(GetLastError()) + ")");
}

// The parent's reading end, and the child's inheritable writing end.
void MakePipe(UniqueHandle& reading, UniqueHandle& writing) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  if (!CreatePipe(reading.put(), writing.put(), &inherit, 0)) Fail("create a pipe");
  SetHandleInformation(reading.get(), HANDLE_FLAG_INHERIT, 0);
}

void ReadAvailable(HANDLE pipe, std::string& into) {
  DWORD available = 0;
  while (pipe && PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    std::string chunk(available, '\0');
    if (!ReadFile(pipe, chunk.data(), available, &available, nullptr)) return;
    into.append(chunk, 0, available);
  }
}

}  // namespace

ConsoleProgram::ConsoleProgram(const std::wstring& executable, const std::wstring& arguments) {
  UniqueHandle outWrite, errWrite;
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
    Fail("start the program");
  }
  process_.reset(info.hProcess);
  CloseHandle(info.hThread);
}

std::optional<ConsoleResult> ConsoleProgram::Finish(Milliseconds timeout) {
  const auto drain = [&] {
    ReadAvailable(out_.get(), result_.out);
    ReadAvailable(err_.get(), result_.err);
  };
  if (!WaitUntil([&] { return drain(), HasExited(); }, timeout)) return std::nullopt;
  drain();
  GetExitCodeProcess(process_.get(), &result_.exitCode);
  return result_;
}

}  // namespace uvantic::e2e
