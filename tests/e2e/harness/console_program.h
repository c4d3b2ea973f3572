// Runs a console program with its output on pipes, as a script would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/handles.h"
#include "wait.h"

namespace uvantic::e2e {

struct ConsoleResult {
  DWORD exitCode = 0;
  std::string out{}, err{};  // the bytes written to stdout and stderr
};

class ConsoleProgram {
 public:
  // Starts executable (a Windows path) with arguments; throws std::runtime_error when
  // it cannot.
  ConsoleProgram(const std::wstring& executable, const std::wstring& arguments);
  ~ConsoleProgram() { TerminateProcess(process_.get(), 1); }

  bool HasExited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
  // Stops reading stdout: the program's writes to it fail from then on.
  void CloseOutput() { out_.reset(); }
  // Reads its output, draining the pipes so they never fill, until it ends; nullopt
  // when it did not end in time.
  std::optional<ConsoleResult> Finish(Milliseconds timeout = kDefaultTimeout);

 private:
  UniqueHandle process_, out_, err_;
  ConsoleResult result_;
};

}  // namespace uvantic::e2e
