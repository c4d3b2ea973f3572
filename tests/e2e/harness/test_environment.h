// What the end-to-end tests are told on their command line, and what they find out
// about the machine they run on.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace uvantic::e2e {

struct TestEnvironment {
  std::wstring program;         // the program's executable, as a Windows path
  std::wstring screenshotsDir;  // where scenario screenshots go; empty for none
  int churnSeconds = 10;        // how long the churn scenario changes keys
};

// Reads "--program=PATH", "--screenshots=DIR" (Windows or Unix paths) and
// "--churn-seconds=N"; the program
// defaults to UvanticFinder.exe beside this executable.
TestEnvironment ParseTestEnvironment(int argc, wchar_t** argv);
const TestEnvironment& Environment();
void SetEnvironment(TestEnvironment environment);

// A Unix path ("/home/x/y") as Wine sees it from Windows ("Z:\home\x\y"); other paths
// unchanged.
std::wstring WindowsPath(std::wstring_view path);

// The arguments this process was started with, without its own name.
std::vector<std::wstring> CommandLineArguments();
// Runs a command-line tool's body: an exception it throws becomes "TOOL: what" on
// stderr and exit code 1.
int RunTool(const char* tool, const std::function<int()>& body);

bool RunningUnderWine();
// Whether windows can be shown: always on Windows; under Wine only with an X display.
bool DisplayAvailable();

bool FileExists(const std::wstring& path);

// A file beside this executable, the system directory, and a file in the temporary folder.
std::wstring BesideThisExecutable(const std::wstring& name);
std::wstring SystemDirectory();
std::wstring TempPath(const wchar_t* name);

}  // namespace uvantic::e2e
