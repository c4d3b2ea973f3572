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
#include "support/registry_writer.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kPopupsVariable[] = L"UVANTIC_HHCTRL_POPUPS";

const Cable kCable{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};

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
  copy_.reset();
  preferNative_.reset();
  helpControl_.reset();
  shell_.reset();
  SetEnvironmentVariableW(kPopupsVariable, nullptr);
}

void HelpScenario::Start(const std::wstring& executable) {
  registry_.Install(kCable);
  ASSERT_NO_FATAL_FAILURE(ProgramScenario::Start(executable));
  ASSERT_TRUE(BringToFront(window()));
}

std::wstring HelpScenario::CopyProgram(bool withHelpFile) {
  copy_.emplace(Environment().program, withHelpFile);
  return copy_->path();
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

std::vector<HWND> HelpScenario::OtherProgramWindows() const {
  std::vector<HWND> windows = FindTopWindows({program_->processId()});
  std::erase(windows, window());
  return windows;
}

POINT HelpScenario::ScreenCentre(HWND control) const {
  RECT rect{};
  GetWindowRect(control, &rect);
  return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

}  // namespace uvantic::e2e
