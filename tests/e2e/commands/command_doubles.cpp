// Installs the recording doubles into the test prefix and reads their records.
#include "command_doubles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "harness/scenario_registry.h"
#include "harness/window_probe.h"
#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

void SetRegistryText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  UniqueHKey key;
  LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                                   nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write HKLM\\" + Narrow(path) + " (error " + std::to_string(status) + ")");
  }
}

void CopyOrThrow(const std::wstring& from, const std::wstring& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + Narrow(from) + " to " + Narrow(to) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
}

std::wstring TempFile(const wchar_t* name) {
  wchar_t directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  return std::wstring(directory) + name;
}

}  // namespace

// Each record file gets a name of its own, so that a program started by an earlier
// scenario that records late cannot write into a later scenario's file.
RecordFile::RecordFile(const wchar_t* variable, const wchar_t* fileName)
    : variable_(variable), path_(TempFile(fileName) + L"." + std::to_wstring(++fileCount_)) {
  Clear();
  SetEnvironmentVariableW(variable_, path_.c_str());
}

RecordFile::~RecordFile() {
  SetEnvironmentVariableW(variable_, nullptr);
  DeleteFileW(path_.c_str());
}

std::vector<std::string> RecordFile::Lines() const {
  std::vector<std::string> lines;
  std::ifstream file(std::filesystem::path(path_), std::ios::binary);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> RecordFile::WaitForLines(std::size_t count, Milliseconds timeout) const {
  std::vector<std::string> lines;
  WaitUntil([&] { return (lines = Lines()).size() >= count; }, timeout);
  return lines;
}

void RecordFile::Clear() const { DeleteFileW(path_.c_str()); }

std::wstring BesideThisExecutable(const std::wstring& name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, length);
  return directory.substr(0, directory.find_last_of(L'\\') + 1) + name;
}

std::wstring SystemDirectory() {
  wchar_t directory[MAX_PATH] = {};
  GetSystemDirectoryW(directory, MAX_PATH);
  return directory;
}

bool RunsUnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// Under WOW64 the 64-bit double also goes where the native rundll32 finds it: the
// native system directory, which a 32-bit process reaches as Sysnative.
std::wstring NativeDevmgr() {
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\Sysnative\\devmgr.dll";
}

void InstallDevmgrDouble() {
  CopyOrThrow(BesideThisExecutable(L"devmgr_double.dll"), SystemDirectory() + L"\\devmgr.dll");
  if (RunsUnderWow64()) CopyOrThrow(BesideThisExecutable(L"devmgr_double64.dll"), NativeDevmgr());
}

void RemoveDevmgrDouble() {
  DeleteFileW((SystemDirectory() + L"\\devmgr.dll").c_str());
  if (RunsUnderWow64()) DeleteFileW(NativeDevmgr().c_str());
}

void InstallShellRecorder() {
  const std::wstring recorder = L"\"" + BesideThisExecutable(L"shell_recorder.exe") + L"\"";
  SetRegistryText(L"Software\\Classes\\.msc", nullptr, L"MSCFile");
  SetRegistryText(L"Software\\Classes\\MSCFile\\shell\\open\\command", nullptr, recorder + L" document \"%1\"");
  for (const wchar_t* scheme : {L"http", L"https"}) {
    const std::wstring key = std::wstring(L"Software\\Classes\\") + scheme;
    SetRegistryText(key, nullptr, L"URL:web address");
    SetRegistryText(key, L"URL Protocol", L"");
    SetRegistryText(key + L"\\shell\\open\\command", nullptr, recorder + L" address \"%1\"");
  }
  const std::wstring document = SystemDirectory() + L"\\devmgmt.msc";
  HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + Narrow(document));
  CloseHandle(file);
}

std::string DevmgrRecord(HWND window, int showCommand, const std::string& commandLine, unsigned bits) {
  char prefix[96];
  std::snprintf(prefix, sizeof prefix, "bits=%u window=%08lx instance=program show=%d nonpresent=1 details=1 line=",
                bits, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)), showCommand);
  return prefix + commandLine;
}

std::string PropertiesLine(const std::wstring& instance) {
  return "/MachineName \"\" /DeviceID \"" + Narrow(InstancePath(instance)) + "\"";
}

ShellRecord ParseShellRecord(const std::string& line) {
  ShellRecord record;
  const auto lineAt = line.find(" line=");
  if (!line.starts_with("show=") || lineAt == std::string::npos) return record;
  record.showCommand = std::stoi(line.substr(5, lineAt - 5));
  record.commandLine = line.substr(lineAt + 6);
  return record;
}

}  // namespace uvantic::e2e
