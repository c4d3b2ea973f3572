// The fixtures every end-to-end scenario builds on: a registry seeded for the
// scenario, the real program started on it, its window read back, a screenshot taken,
// and everything put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harness/list_view_probe.h"
#include "harness/running_program.h"
#include "harness/scenario_registry.h"
#include "harness/window_probe.h"

namespace uvantic::e2e {

// Writes a screenshot of window as <screenshots>/<name>.png when a directory was given.
void SaveScreenshot(HWND window, std::string_view name);

// A row as the user sees it: its three texts, its icon and whether it is dimmed.
struct ShownRow {
  std::wstring port;
  std::wstring status;
  std::wstring cableId;
  int image = -1;  // 0 normal, 1 disabled, 2 driver not loaded
  bool dimmed = false;
  friend bool operator==(const ShownRow&, const ShownRow&) = default;
};

void PrintTo(const ShownRow& row, std::ostream* out);
std::vector<ShownRow> ShownRows(const ListViewProbe& list);

// A change written between two timer ticks shows well before the next tick: the
// program watches the registry and makes the timer tick early.
inline constexpr Milliseconds kMedianTimeToShow{400};

// Makes change(0), change(1), ... each at a random moment of the refresh timer's second
// and times each until shown(i) holds. Prints the times; returns their median, or
// nullopt when a change never showed.
std::optional<Milliseconds> MedianTimeToShow(int trials, const std::function<void(int)>& change,
                                             const std::function<bool(int)>& shown);

inline constexpr int kImageNormal = 0;
inline constexpr int kImageDisabled = 1;
inline constexpr int kImageDriverNotLoaded = 2;

// One program start per test: for scenarios that change the registry or give input.
class ProgramScenario : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program (by default the one under test) on the registry as seeded so
  // far; the test fails at once when the program shows no window.
  void Start(const std::wstring& executable = {});
  HWND window() const { return program_->window(); }
  // A top-level window of the given class that belongs to the program, or nullptr.
  HWND ProgramWindowOfClass(const wchar_t* className) const {
    return FindTopWindow({program_->processId(), className});
  }
  ListViewProbe List() const;
  void Screenshot(std::string_view suffix);
  // Waits for the program to end by itself; true when it did in time. The scenario
  // then has no program any more.
  bool ProgramEnds(Milliseconds timeout = kDefaultTimeout);

  ScenarioRegistry registry_;
  std::unique_ptr<RunningProgram> program_;
  MainWindowControls controls_;
};

// One program start for a whole suite whose tests only read the window: seeded in
// SetUpTestSuite of the derived suite through StartShared.
class SharedProgramScenario : public ::testing::Test {
 protected:
  // Installs cables with the hardware key spelled hardwareId, lets adjust change the
  // registry further, sets the resolution and starts the program; name names the
  // screenshot.
  static void StartShared(std::string_view name, const std::vector<Cable>& cables, DWORD dotsPerInch = 96,
                          std::wstring_view hardwareId = kWindowsHardwareId,
                          const std::function<void(ScenarioRegistry&)>& adjust = {});
  static void TearDownTestSuite();

  void SetUp() override;

  static HWND window() { return program_->window(); }
  static const MainWindowControls& controls() { return controls_; }
  static ListViewProbe List() { return ListViewProbe(controls_.list); }

 private:
  static std::unique_ptr<RunningProgram> program_;
  static MainWindowControls controls_;
  static std::string startError_;
};

}  // namespace uvantic::e2e
