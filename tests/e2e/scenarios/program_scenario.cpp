// Scenario fixtures: seeding, starting, screenshots and clean-up.
#include "program_scenario.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "harness/screenshot.h"
#include "harness/test_environment.h"

namespace uvantic::e2e {
namespace {

std::string SkipReason() {
  if (!DisplayAvailable()) return "no X display (DISPLAY is not set): the program's window cannot be shown";
  return {};
}

std::string MissingProgram() {
  const auto& program = Environment().program;
  return FileExists(program) ? std::string() : "the program is missing: " + Narrow(program);
}

void ResetMachine() {
  ScenarioRegistry().Clear();
  SetLogPixels(96);
}

std::string CurrentTestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

}  // namespace

void PrintTo(const ShownRow& row, std::ostream* out) {
  *out << "{" << Narrow(row.port) << " | " << Narrow(row.status) << " | " << Narrow(row.cableId) << " | image "
       << row.image << (row.dimmed ? " | dimmed" : "") << "}";
}

std::vector<ShownRow> ShownRows(const ListViewProbe& list) {
  std::vector<ShownRow> shown;
  for (const auto& row : list.Rows()) {
    shown.push_back({row.port, row.status, row.cableId, row.image, row.cut});
  }
  return shown;
}

std::optional<Milliseconds> MedianTimeToShow(int trials, const std::function<void(int)>& change,
                                             const std::function<bool(int)>& shown) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<DWORD> moment(0, 999);
  std::vector<Milliseconds> times;
  for (int i = 0; i < trials; ++i) {
    Sleep(moment(random));
    change(i);
    const auto took = TimeUntil([&] { return shown(i); }, Milliseconds{3000});
    if (!took) return std::nullopt;
    times.push_back(*took);
    std::printf("[   INFO   ] change %d shown after %ld ms\n", i + 1, static_cast<long>(took->count()));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void SaveScreenshot(HWND window, std::string_view name) {
  const auto& dir = Environment().screenshotsDir;
  if (dir.empty() || window == nullptr) return;
  CreateDirectoryW(dir.c_str(), nullptr);
  std::wstring file(name.begin(), name.end());
  // Parameterised test names hold slashes.
  for (auto& c : file) {
    if (c == L'/') c = L'_';
  }
  const std::wstring path = dir + L"\\" + file + L".png";
  if (!SaveWindowScreenshot(window, path)) ADD_FAILURE() << "cannot write the screenshot " << Narrow(path);
}

void ProgramScenario::SetUp() {
  if (const auto reason = SkipReason(); !reason.empty()) GTEST_SKIP() << reason;
  if (const auto missing = MissingProgram(); !missing.empty()) FAIL() << missing;
  ResetMachine();
}

void ProgramScenario::TearDown() {
  if (program_) {
    Screenshot("");
    EXPECT_FALSE(program_->HasExited()) << "the program ended during the scenario";
    program_->Close();
    program_.reset();
  }
  if (DisplayAvailable()) ResetMachine();
}

void ProgramScenario::Start(const std::wstring& executable) {
  try {
    program_ = std::make_unique<RunningProgram>(executable.empty() ? Environment().program : executable);
  } catch (const std::exception& error) {
    FAIL() << error.what();
  }
  controls_ = FindControls(program_->window());
  ASSERT_NE(controls_.list, nullptr) << "the window has no list view";
}

bool ProgramScenario::ProgramEnds(Milliseconds timeout) {
  const bool ended = WaitForSingleObject(program_->process(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  if (ended) program_.reset();
  return ended;
}

ListViewProbe ProgramScenario::List() const { return ListViewProbe(controls_.list); }

void ProgramScenario::Screenshot(std::string_view suffix) {
  std::string name = CurrentTestName();
  if (!suffix.empty()) name.append(1, '-').append(suffix);
  SaveScreenshot(program_->window(), name);
}

std::unique_ptr<RunningProgram> SharedProgramScenario::program_;
MainWindowControls SharedProgramScenario::controls_;
std::string SharedProgramScenario::startError_;

void SharedProgramScenario::StartShared(std::string_view name, const std::vector<Cable>& cables,
                                        DWORD dotsPerInch, std::wstring_view hardwareId,
                                        const std::function<void(ScenarioRegistry&)>& adjust) {
  startError_.clear();
  if (!SkipReason().empty()) return;
  startError_ = MissingProgram();
  if (!startError_.empty()) return;
  try {
    ResetMachine();
    ScenarioRegistry registry(hardwareId);
    registry.Install(cables);
    if (adjust) adjust(registry);
    SetLogPixels(dotsPerInch);
    program_ = std::make_unique<RunningProgram>(Environment().program);
    controls_ = FindControls(program_->window());
    SaveScreenshot(program_->window(), name);
  } catch (const std::exception& error) {
    startError_ = error.what();
    program_.reset();
  }
}

void SharedProgramScenario::TearDownTestSuite() {
  if (program_) {
    program_->Close();
    program_.reset();
  }
  if (DisplayAvailable()) ResetMachine();
}

void SharedProgramScenario::SetUp() {
  if (const auto reason = SkipReason(); !reason.empty()) GTEST_SKIP() << reason;
  ASSERT_TRUE(startError_.empty()) << startError_;
  ASSERT_TRUE(program_ != nullptr);
  ASSERT_FALSE(program_->HasExited()) << "the program ended during the scenario";
}

}  // namespace uvantic::e2e
