// Stand-ins for what the window's commands hand work to: a recording devmgr.dll in the
// system directory, and a recording program registered as the shell's handler of
// ".msc" documents and of web addresses. Each records one line per call in a file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/test_environment.h"
#include "harness/wait.h"
#include "support/registry_writer.h"

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

// Whether this test, and so the program it starts, is a 32-bit process on 64-bit Windows.
bool TestRunsUnderWow64();

// Copies the recording devmgr.dll to the system directory, or removes it again.
void InstallDevmgrDouble();
void RemoveDevmgrDouble();

// devmgr.dll in the system directory is library, from beside this executable (by
// default the recording doubles, as InstallDevmgrDouble puts them), while the guard
// lives; afterwards there is none, as in a fresh prefix.
class DevmgrInPlace {
 public:
  explicit DevmgrInPlace(const wchar_t* library = nullptr);
  ~DevmgrInPlace() { RemoveDevmgrDouble(); }
  DevmgrInPlace(const DevmgrInPlace&) = delete;
  DevmgrInPlace& operator=(const DevmgrInPlace&) = delete;
};

// The program under test loads a native hhctrl.ocx wherever Wine finds one while the
// guard lives.
class NativeHelpControlPreferred {
 public:
  NativeHelpControlPreferred();
  ~NativeHelpControlPreferred();
  NativeHelpControlPreferred(const NativeHelpControlPreferred&) = delete;
  NativeHelpControlPreferred& operator=(const NativeHelpControlPreferred&) = delete;
};

// hhctrl.ocx in the system directory is library, from beside this executable, and the
// program loads it instead of Wine's own while the guard lives; Wine's own comes back.
class HelpControlInPlace {
 public:
  explicit HelpControlInPlace(const wchar_t* library);
  ~HelpControlInPlace();
  HelpControlInPlace(const HelpControlInPlace&) = delete;
  HelpControlInPlace& operator=(const HelpControlInPlace&) = delete;

 private:
  std::wstring saved_;  // Wine's own hhctrl.ocx while the library stands in
  std::optional<NativeHelpControlPreferred> preferred_;
};

// The recorder registered as the program that opens ".msc" documents and http and https
// addresses, and a devmgmt.msc document in the system directory, while the guard lives;
// afterwards the associations and the system directory are as they were.
class ShellRecorderInPlace {
 public:
  ShellRecorderInPlace();
  ~ShellRecorderInPlace();
  ShellRecorderInPlace(const ShellRecorderInPlace&) = delete;
  ShellRecorderInPlace& operator=(const ShellRecorderInPlace&) = delete;

 private:
  // A value overwritten in a key that was there before: its text, or none.
  struct Saved {
    std::wstring key;
    std::wstring name;
    std::optional<std::wstring> text;
  };
  void Set(const std::wstring& key, const wchar_t* name, const std::wstring& text);

  testing::RegistryWriter writer_;  // deletes the keys it created
  std::vector<Saved> saved_;
  std::wstring document_;  // deleted again when it was not there before
};

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
