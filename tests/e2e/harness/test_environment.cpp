// Command line and machine facts for the end-to-end tests.
#include "test_environment.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

namespace uvantic::e2e {
namespace {

TestEnvironment& Current() {
  static TestEnvironment environment;
  return environment;
}

std::wstring_view Option(std::wstring_view argument, std::wstring_view name) {
  return argument.starts_with(name) ? argument.substr(name.size()) : std::wstring_view();
}

}  // namespace

std::vector<std::wstring> CommandLineArguments() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return {};
  std::vector<std::wstring> args(argv + std::min(count, 1), argv + count);
  LocalFree(argv);
  return args;
}

int RunTool(const char* tool, const std::function<int()>& body) {
  try {
    return body();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", tool, error.what());
    return 1;
  }
}

std::wstring WindowsPath(std::wstring_view path) {
  if (!path.starts_with(L'/')) return std::wstring(path);
  std::wstring windows = L"Z:" + std::wstring(path);
  for (auto& c : windows) {
    if (c == L'/') c = L'\\';
  }
  return windows;
}

TestEnvironment ParseTestEnvironment(int argc, wchar_t** argv) {
  TestEnvironment environment;
  environment.program = BesideThisExecutable(L"UvanticFinder.exe");
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument = argv[i];
    if (const auto value = Option(argument, L"--program="); !value.empty()) {
      environment.program = WindowsPath(value);
    } else if (const auto dir = Option(argument, L"--screenshots="); !dir.empty()) {
      environment.screenshotsDir = WindowsPath(dir);
    } else if (const auto seconds = Option(argument, L"--churn-seconds="); !seconds.empty()) {
      environment.churnSeconds = std::max(1, _wtoi(std::wstring(seconds).c_str()));
    }
  }
  return environment;
}

const TestEnvironment& Environment() { return Current(); }

void SetEnvironment(TestEnvironment environment) { Current() = std::move(environment); }

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool DisplayAvailable() {
  if (!RunningUnderWine()) return true;
  wchar_t display[64] = {};
  return GetEnvironmentVariableW(L"DISPLAY", display, static_cast<DWORD>(std::size(display))) > 0;
}

std::wstring BesideThisExecutable(const std::wstring& name) {
  wchar_t path[MAX_PATH] = {};
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L"\\/") + 1) + name;
}

std::wstring SystemDirectory() {
  wchar_t directory[MAX_PATH] = {};
  GetSystemDirectoryW(directory, MAX_PATH);
  return directory;
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  return std::wstring(directory) + name;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace uvantic::e2e
