// Stand-ins for what the window's commands hand work to: a recording devmgr.dll in the
// system directory, and a recording program registered as the shell's handler of
// ".msc" documents and of web addresses. Each records one line per call in a file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/test_environment.h"
#include "harness/wait.h"

namespace uvantic::e2e {

// A file the doubles append lines to; the program under test and the programs it
// starts find it through an environment variable they inherit from this process.
class RecordFile {
 public:
  RecordFile(const wchar_t* variable, const wchar_t* fileName);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  std::vector<std::string> Lines() const;
  // Waits until at least count lines are there; returns the lines found.
  std::vector<std::string> WaitForLines(std::size_t count, Milliseconds timeout = kDefaultTimeout) const;
  void Clear() const;

 private:
  static inline int fileCount_ = 0;
  const wchar_t* variable_;
  std::wstring path_;
};

std::wstring BesideThisExecutable(const std::wstring& name);
std::wstring SystemDirectory();

// Whether this test, and so the program it starts, is a 32-bit process on 64-bit Windows.
bool RunsUnderWow64();

// Copies the recording devmgr.dll to the system directory, or removes it again.
void InstallDevmgrDouble();
void RemoveDevmgrDouble();

// Registers the recorder as the program that opens ".msc" documents and http and
// https addresses, and puts a devmgmt.msc document into the system directory.
void InstallShellRecorder();

// One line of a devmgr double, called with its process's own module and both Device
// Manager settings the window makes: "bits=B window=XXXXXXXX instance=program show=N
// nonpresent=1 details=1 line=...".
std::string DevmgrRecord(HWND window, int showCommand, const std::string& commandLine,
                         unsigned bits = sizeof(void*) * 8);

// The command line the property sheet gets for a cable's instance.
std::string PropertiesLine(const std::wstring& instance);

// Lines of the shell recorder hold the show command and the recorder's command line.
struct ShellRecord {
  int showCommand = -1;
  std::string commandLine;
};
ShellRecord ParseShellRecord(const std::string& line);

}  // namespace uvantic::e2e
