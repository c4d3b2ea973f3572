// The Properties command: the property sheet of the selected cable is asked for with
// the row's instance path, from the button, its access key and a double-click alike;
// with nothing selected, or no devmgr.dll where the system keeps it, nothing happens.
// While the sheet is open the list goes on following the registry.
#include "command_scenario.h"

#include <algorithm>

#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

const Cable kNotPresent{L"7&5D02B7E4&0&0006", L"COM4", CableSetup::Dropped};
const Cable kDisabled{L"7&27B6C0DE&0&0005", L"COM5", CableSetup::Disabled};
const Cable kNoDriver{L"7&0C44D1B9&0&0003", L"COM6", CableSetup::Unplugged};

using PropertiesCommand = CommandScenario;

// Where the sheet is shown: in the program's process, except for a 32-bit program on
// 64-bit Windows, where the native rundll32 shows it, so that the 64-bit double in
// system32 records it, with rundll32's window, and the 32-bit one in syswow64 never
// does. The row that fits the system the test runs on is run.
struct SheetHost {
  bool wow64;
  unsigned bits;
};
constexpr SheetHost kSheetHosts[] = {{false, sizeof(void*) * 8}, {true, 64}};

TEST_F(PropertiesCommand, AsksForTheSelectedCableWhateverItsStatusFromButtonKeyAndDoubleClick) {
  const SheetHost& host = *std::ranges::find(kSheetHosts, TestRunsUnderWow64(), &SheetHost::wow64);
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
  auto lines = devmgrRecord_.WaitForLines(3);
  // rundll32's window is not known here: it reads as no window.
  for (auto& line : lines) {
    const auto at = line.find(" window=");
    if (host.wow64 && at != std::string::npos) line.replace(at + 8, 8, "00000000");
  }
  const auto record = [&](const Cable& cable) {
    return DevmgrRecord(host.wow64 ? nullptr : window(), SW_SHOW, PropertiesLine(cable.instance), host.bits);
  };
  EXPECT_EQ(lines, (std::vector<std::string>{record(kNotPresent), record(kDisabled), record(kNoDriver)}));
}

// The property sheet's own message loop runs the early ticks too.
TEST_F(PropertiesCommand, TheListFollowsTheRegistryAtOnceWhileThePropertySheetIsOpen) {
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", L"1");  // taken over by the program
  StartWith({kDisabled});
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_SHEET", nullptr);
  Click(controls_.properties);
  HWND sheet = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (sheet = FindTopWindow({.className = L"#32770", .caption = L"Device Properties"})); }));
  const auto median = MedianTimeToShow(
      6, [&](int i) { i % 2 == 0 ? registry_.Install(kNoDriver) : registry_.Uninstall(kNoDriver.instance); },
      [&](int i) { return List().ItemCount() == (i % 2 == 0 ? 2 : 1); });
  ASSERT_TRUE(median.has_value()) << "a change never showed";
  EXPECT_LT(median->count(), kMedianTimeToShow.count());
  EXPECT_TRUE(IsWindow(sheet)) << "the property sheet closed";
  PostMessageW(sheet, WM_CLOSE, 0, 0);
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

TEST_F(PropertiesCommand, WithoutDevmgrDoesNothingAndTheProgramGoesOn) {
  RemoveDevmgrDouble();
  StartWith({kDisabled});
  Click(controls_.properties);
  DoubleClickAt(controls_.list, CentreOf(ItemRect(controls_.list, 0)));
  Sleep(500);
  EXPECT_TRUE(devmgrRecord_.Lines().empty());
  EXPECT_FALSE(program_->HasExited());
  EXPECT_TRUE(IsWindowEnabled(window()));
  EXPECT_EQ(FindTopWindows({.caption = kMainWindowCaption}), std::vector<HWND>{window()});
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
  EXPECT_EQ(devmgrRecord_.WaitForLines(1),
            std::vector<std::string>{DevmgrRecord(window(), SW_SHOW, PropertiesLine(kDisabled.instance))});
}

}  // namespace
}  // namespace uvantic::e2e
