// Console programs on pipes.
#include "console_program.h"

#include <stdexcept>

namespace uvantic::e2e {
namespace {

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
  // The child inherits the writing ends only.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueHandle outWrite, errWrite;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + executable + L"\" " + arguments;
  const bool piped = CreatePipe(out_.put(), outWrite.put(), &inherit, 0) &&
                     CreatePipe(err_.put(), errWrite.put(), &inherit, 0) &&
                     SetHandleInformation(out_.get(), HANDLE_FLAG_INHERIT, 0) &&
                     SetHandleInformation(err_.get(), HANDLE_FLAG_INHERIT, 0);
  startup.hStdOutput = outWrite.get();
  startup.hStdError = errWrite.get();
  if (!piped || !CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &info)) {
    throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) + ")");
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
