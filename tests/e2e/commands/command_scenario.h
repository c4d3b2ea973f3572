// The fixture of the command scenarios: the program started on a seeded registry with
// the recording doubles in place, plus the input and read-back helpers the commands need.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_doubles.h"
#include "harness/list_view_probe.h"
#include "scenarios/program_scenario.h"

namespace uvantic::e2e {

class CommandScenario : public ProgramScenario {
 protected:
  // The cables each test's program is started on in SetUp; none: each test starts it.
  explicit CommandScenario(std::vector<Cable> startCables = {}) : startCables_(std::move(startCables)) {}

  void SetUp() override;
  void TearDown() override;

  // Starts the program on these cables and brings its window to the front.
  void StartWith(const std::vector<Cable>& cables);

  // One column of the rows the list shows, top to bottom.
  std::vector<std::wstring> Column(std::wstring ListRow::*cell) const;

  RecordFile devmgrRecord_{L"UVANTIC_DEVMGR_RECORD", L"uvantic-devmgr-record.txt"};
  RecordFile shellRecord_{L"UVANTIC_SHELL_RECORD", L"uvantic-shell-record.txt"};
  std::optional<DevmgrInPlace> devmgr_;
  std::optional<ShellRecorderInPlace> shell_;

 private:
  std::vector<Cable> startCables_;
};

// A row's rectangle in the list's client coordinates, read in the list's process.
RECT ItemRect(HWND list, int item);
POINT CentreOf(const RECT& rect);

// The centre of the list's 1-based column header in the header's client coordinates.
POINT HeaderCentre(HWND list, int headerIndex);

}  // namespace uvantic::e2e
