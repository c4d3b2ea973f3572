// A child process on anonymous pipes; stdout is read only as far as it holds bytes,
// so that a line is taken as soon as it is complete.
#include "console_program.h"

#include <stdexcept>

#include "running_program.h"

namespace uvantic::e2e {
namespace {

void ReadAll(HANDLE pipe, std::string& into) {
  char buffer[4096];
  DWORD read = 0;
  while (pipe && ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) into.append(buffer, read);
}

}  // namespace

ConsoleProgram::ConsoleProgram(const std::wstring& arguments, const std::wstring& program) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueHandle outWrite, errWrite;
  // The child inherits the writing ends only.
  if (!CreatePipe(out_.put(), outWrite.put(), &inherit, 0) || !CreatePipe(err_.put(), errWrite.put(), &inherit, 0) ||
      !SetHandleInformation(out_.get(), HANDLE_FLAG_INHERIT, 0) ||
      !SetHandleInformation(err_.get(), HANDLE_FLAG_INHERIT, 0)) {
    throw std::runtime_error("cannot make uvfind's pipes (error " + std::to_string(GetLastError()) + ")");
  }
  const std::wstring uvfind = program.substr(0, program.find_last_of(L'\\')) + L"\\uvfind.exe";
  process_ = StartProcess(uvfind, arguments, {outWrite.get(), errWrite.get()}).handle;
}

ConsoleProgram::~ConsoleProgram() { TerminateProcess(process_.get(), 1); }

bool ConsoleProgram::HasExited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

void ConsoleProgram::ReadAvailable() {
  DWORD available = 0;
  if (!out_ || !PeekNamedPipe(out_.get(), nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
  std::string bytes(available, '\0');
  DWORD read = 0;
  if (ReadFile(out_.get(), bytes.data(), available, &read, nullptr)) pending_.append(bytes, 0, read);
}

std::optional<std::string> ConsoleProgram::ReadLine(Milliseconds timeout) {
  std::size_t end = std::string::npos;
  const bool came = WaitUntil(
      [&] {
        ReadAvailable();
        end = pending_.find('\n');
        return end != std::string::npos;
      },
      timeout);
  if (!came) return std::nullopt;
  std::string line = pending_.substr(0, end + 1);
  pending_.erase(0, end + 1);
  return line;
}

ConsoleResult ConsoleProgram::Finish() {
  ConsoleResult result;
  // Reading while it runs lets it write more than the pipe holds.
  WaitUntil([&] {
    ReadAvailable();
    return HasExited();
  });
  if (GetExitCodeProcess(process_.get(), &result.exitCode) && result.exitCode != STILL_ACTIVE) {
    result.out = std::move(pending_);
    ReadAll(out_.get(), result.out);
    ReadAll(err_.get(), result.err);
  }
  return result;
}

}  // namespace uvantic::e2e
