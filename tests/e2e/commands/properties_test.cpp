// The Properties command: the property sheet of the selected cable is asked for with
// the row's instance path, from the button, its access key and a double-click alike;
// with nothing selected, a refused key, or no devmgr.dll where the system keeps it,
// nothing happens and no process starts. While the sheet is open the list goes on
// following the registry, and out of process each cable has one sheet at a time.
#include "command_scenario.h"

#include <algorithm>

#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

const Cable kNotPresent{L"7&5D02B7E4&0&0006", L"COM4", CableSetup::Dropped};
const Cable kDisabled{L"7&27B6C0DE&0&0005", L"COM5", CableSetup::Disabled};
const Cable kNoDriver{L"7&0C44D1B9&0&0003", L"COM6", CableSetup::Unplugged};

using PropertiesCommand = CommandScenario;

const Cable kQuoted{L"7&\"Q,1&0&0002", L"COM7", CableSetup::Started};

// Where the sheet is shown: in the program's process, owned by its window, except for a
// 32-bit program on 64-bit Windows, where the native rundll32 shows it with no owner,
// so that the 64-bit double in system32 records it and the 32-bit one in syswow64 never
// does. The row that fits the system the test runs on is run.
struct SheetHost {
  bool wow64;
  unsigned bits;
};
constexpr SheetHost kSheetHosts[] = {{false, sizeof(void*) * 8}, {true, 64}};

std::string SheetRecord(HWND window, const Cable& cable) {
  const SheetHost& host = *std::ranges::find(kSheetHosts, TestRunsUnderWow64(), &SheetHost::wow64);
  return DevmgrRecord(host.wow64 ? nullptr : window, SW_SHOW, PropertiesLine(cable.instance), host.bits);
}

// The processes the program has started, counted through a job that it and its
// children belong to.
class StartedProcesses {
 public:
  explicit StartedProcesses(HANDLE program) : job_(CreateJobObjectW(nullptr, nullptr)) {
    EXPECT_TRUE(AssignProcessToJobObject(job_.get(), program));
  }
  // All that were started, and those still running, less the program itself.
  DWORD Total() const { return Accounting().TotalProcesses - 1; }
  DWORD Running() const { return Accounting().ActiveProcesses - 1; }

 private:
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Accounting() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr);
    return accounting;
  }
  UniqueHandle job_;
};

HWND PropertySheetWindow() { return FindTopWindow({.className = L"#32770", .caption = L"Device Properties"}); }

// Closes every sheet still open when the scope ends, so that none outlives its test.
struct SheetsClosed {
  ~SheetsClosed() {
    for (HWND sheet; (sheet = PropertySheetWindow()) != nullptr;) {
      PostMessageW(sheet, WM_CLOSE, 0, 0);
      WaitUntil([&] { return !IsWindow(sheet); });
    }
  }
};

TEST_F(PropertiesCommand, AsksForTheSelectedCableWhateverItsStatusFromButtonKeyAndDoubleClick) {
  StartWith({kNotPresent, kDisabled, kNoDriver});
  ASSERT_EQ(Column(&ListRow::status), (std::vector<std::wstring>{L"Not present", L"Disabled", L"Driver not loaded"}));

  // The first row is selected at start.
  Click(controls_.properties);
  ASSERT_EQ(devmgrRecord_.WaitForLines(1).size(), 1u);

  ASSERT_TRUE(BringToFront(window()));
  ClickAt(controls_.list, CentreOf(ItemRect(controls_.list, 1)));
  WaitPastDoubleClickTime();
  PressAlt(L'p');
  ASSERT_EQ(devmgrRecord_.WaitForLines(2).size(), 2u);

  ASSERT_TRUE(BringToFront(window()));
  DoubleClickAt(controls_.list, CentreOf(ItemRect(controls_.list, 2)));
  EXPECT_EQ(devmgrRecord_.WaitForLines(3), (std::vector<std::string>{SheetRecord(window(), kNotPresent),
                                                                       SheetRecord(window(), kDisabled),
                                                                       SheetRecord(window(), kNoDriver)}));
}

// The property sheet's own message loop runs the early ticks too.
TEST_F(PropertiesCommand, TheListFollowsTheRegistryAtOnceWhileThePropertySheetIsOpen) {
  const SheetsClosed sheetsClosed;
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", L"1");  // taken over by the program
  StartWith({kDisabled});
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", nullptr);
  Click(controls_.properties);
  HWND sheet = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (sheet = PropertySheetWindow()); }));
  const auto median = MedianTimeToShow(
      6, [&](int i) { i % 2 == 0 ? registry_.Install(kNoDriver) : registry_.Uninstall(kNoDriver.instance); },
      [&](int i) { return List().ItemCount() == (i % 2 == 0 ? 2 : 1); });
  ASSERT_TRUE(median.has_value()) << "a change never showed";
  EXPECT_LT(median->count(), kMedianTimeToShow.count());
  EXPECT_TRUE(IsWindow(sheet)) << "the property sheet closed";
}

// Out of process the sheet is not modal to the window, and each cable gets its own: while
// a cable's sheet is open, a press on that cable brings it to the front instead of starting
// another, and once it is closed a press opens a new one.
struct SheetStep {
  int row;         // the row pressed on, with the button (else a double-click)
  bool button;
  int closeFirst;  // the step whose sheet is closed before the press; -1 for none
  int front;       // the step whose sheet is then in front: this step's own for a new one
};
constexpr SheetStep kSheetSteps[] = {
    {0, true, -1, 0}, {1, false, -1, 1}, {0, false, -1, 0}, {1, true, -1, 1}, {0, true, 0, 4}, {0, false, -1, 4},
};

TEST_F(PropertiesCommand, OutOfProcessEachCableHasOneSheetAndAPressBringsItToTheFront) {
  if (!TestRunsUnderWow64()) GTEST_SKIP() << "the sheet opens in process, modal to the window";
  const SheetsClosed sheetsClosed;
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", L"1");  // taken over by the program
  const Cable cables[] = {kDisabled, kNoDriver};
  StartWith({cables[0], cables[1]});
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", nullptr);
  const StartedProcesses started(program_->process());
  std::vector<HWND> sheets;  // by step; null where a step brought one forward
  std::vector<std::string> records;
  for (const SheetStep& s : kSheetSteps) {
    SCOPED_TRACE("step " + std::to_string(sheets.size()));
    if (s.closeFirst >= 0) {
      PostMessageW(sheets[static_cast<std::size_t>(s.closeFirst)], WM_CLOSE, 0, 0);
      ASSERT_TRUE(WaitUntil([&] { return started.Running() == 1; }));
    }
    ASSERT_TRUE(BringToFront(window()));
    WaitPastDoubleClickTime();
    const POINT row = CentreOf(ItemRect(controls_.list, s.row));
    if (s.button) {
      ClickAt(controls_.list, row);
      ASSERT_TRUE(WaitUntil([&] { return List().SelectedIndex() == s.row; }));
      Click(controls_.properties);
    } else {
      DoubleClickAt(controls_.list, row);
    }
    HWND sheet = nullptr;
    if (s.front == static_cast<int>(sheets.size())) {
      records.push_back(SheetRecord(window(), cables[s.row]));
      EXPECT_EQ(devmgrRecord_.WaitForLines(records.size()), records);
      ASSERT_TRUE(WaitUntil([&] {
        sheet = GetForegroundWindow();
        return WindowText(sheet) == L"Device Properties" && std::ranges::find(sheets, sheet) == sheets.end();
      })) << "no new sheet in front";
      // Out of the way of the clicks meant for the list.
      SetWindowPos(sheet, nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - 300, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == sheets[static_cast<std::size_t>(s.front)]; }));
    }
    sheets.push_back(sheet);
    EXPECT_EQ(started.Total(), records.size());
  }
}

TEST_F(PropertiesCommand, DoesNothingOnAnEmptyListFromTheKeyOrADoubleClick) {
  StartWith({});
  ASSERT_FALSE(IsWindowEnabled(controls_.properties));
  PressAlt(L'p');
  DoubleClick(controls_.list);
  Sleep(500);
  EXPECT_TRUE(devmgrRecord_.Lines().empty());
}

TEST_F(PropertiesCommand, DoubleClickBelowTheRowsSelectsNothingAndAsksForNothing) {
  StartWith({kDisabled});
  const RECT row = ItemRect(controls_.list, 0);
  DoubleClickAt(controls_.list, {(row.left + row.right) / 2, row.bottom + 3 * (row.bottom - row.top)});
  Sleep(500);
  EXPECT_EQ(List().SelectedIndex(), -1);
  EXPECT_TRUE(devmgrRecord_.Lines().empty());
}

// Without devmgr.dll, rundll32 would show an error box: it is not started. A key that
// could add arguments to the sheet's command line is refused on every path.
TEST_F(PropertiesCommand, WithoutDevmgrOrForARefusedKeyDoesNothingAndTheProgramGoesOn) {
  RemoveDevmgrDouble();
  StartWith({kDisabled, kQuoted});
  const StartedProcesses started(program_->process());
  const std::vector<HWND> windows = FindTopWindows({});
  Click(controls_.properties);
  DoubleClickAt(controls_.list, CentreOf(ItemRect(controls_.list, 0)));
  InstallDevmgrDouble();
  WaitPastDoubleClickTime();
  DoubleClickAt(controls_.list, CentreOf(ItemRect(controls_.list, 1)));
  PressAlt(L'p');
  Sleep(500);
  EXPECT_EQ(List().SelectedIndex(), 1);
  EXPECT_TRUE(devmgrRecord_.Lines().empty());
  EXPECT_EQ(started.Total(), 0u);
  EXPECT_FALSE(program_->HasExited());
  EXPECT_TRUE(IsWindowEnabled(window()));
  EXPECT_EQ(FindTopWindows({}), windows);
}

// A devmgr.dll beside the program and in its current directory is never loaded; the
// system directory's copy is, once it is there.
TEST_F(PropertiesCommand, NeverLoadsDevmgrFromTheProgramsFolderOrCurrentDirectory) {
  RemoveDevmgrDouble();
  const std::wstring folder = L"C:\\planted";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(Environment().program.c_str(), (folder + L"\\UvanticFinder.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(BesideThisExecutable(L"devmgr_double.dll").c_str(), (folder + L"\\devmgr.dll").c_str(), FALSE));
  registry_.Install(kDisabled);
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(folder.c_str());
  program_ = std::make_unique<RunningProgram>(folder + L"\\UvanticFinder.exe");
  SetCurrentDirectoryW(previous);
  controls_ = FindControls(window());
  ASSERT_TRUE(BringToFront(window()));

  Click(controls_.properties);
  Sleep(500);
  EXPECT_TRUE(devmgrRecord_.Lines().empty());

  InstallDevmgrDouble();
  Click(controls_.properties);
  EXPECT_EQ(devmgrRecord_.WaitForLines(1), std::vector<std::string>{SheetRecord(window(), kDisabled)});
}

}  // namespace
}  // namespace uvantic::e2e
