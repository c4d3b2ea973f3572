// uvfind.exe run as a script runs it: from beside the window's program, with its
// output on pipes that are read as it writes, line by line or all at the end.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/handles.h"
#include "test_environment.h"
#include "wait.h"

namespace uvantic::e2e {

struct ConsoleResult {
  DWORD exitCode = 0;
  std::string out{}, err{};  // the bytes written to stdout and stderr
};

class ConsoleProgram {
 public:
  // arguments follow uvfind's name on its command line; program is the window's
  // executable, uvfind's neighbour. It shares this process's console, if there is one.
  // Throws std::runtime_error when it cannot be started.
  explicit ConsoleProgram(const std::wstring& arguments, const std::wstring& program = Environment().program);
  ConsoleProgram(const ConsoleProgram&) = delete;
  ConsoleProgram& operator=(const ConsoleProgram&) = delete;
  ~ConsoleProgram();

  bool HasExited() const;
  // Stops reading stdout: the program's writes to it fail from then on.
  void CloseOutput() { out_.reset(); }
  // The next whole line on stdout, line end included, once it has come; nullopt when
  // it did not come within timeout.
  std::optional<std::string> ReadLine(Milliseconds timeout);
  // Waits for it to end, then gives what it wrote that ReadLine has not returned
  // (of stderr, less than a pipe holds); the exit code of one that did not end in time
  // is STILL_ACTIVE.
  ConsoleResult Finish();

 private:
  // Adds what stdout holds now to pending_, without waiting.
  void ReadAvailable();

  UniqueHandle process_, out_, err_;
  std::string pending_;
};

}  // namespace uvantic::e2e
