// One running copy: a second start brings the first copy's window to the front, also
// from minimised, and ends without a window of its own; Close ends it with a tick due
// (Esc and Enter are with the other keys); a renamed executable starts like the original.
#include "command_scenario.h"

#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

const Cable kCable{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};

// A window of this test process that takes the foreground from the program.
class OtherWindow {
 public:
  OtherWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 300, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~OtherWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// Keeps this thread's own window responsive, as another program's would be.
void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

struct SecondStart {
  DWORD exitCode = STILL_ACTIVE;
  bool showedWindow = false;
};

// Starts another copy of the program and watches it until it ends.
SecondStart StartSecondCopy(const std::wstring& executable) {
  SecondStart result;
  const StartedProcess copy = StartProcess(executable);
  WaitUntil([&] {
    PumpMessages();
    result.showedWindow = result.showedWindow || FindMainWindow(copy.id) != nullptr;
    return WaitForSingleObject(copy.handle.get(), 0) == WAIT_OBJECT_0;
  });
  GetExitCodeProcess(copy.handle.get(), &result.exitCode);
  return result;
}

class ProgramStart : public CommandScenario {
 protected:
  ProgramStart() : CommandScenario({kCable}) {}

  // Pumps this thread's own window while waiting for the foreground to change.
  bool ComesToFront(HWND window) {
    return WaitUntil([&] {
      PumpMessages();
      return GetForegroundWindow() == window && !IsIconic(window);
    });
  }
};

TEST_F(ProgramStart, SecondStartBringsTheFirstWindowForwardAndEndsWithoutAWindow) {
  OtherWindow other;
  ASSERT_TRUE(BringToFront(other.get()));
  const SecondStart second = StartSecondCopy(Environment().program);
  EXPECT_EQ(second.exitCode, 0u);
  EXPECT_FALSE(second.showedWindow);
  EXPECT_TRUE(ComesToFront(window())) << "foreground: \"" << Narrow(WindowText(GetForegroundWindow())) << "\"";
  EXPECT_EQ(FindTopWindows({.caption = kMainWindowCaption}), std::vector<HWND>{window()});
}

TEST_F(ProgramStart, SecondStartRestoresTheMinimisedFirstWindow) {
  ShowWindow(window(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(window()) != FALSE; }));
  const SecondStart second = StartSecondCopy(Environment().program);
  EXPECT_EQ(second.exitCode, 0u);
  EXPECT_FALSE(second.showedWindow);
  EXPECT_TRUE(ComesToFront(window()));
}

// The refresh timer ticks every second; a click on Close just before a tick is due
// still ends the program at once.
TEST_F(ProgramStart, CloseEndsTheProgramEvenWithATickDue) {
  Sleep(950);
  Click(controls_.close);
  EXPECT_EQ(WaitForSingleObject(program_->process(), 2000), WAIT_OBJECT_0);
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(program_->process(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  program_.reset();
}

TEST(RenamedProgram, StartsUnderItsNewNameAndKeepsOneCopy) {
  if (!DisplayAvailable()) GTEST_SKIP() << "no X display";
  const std::wstring folder = L"C:\\Renamed copy";
  const std::wstring renamed = folder + L"\\Cable Finder.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(Environment().program.c_str(), renamed.c_str(), FALSE));
  RunningProgram program(renamed);
  EXPECT_NE(program.window(), nullptr);
  const SecondStart second = StartSecondCopy(renamed);
  EXPECT_EQ(second.exitCode, 0u);
  EXPECT_FALSE(second.showedWindow);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace uvantic::e2e
