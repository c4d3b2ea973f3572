// The window's keyboard interface and a mouse click, given as real input: Tab order,
// the access key of the label, Esc and Enter on the Close button, Ctrl+C.
#include "program_scenario.h"

#include <cstring>
#include <optional>

#include "harness/user_input.h"
#include "harness/wait.h"

namespace uvantic::e2e {
namespace {

const Cable kCable{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};

// The clipboard's Unicode text, read from this process as any program pastes it.
std::optional<std::wstring> ClipboardText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
}

class KeysAndClicks : public ProgramScenario {
 protected:
  void SetUp() override {
    ProgramScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    registry_.Install(kCable);
    ASSERT_NO_FATAL_FAILURE(Start());
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

struct FocusCase {
  const char* focus;
  HWND MainWindowControls::*control;
};

class WithTheFocusOn : public KeysAndClicks, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(WithTheFocusOn, EscClosesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(TabTo(controls_.*GetParam().control));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(ProgramEnds()) << "the program still runs after Esc";
}

const FocusCase kFocusCases[] = {
    {"list", &MainWindowControls::list},
    {"Properties", &MainWindowControls::properties},
    {"DeviceManager", &MainWindowControls::deviceManager},
    {"Close", &MainWindowControls::close},
};

INSTANTIATE_TEST_SUITE_P(KeysAndClicks, WithTheFocusOn, ::testing::ValuesIn(kFocusCases),
                         [](const ::testing::TestParamInfo<FocusCase>& info) { return std::string(info.param.focus); });

// Ctrl+C copies the selected row wherever the focus is, and leaves the list as it was.
TEST_P(WithTheFocusOn, CtrlCCopiesTheSelectedRow) {
  ASSERT_NO_FATAL_FAILURE(TabTo(controls_.*GetParam().control));
  ASSERT_NO_FATAL_FAILURE(SetClipboardText(L"before"));
  const auto rows = List().Rows();
  PressCtrl(L'c');
  const std::wstring expected = L"COM3\tOK\t" + CableIdOf(kCable.instance) + L"\r\n";
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == expected; }, Milliseconds{2000}))
      << "the clipboard holds " << Narrow(ClipboardText().value_or(L"no text"));
  EXPECT_EQ(List().Rows(), rows);
  EXPECT_EQ(FocusedWindow(window()), controls_.*GetParam().control);
}

TEST_F(KeysAndClicks, CtrlCWithoutASelectedRowLeavesTheClipboardAlone) {
  const Rect list = ClientSize(controls_.list);
  ClickAt(controls_.list, {list.width / 2, list.height - 8});  // below the only row
  ASSERT_TRUE(WaitUntil([&] { return List().SelectedIndex() == -1; }, Milliseconds{1000}));
  ASSERT_NO_FATAL_FAILURE(SetClipboardText(L"before"));
  PressCtrl(L'c');
  Sleep(300);
  EXPECT_EQ(ClipboardText(), L"before");
}

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
