// Starts a console program with its output on pipes, as a script would, and collects
// what it printed and its exit code.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/handles.h"
#include "wait.h"

namespace uvantic::e2e {

struct ConsoleResult {
  DWORD exitCode = 0;
  std::string out{};  // the bytes written to stdout
  std::string err{};  // and to stderr
};

class ConsoleProgram {
 public:
  // Starts executable (a Windows path) with arguments appended to its command line.
  // Throws std::runtime_error when it cannot be started.
  ConsoleProgram(const std::wstring& executable, const std::wstring& arguments);
  ConsoleProgram(const ConsoleProgram&) = delete;
  ConsoleProgram& operator=(const ConsoleProgram&) = delete;
  ~ConsoleProgram();

  bool HasExited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
  // Stops reading stdout, so that every write of the program to it fails.
  void CloseOutput() { out_.reset(); }
  // Waits for the program to end while reading its output; nullopt when it did not end
  // in time, and it is then ended.
  std::optional<ConsoleResult> Finish(Milliseconds timeout = kDefaultTimeout);

 private:
  void Drain();

  UniqueHandle process_;
  UniqueHandle out_;
  UniqueHandle err_;
  ConsoleResult result_;
};

// Runs the program to its end; a program that does not end in time fails the call
// with std::runtime_error.
ConsoleResult RunConsoleProgram(const std::wstring& executable, const std::wstring& arguments);

}  // namespace uvantic::e2e
