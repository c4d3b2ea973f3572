// The Win32 layer behind the window commands and the start: the property-sheet library
// bound from the system directory only, strict ANSI text, the single running copy,
// window activation, and the help file path of copies under other names and folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ansi_text.h"
#include "platform/device_properties.h"
#include "platform/executable_file.h"
#include "platform/single_instance.h"
#include "platform/system_directory.h"

namespace uvantic {
namespace {

namespace fs = std::filesystem;

fs::path ThisExecutableDirectory() {
  wchar_t path[MAX_PATH * 4];
  GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return fs::path(path).parent_path();
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

// A devmgr.dll that records its calls, copied where a test wants it and removed again.
class DevmgrDouble {
 public:
  explicit DevmgrDouble(const fs::path& directory) : path_(directory / L"devmgr.dll") {
    fs::create_directories(directory);
    fs::copy_file(ThisExecutableDirectory() / L"devmgr_double.dll", path_,
                  fs::copy_options::overwrite_existing);
  }
  ~DevmgrDouble() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }

 private:
  fs::path path_;
};

class DevicePropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = fs::temp_directory_path() / L"devmgr-record.txt";
    fs::remove(record_);
    SetEnvironmentVariableW(L"UVANTIC_DEVMGR_RECORD", record_.c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"UVANTIC_DEVMGR_RECORD", nullptr); }

  fs::path SystemDirectory() const { return fs::path(*SystemDirectoryFile(L"")); }

  fs::path record_;
};

// One test covers both sides, in this order: the library stays loaded once bound, so
// a planted copy has to be tried before the system's copy exists.
TEST_F(DevicePropertiesTest, BindsOnlyTheSystemDirectoryCopyAndOnlyWhenFirstUsed) {
  const fs::path planted = fs::temp_directory_path() / L"planted";
  {
    DevmgrDouble inCurrentDirectory(planted);
    DevmgrDouble besideTheProgram(ThisExecutableDirectory());
    const fs::path previous = fs::current_path();
    fs::current_path(planted);
    EXPECT_FALSE(ShowDeviceProperties(nullptr, GetModuleHandleW(nullptr), "/DeviceID \"x\"", SW_SHOW));
    fs::current_path(previous);
    EXPECT_EQ(GetModuleHandleW(L"devmgr.dll"), nullptr);
    EXPECT_FALSE(fs::exists(record_));
  }

  DevmgrDouble inSystemDirectory(SystemDirectory());
  EXPECT_EQ(GetModuleHandleW(L"devmgr.dll"), nullptr) << "bound before first use";
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  EXPECT_TRUE(ShowDeviceProperties(owner, GetModuleHandleW(nullptr), "/MachineName \"\" /DeviceID \"A\\B\"", SW_SHOW));
  EXPECT_TRUE(ShowDeviceProperties(owner, nullptr, "second", 3));
  const std::string bits = "bits=" + std::to_string(sizeof(void*) * 8);
  const std::string unset = " nonpresent=- details=- ";  // this process sets neither setting
  EXPECT_EQ(ReadFile(record_), bits + " window=00001234 instance=program show=5" + unset +
                                   "line=/MachineName \"\" /DeviceID \"A\\B\"\n" + bits +
                                   " window=00001234 instance=other show=3" + unset + "line=second\n");
}

TEST(AnsiText, PassesAsciiAndRefusesWhatTheCodePageCannotHold) {
  EXPECT_EQ(ToAnsi(L"USB\\Vid_2E7A&Pid_0200&Mi_00\\6&1&0&0000"),
            std::optional<std::string>("USB\\Vid_2E7A&Pid_0200&Mi_00\\6&1&0&0000"));
  EXPECT_EQ(ToAnsi(L""), std::optional<std::string>(""));
}

// Windows can be set to use UTF-8 as its ANSI code page; the commands must still hand
// their texts over then.
TEST(AnsiText, ConvertsExactlyInSingleByteCodePagesAndInUtf8) {
  const struct {
    unsigned codePage;
    std::wstring text;
    std::optional<std::string> expected;
  } cases[] = {
      {1252, L"USB\\Vid_2E7A&Pid_0200&Mi_00\\6&1&0&0000", "USB\\Vid_2E7A&Pid_0200&Mi_00\\6&1&0&0000"},
      {1252, L"devmgmt.msc", "devmgmt.msc"},
      {1252, L"caf\x00E9", "caf\xE9"},
      // No single-byte code page holds both Cyrillic and CJK letters; a best-fit or "?"
      // would hand another text over.
      {1252, L"USB\\\x041A\x4E2D", std::nullopt},
      {1252, L"\x0141", std::nullopt},  // best fit would give "L"
      {CP_UTF8, L"USB\\Vid_2E7A&Pid_0200&Mi_00\\6&1&0&0000", "USB\\Vid_2E7A&Pid_0200&Mi_00\\6&1&0&0000"},
      {CP_UTF8, L"https://www.uvantic.com/", "https://www.uvantic.com/"},
      {CP_UTF8, L"USB\\\x041A\x4E2D", "USB\\\xD0\x9A\xE4\xB8\xAD"},
      {CP_UTF8, L"", ""},
      {CP_UTF8, std::wstring(L"A\xD800" L"B"), std::nullopt},  // a lone surrogate
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToCodePage(c.text, c.codePage), c.expected) << "code page " << c.codePage << ", text of "
                                                          << c.text.size() << " characters";
  }
}

TEST(SingleInstance, TheFirstCopyRunsAloneAndLaterCopiesSeeIt) {
  const std::wstring title = L"Uvantic single instance test";
  {
    SingleInstance first(title);
    EXPECT_EQ(first.AnotherCopyRuns(), std::optional<bool>(false));
    SingleInstance second(title);
    EXPECT_EQ(second.AnotherCopyRuns(), std::optional<bool>(true));
    SingleInstance otherProgram(L"Another title");
    EXPECT_EQ(otherProgram.AnotherCopyRuns(), std::optional<bool>(false));
  }
  SingleInstance afterTheFirstEnded(title);
  EXPECT_EQ(afterTheFirstEnded.AnotherCopyRuns(), std::optional<bool>(false));
}

void PumpMessages() {
  MSG message;
  for (int round = 0; round < 20; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

class ActivationTest : public ::testing::Test {
 protected:
  static constexpr wchar_t kClass[] = L"UvanticActivationTest";

  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kClass, L"Activation target", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    other_ = CreateWindowExW(0, L"STATIC", L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 10, 200, 100,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(other_);
    PumpMessages();
  }
  void TearDown() override {
    DestroyWindow(window_);
    DestroyWindow(other_);
    UnregisterClassW(kClass, GetModuleHandleW(nullptr));
  }

  HWND window_ = nullptr;
  HWND other_ = nullptr;
};

TEST_F(ActivationTest, FindsNothingForAnEmptyOrUnknownTitleOrAnotherClass) {
  EXPECT_FALSE(ActivateWindowByTitle(kClass, L""));
  EXPECT_FALSE(ActivateWindowByTitle(kClass, L"No such window"));
  EXPECT_FALSE(ActivateWindowByTitle(L"NoSuchClass", L"Activation target"));
  PumpMessages();
  EXPECT_EQ(GetForegroundWindow(), other_);
}

// The start's help file path, as computed by a copy of the probe program placed under
// another name and in another folder.
std::string HelpFileOfCopy(const fs::path& copy) {
  fs::create_directories(copy.parent_path());
  fs::copy_file(ThisExecutableDirectory() / L"start_probe.exe", copy, fs::copy_options::overwrite_existing);
  const fs::path output = fs::temp_directory_path() / L"start-probe.txt";
  fs::remove(output);
  std::wstring commandLine = L"\"" + copy.wstring() + L"\" \"" + output.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return "cannot start, error " + std::to_string(GetLastError());
  }
  WaitForSingleObject(process.hProcess, 10000);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  fs::remove(copy);
  if (exitCode != 0) return "exit code " + std::to_string(exitCode);
  return ReadFile(output);
}

TEST(StartHelpFile, IsTheCopysOwnNameInItsOwnFolder) {
  struct Case {
    fs::path copy;
    std::wstring helpFile;
  };
  const Case cases[] = {
      {L"C:\\Uvantic tests\\Renamed Finder.exe", L"C:\\Uvantic tests\\Renamed Finder.chm"},
      {L"C:\\Uvantic tests\\Kabel \x00DC\x0062\x0065rsicht \x041A\x0430\x0431\x0435\x043B\x044C\\finder.v2.exe",
       L"C:\\Uvantic tests\\Kabel \x00DC\x0062\x0065rsicht \x041A\x0430\x0431\x0435\x043B\x044C\\finder.v2.chm"},
      // The root's directory text ends in a backslash already; the path keeps both.
      {L"C:\\UvanticRootProbe.exe", L"C:\\\\UvanticRootProbe.chm"},
  };
  for (const auto& c : cases) EXPECT_EQ(HelpFileOfCopy(c.copy), Utf8(c.helpFile)) << Utf8(c.copy.wstring());
}

// Wine starts no program from a path longer than MAX_PATH, so the long path is read
// from a library loaded from one instead.
TEST(ModuleFilePath, ReadsPathsLongerThanMaxPath) {
  const std::wstring deep = L"C:\\Uvantic tests\\" + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'e');
  DevmgrDouble library{fs::path(L"\\\\?\\" + deep)};
  const HMODULE module = LoadLibraryW((L"\\\\?\\" + deep + L"\\devmgr.dll").c_str());
  ASSERT_NE(module, nullptr) << GetLastError();
  const auto path = ModuleFilePath(module);
  FreeLibrary(module);
  ASSERT_TRUE(path);
  EXPECT_GT(path->size(), static_cast<std::size_t>(MAX_PATH));
  EXPECT_TRUE(path->ends_with(std::wstring(150, L'e') + L"\\devmgr.dll")) << Utf8(*path);
}

}  // namespace
}  // namespace uvantic
