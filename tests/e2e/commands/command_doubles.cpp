// Installs the recording doubles into the test prefix and reads their records.
#include "command_doubles.h"

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/window_probe.h"
#include "platform/handles.h"
#include "support/registry_writer.h"

namespace uvantic::e2e {
namespace {

void CopyOrThrow(const std::wstring& from, const std::wstring& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + Narrow(from) + " to " + Narrow(to) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
}

}  // namespace

// Each record file gets a name of its own, so that a program started by an earlier
// scenario that records late cannot write into a later scenario's file.
RecordFile::RecordFile(const wchar_t* variable, const wchar_t* fileName)
    : variable_(variable), path_(TempPath(fileName) + L"." + std::to_wstring(++fileCount_)) {
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

bool TestRunsUnderWow64() {
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
  if (TestRunsUnderWow64()) CopyOrThrow(BesideThisExecutable(L"devmgr_double64.dll"), NativeDevmgr());
}

void RemoveDevmgrDouble() {
  DeleteFileW((SystemDirectory() + L"\\devmgr.dll").c_str());
  if (TestRunsUnderWow64()) DeleteFileW(NativeDevmgr().c_str());
}

DevmgrInPlace::DevmgrInPlace(const wchar_t* library) {
  if (library == nullptr) {
    InstallDevmgrDouble();
  } else {
    CopyOrThrow(BesideThisExecutable(library), SystemDirectory() + L"\\devmgr.dll");
  }
}

namespace {

// Wine reads a program's own DLL load order from this key (Wine User's Guide, DLL overrides).
std::wstring OverridesKey() {
  const std::wstring& program = Environment().program;
  return L"\\HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\" + program.substr(program.find_last_of(L"\\/") + 1) +
         L"\\DllOverrides";
}

}  // namespace

NativeHelpControlPreferred::NativeHelpControlPreferred() {
  testing::RegistryWriter(testing::RegistryWriter::Keep::Written).key(OverridesKey()).value(L"hhctrl.ocx", L"native,builtin");
}

NativeHelpControlPreferred::~NativeHelpControlPreferred() {
  try {
    testing::RegistryWriter().removeValue(OverridesKey(), L"hhctrl.ocx");
  } catch (const std::exception&) {
  }
}

HelpControlInPlace::HelpControlInPlace(const wchar_t* library) : saved_(TempPath(L"uvantic-hhctrl-wine.ocx")) {
  const std::wstring control = SystemDirectory() + L"\\hhctrl.ocx";
  CopyOrThrow(control, saved_);
  try {
    CopyOrThrow(BesideThisExecutable(library), control);
    preferred_.emplace();
  } catch (...) {
    CopyFileW(saved_.c_str(), control.c_str(), FALSE);
    DeleteFileW(saved_.c_str());
    throw;
  }
}

HelpControlInPlace::~HelpControlInPlace() {
  preferred_.reset();
  CopyFileW(saved_.c_str(), (SystemDirectory() + L"\\hhctrl.ocx").c_str(), FALSE);
  DeleteFileW(saved_.c_str());
}

ShellRecorderInPlace::ShellRecorderInPlace() {
  const std::wstring recorder = L"\"" + BesideThisExecutable(L"shell_recorder.exe") + L"\"";
  Set(L"Software\\Classes\\.msc", nullptr, L"MSCFile");
  Set(L"Software\\Classes\\MSCFile\\shell\\open\\command", nullptr, recorder + L" document \"%1\"");
  for (const wchar_t* scheme : {L"http", L"https"}) {
    const std::wstring key = std::wstring(L"Software\\Classes\\") + scheme;
    Set(key, nullptr, L"URL:web address");
    Set(key, L"URL Protocol", L"");
    Set(key + L"\\shell\\open\\command", nullptr, recorder + L" address \"%1\"");
  }
  const std::wstring document = SystemDirectory() + L"\\devmgmt.msc";
  if (!FileExists(document)) document_ = document;
  HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + Narrow(document));
  CloseHandle(file);
}

ShellRecorderInPlace::~ShellRecorderInPlace() {
  try {
    testing::RegistryWriter restore(testing::RegistryWriter::Keep::Written);
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      const std::wstring path = L"\\HKEY_LOCAL_MACHINE\\" + it->key;
      if (it->text) {
        restore.key(path).value(it->name, *it->text);
      } else {
        restore.removeValue(path, it->name);
      }
    }
  } catch (const std::exception&) {
  }
  if (!document_.empty()) DeleteFileW(document_.c_str());
}

void ShellRecorderInPlace::Set(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
  UniqueHKey existing;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, existing.put()) == ERROR_SUCCESS) {
    Saved saved{key, name ? name : L"", std::nullopt};
    DWORD size = 0;
    if (RegGetValueW(existing.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      std::wstring old(size / sizeof(wchar_t), L'\0');
      if (RegGetValueW(existing.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, old.data(), &size) == ERROR_SUCCESS) {
        old.resize(wcsnlen(old.c_str(), old.size()));
        saved.text = old;
      }
    }
    saved_.push_back(std::move(saved));
  }
  writer_.key(L"\\HKEY_LOCAL_MACHINE\\" + key).value(name ? name : L"", text);
}

std::string DevmgrRecord(HWND window, int showCommand, const std::string& commandLine, unsigned bits) {
  char prefix[96];
  std::snprintf(prefix, sizeof prefix, "bits=%u window=%08lx instance=program show=%d nonpresent=1 details=1 line=",
                bits, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)), showCommand);
  return prefix + commandLine;
}

std::string PropertiesLine(const std::wstring& instance) {
  return "/MachineName \"\" /DeviceID \"" + Narrow(WindowsInstancePath(instance)) + "\"";
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
