// Command scenario fixture and helpers.
#include "command_scenario.h"

#include <commctrl.h>

#include "harness/list_view_probe.h"
#include "harness/running_program.h"
#include "harness/user_input.h"

namespace uvantic::e2e {

void CommandScenario::SetUp() {
  ProgramScenario::SetUp();
  if (IsSkipped() || HasFatalFailure()) return;
  devmgr_.emplace();
  shell_.emplace();
  if (!startCables_.empty()) StartWith(startCables_);
}

void CommandScenario::TearDown() {
  ProgramScenario::TearDown();
  shell_.reset();
  devmgr_.reset();
}

void CommandScenario::StartWith(const std::vector<Cable>& cables) {
  registry_.Install(cables);
  Start();
  ASSERT_TRUE(BringToFront(window()));
}

std::vector<std::wstring> CommandScenario::Column(std::wstring ListRow::*cell) const {
  std::vector<std::wstring> texts;
  for (const auto& row : List().Rows()) texts.push_back(row.*cell);
  return texts;
}

RECT ItemRect(HWND list, int item) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  RECT rect{LVIR_BOUNDS, 0, 0, 0};
  if (!process) return {};
  RemoteBuffer remote(process.get(), sizeof rect);
  remote.Write(&rect, sizeof rect);
  if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote.address()))) {
    return {};
  }
  remote.Read(&rect, sizeof rect);
  return rect;
}

POINT CentreOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

POINT HeaderCentre(HWND list, int headerIndex) {
  int left = 0;
  for (int column = 0; column + 1 < headerIndex; ++column) {
    left += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(headerIndex - 1), 0));
  RECT header{};
  GetClientRect(ListView_GetHeader(list), &header);
  return {left + width / 2, (header.bottom - header.top) / 2};
}

}  // namespace uvantic::e2e
