// Context-help fixture: recorder installation, popup menus and the program's windows.
#include "help_scenario.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "harness/test_environment.h"
#include "harness/user_input.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kPopupsVariable[] = L"UVANTIC_HHCTRL_POPUPS";
constexpr Milliseconds kNoPopupWait{800};

const Cable kCable{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};

std::wstring TempPath(const wchar_t* name) {
  wchar_t directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  return std::wstring(directory) + name;
}

std::wstring SystemFile(const wchar_t* name) { return SystemDirectory() + L"\\" + name; }

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// Wine reads a program's own DLL load order from this key.
std::wstring OverridesKey() {
  return L"Software\\Wine\\AppDefaults\\" + FileName(Environment().program) + L"\\DllOverrides";
}

void CopyOrThrow(const std::wstring& from, const std::wstring& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + Narrow(from) + " to " + Narrow(to) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
}

std::string Field(const std::string& line, const std::string& name) {
  const std::string key = " " + name + "=";
  const auto start = (" " + line).find(key);
  if (start == std::string::npos) return {};
  const auto valueStart = start + key.size() - 1;
  if (name == "file") return line.substr(valueStart);  // the file goes last, whatever it holds
  return line.substr(valueStart, line.find(' ', valueStart) - valueStart);
}

std::vector<HelpCall> Parsed(const std::vector<std::string>& lines) {
  std::vector<HelpCall> calls;
  for (const auto& line : lines) {
    if (line.starts_with("call=")) calls.push_back(ParseHelpCall(line));
  }
  return calls;
}

}  // namespace

HelpCall ParseHelpCall(const std::string& line) {
  HelpCall call;
  call.command = static_cast<UINT>(std::strtoul(Field(line, "command").c_str(), nullptr, 10));
  if (const auto id = Field(line, "id"); !id.empty()) call.id = std::atoi(id.c_str());
  if (const auto x = Field(line, "x"); !x.empty()) call.at = {std::atol(x.c_str()), std::atol(Field(line, "y").c_str())};
  call.file = Field(line, "file");
  return call;
}

void HelpScenario::SetUp() {
  ProgramScenario::SetUp();
  SetEnvironmentVariableW(kPopupsVariable, nullptr);
}

void HelpScenario::TearDown() {
  ProgramScenario::TearDown();
  for (const auto& file : copiedFiles_) DeleteFileW(file.c_str());
  copiedFiles_.clear();
  if (!copyFolder_.empty()) RemoveDirectoryW(copyFolder_.c_str());
  copyFolder_.clear();
  if (overrideSet_) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, OverridesKey().c_str(), L"hhctrl.ocx");
    overrideSet_ = false;
  }
  if (!savedControl_.empty()) {
    CopyFileW(savedControl_.c_str(), SystemFile(L"hhctrl.ocx").c_str(), FALSE);
    DeleteFileW(savedControl_.c_str());
    savedControl_.clear();
  }
  SetEnvironmentVariableW(kPopupsVariable, nullptr);
}

void HelpScenario::Start(const std::wstring& executable) {
  registry_.Install(kCable);
  try {
    program_ = std::make_unique<RunningProgram>(executable.empty() ? Environment().program : executable);
  } catch (const std::exception& error) {
    FAIL() << error.what();
  }
  controls_ = FindControls(program_->window());
  ASSERT_NE(controls_.list, nullptr) << "the window has no list view";
  ASSERT_TRUE(BringToFront(window()));
}

std::wstring HelpScenario::CopyProgram(bool withHelpFile) {
  copyFolder_ = TempPath(L"uvantic-program-copy");
  CreateDirectoryW(copyFolder_.c_str(), nullptr);
  const std::wstring& program = Environment().program;
  const std::wstring copy = copyFolder_ + L"\\" + FileName(program);
  CopyOrThrow(program, copy);
  copiedFiles_.push_back(copy);
  if (withHelpFile) {
    const std::wstring helpFile = program.substr(0, program.find_last_of(L'.')) + L".chm";
    AddBesideCopy(helpFile, FileName(helpFile).c_str());
  }
  return copy;
}

void HelpScenario::AddBesideCopy(const std::wstring& from, const wchar_t* name) {
  const std::wstring to = copyFolder_ + L"\\" + name;
  CopyOrThrow(from, to);
  copiedFiles_.push_back(to);
}

void HelpScenario::InstallRecorder() { InstallHelpControl(L"hhctrl_recorder.dll"); }

void HelpScenario::InstallHelpControl(const wchar_t* library) {
  const std::wstring control = SystemFile(L"hhctrl.ocx");
  savedControl_ = TempPath(L"uvantic-hhctrl-wine.ocx");
  CopyOrThrow(control, savedControl_);
  CopyOrThrow(BesideThisExecutable(library), control);
  PreferNativeControl();
}

void HelpScenario::PreferNativeControl() {
  overrideSet_ = true;
  UniqueHKey key;
  const wchar_t order[] = L"native,builtin";
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, OverridesKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                   key.put(), nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key.get(), L"hhctrl.ocx", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof(order));
  }
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot set the DLL override: error " + std::to_string(status));
}

std::vector<HelpCall> HelpScenario::HelpCalls() const { return Parsed(helpRecord_.Lines()); }

std::vector<HelpCall> HelpScenario::WaitForHelpCalls(std::size_t count) const {
  std::vector<HelpCall> calls;
  WaitUntil([&] { return (calls = HelpCalls()).size() >= count; });
  return calls;
}

bool HelpScenario::RecorderLoaded() const {
  const auto lines = helpRecord_.Lines();
  return std::find(lines.begin(), lines.end(), "loaded") != lines.end();
}

std::string HelpScenario::ProgramHelpFile() const {
  const std::wstring& program = Environment().program;
  const std::wstring withoutExtension = program.substr(0, program.find_last_of(L'.'));
  return Narrow(withoutExtension + L".chm");
}

HWND HelpScenario::PopupMenu() const { return ProgramWindowOfClass(L"#32768"); }

HWND HelpScenario::WaitForPopupMenu() const {
  HWND popup = nullptr;
  WaitUntil([&] { return (popup = PopupMenu()) != nullptr; }, Milliseconds{5000});
  return popup;
}

bool HelpScenario::NoPopupMenuAppears() const {
  return !WaitUntil([&] { return PopupMenu() != nullptr; }, kNoPopupWait);
}

void HelpScenario::DismissPopupMenu() {
  if (!PopupMenu()) return;
  PressKey(VK_ESCAPE);
  WaitUntil([&] { return PopupMenu() == nullptr; }, Milliseconds{3000});
}

void HelpScenario::ChooseWhatsThis(HWND popup) {
  Click(popup);
  WaitUntil([&] { return PopupMenu() == nullptr; }, Milliseconds{3000});
}

void HelpScenario::OpenPopupAndChoose(HWND control) {
  Click(control, MouseButton::Right);
  const HWND popup = WaitForPopupMenu();
  ASSERT_NE(popup, nullptr) << "no popup menu";
  ChooseWhatsThis(popup);
}

HWND HelpScenario::ProgramWindowOfClass(const wchar_t* className) const {
  return FindTopWindow({program_->processId(), className});
}

std::vector<HWND> HelpScenario::OtherProgramWindows() const {
  std::vector<HWND> windows = FindTopWindows({program_->processId()});
  std::erase(windows, window());
  return windows;
}

bool HelpScenario::Responds() const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

POINT HelpScenario::ScreenCentre(HWND control) const {
  RECT rect{};
  GetWindowRect(control, &rect);
  return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

}  // namespace uvantic::e2e
