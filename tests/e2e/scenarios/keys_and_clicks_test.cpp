// The window's keyboard interface and a mouse click, given as real input: Tab order,
// the access key of the label, Esc and Enter on the Close button.
#include "program_scenario.h"

#include "harness/user_input.h"
#include "harness/wait.h"

namespace uvantic::e2e {
namespace {

const Cable kCable{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};

class KeysAndClicks : public ProgramScenario {
 protected:
  void SetUp() override {
    ProgramScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    registry_.Install(kCable);
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(BringToFront(window())) << "the window did not come to the front";
  }

  // Presses Tab until the focus is on target, at most once round the controls.
  void TabTo(HWND target) {
    for (int i = 0; i < 5 && FocusedWindow(window()) != target; ++i) PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(window()) == target; }, Milliseconds{1000}))
        << "Tab never reached the control";
  }
};

TEST_F(KeysAndClicks, TabVisitsListPropertiesDeviceManagerCloseInTurn) {
  const HWND order[] = {controls_.list, controls_.properties, controls_.deviceManager, controls_.close,
                        controls_.list};
  ASSERT_EQ(FocusedWindow(window()), order[0]);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(window()) == order[i]; }, Milliseconds{1000}))
        << "after " << i << " Tab presses the focus is on '" << Narrow(WindowText(FocusedWindow(window())))
        << "'";
  }
}

TEST_F(KeysAndClicks, AltUMovesTheFocusToTheList) {
  ASSERT_NO_FATAL_FAILURE(TabTo(controls_.deviceManager));
  PressAlt(L'u');
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(window()) == controls_.list; }, Milliseconds{1000}));
}

struct EscCase {
  const char* focus;
  HWND MainWindowControls::*control;
};

class EscFromEachControl : public KeysAndClicks, public ::testing::WithParamInterface<EscCase> {};

TEST_P(EscFromEachControl, ClosesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(TabTo(controls_.*GetParam().control));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(ProgramEnds()) << "the program still runs after Esc";
}

const EscCase kEscCases[] = {
    {"list", &MainWindowControls::list},
    {"Properties", &MainWindowControls::properties},
    {"DeviceManager", &MainWindowControls::deviceManager},
    {"Close", &MainWindowControls::close},
};

INSTANTIATE_TEST_SUITE_P(KeysAndClicks, EscFromEachControl, ::testing::ValuesIn(kEscCases),
                         [](const ::testing::TestParamInfo<EscCase>& info) { return std::string(info.param.focus); });

TEST_F(KeysAndClicks, EnterOnTheListClosesTheWindow) {
  PressKey(VK_RETURN);
  EXPECT_TRUE(ProgramEnds()) << "Enter did not reach the default button";
}

TEST_F(KeysAndClicks, ClickOnCloseEndsTheProgram) {
  Click(controls_.close);
  EXPECT_TRUE(ProgramEnds()) << "the program still runs after a click on Close";
}

TEST_F(KeysAndClicks, ClickOnTheLabelLeavesTheFocusOnTheList) {
  Click(controls_.label);
  Sleep(200);
  EXPECT_EQ(FocusedWindow(window()), controls_.list);
  EXPECT_FALSE(program_->HasExited());
}

}  // namespace
}  // namespace uvantic::e2e
