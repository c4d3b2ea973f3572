// Device Manager and the logo: the shell is asked to open "devmgmt.msc" or the web
// site, with show command 0; the logo opens the site only after a press of the left
// button alone, once per press.
#include "command_scenario.h"

#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

constexpr char kWebSite[] = "https://www.uvantic.com/";

const Cable kCable{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};

class ShellCommands : public CommandScenario {
 protected:
  ShellCommands() : CommandScenario({kCable}) {}

  POINT LogoCentre() const {
    RECT logo{};
    GetClientRect(controls_.logo, &logo);
    return CentreOf(logo);
  }

  // Gives any program the shell started time to record, then reads the records.
  std::vector<ShellRecord> SettledRecords() const {
    Sleep(1500);
    std::vector<ShellRecord> records;
    for (const auto& line : shellRecord_.Lines()) records.push_back(ParseShellRecord(line));
    return records;
  }

  // Waits as long as a started program would take to record, then reads the lines.
  std::vector<std::string> SettledLines() const {
    Sleep(1500);
    return shellRecord_.Lines();
  }

  void DismissPopup() {
    if (ProgramWindowOfClass(L"#32768")) PressKey(VK_ESCAPE);
  }
};

TEST_F(ShellCommands, DeviceManagerOpensDevmgmtMscWithShowCommandZeroFromButtonAndKey) {
  Click(controls_.deviceManager);
  ASSERT_EQ(shellRecord_.WaitForLines(1).size(), 1u);
  ASSERT_TRUE(BringToFront(window()));
  PressAlt(L'd');
  const auto records = SettledRecords();
  ASSERT_EQ(records.size(), 2u);
  for (const auto& record : records) {
    EXPECT_EQ(record.showCommand, SW_HIDE);
    EXPECT_TRUE(record.commandLine.ends_with("document \"" + Narrow(SystemDirectory()) + "\\devmgmt.msc\""))
        << record.commandLine;
  }
}

TEST_F(ShellCommands, LeftClickOnTheLogoOpensTheWebSiteOnce) {
  Click(controls_.logo);
  const auto records = SettledRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].showCommand, SW_HIDE);
  EXPECT_TRUE(records[0].commandLine.ends_with(std::string("address \"") + kWebSite + "\"")) << records[0].commandLine;
}

TEST_F(ShellCommands, EveryLeftClickOnTheLogoOpensItAgain) {
  Click(controls_.logo);
  WaitPastDoubleClickTime();
  Click(controls_.logo);
  EXPECT_EQ(SettledRecords().size(), 2u);
}

TEST_F(ShellCommands, RightClickOnTheLogoNeverOpensTheWebSite) {
  // A left press released outside the logo leaves it armed ...
  MoveTo(controls_.logo, LogoCentre());
  Press(MouseButton::Left);
  MoveTo(controls_.list, {5, 5});
  Release(MouseButton::Left);
  // ... and the right click's popup disarms it again.
  Click(controls_.logo, MouseButton::Right);
  DismissPopup();
  EXPECT_EQ(SettledLines(), std::vector<std::string>{});
}

TEST_F(ShellCommands, LeftPressWhileAnotherButtonIsHeldDoesNotArmTheLogo) {
  MoveTo(controls_.logo, LogoCentre());
  Press(MouseButton::Middle);
  Press(MouseButton::Left);
  Release(MouseButton::Left);
  Release(MouseButton::Middle);
  WaitPastDoubleClickTime();
  Press(MouseButton::Right);
  Press(MouseButton::Left);
  Release(MouseButton::Left);
  Release(MouseButton::Right);
  DismissPopup();
  EXPECT_EQ(SettledLines(), std::vector<std::string>{});
}

TEST_F(ShellCommands, LeftPressReleasedOutsideTheLogoOpensNothing) {
  MoveTo(controls_.logo, LogoCentre());
  Press(MouseButton::Left);
  MoveTo(controls_.list, {5, 5});
  Release(MouseButton::Left);
  EXPECT_EQ(SettledLines(), std::vector<std::string>{});
}

}  // namespace
}  // namespace uvantic::e2e
