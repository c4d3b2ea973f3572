// What choosing "What's This?" shows: the topic of the control the popup was opened
// for, asked of the system's HTML Help control as a text popup and, where that offers
// none, as the topic's page in the help viewer.
#include <windows.h>
#include <htmlhelp.h>

#include <algorithm>
#include <utility>

#include "help_scenario.h"
#include "harness/test_environment.h"
#include "harness/user_input.h"

namespace uvantic::e2e {
namespace {

// Through the recording hhctrl.ocx, which refuses text popups as Wine's control does
// unless told otherwise.
class WhatsThisHelp : public HelpScenario {
 protected:
  void SetUp() override {
    HelpScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    InstallRecorder();
  }

  // The text popup for the topic, then its page.
  void ExpectTopicShown(const std::vector<HelpCall>& calls, int topic, const std::string& page) {
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].command, static_cast<UINT>(HH_DISPLAY_TEXT_POPUP));
    EXPECT_EQ(calls[0].id, topic);
    EXPECT_EQ(calls[0].file, ProgramHelpFile() + "::/cshelp.txt");
    EXPECT_EQ(calls[1].command, static_cast<UINT>(HH_DISPLAY_TOPIC));
    EXPECT_EQ(calls[1].file, ProgramHelpFile() + "::" + page);
  }
};

TEST_F(WhatsThisHelp, ApplicationsKeyOnTheListThenTheItemShowsTopicOne) {
  Start();
  PressApplicationsKey();
  const HWND popup = WaitForPopupMenu();
  ASSERT_NE(popup, nullptr);
  const Rect menu = ScreenRect(popup);
  ChooseWhatsThis(popup);
  const auto calls = WaitForHelpCalls(2);
  ExpectTopicShown(calls, 1, "/list.htm");
  // The text popup goes where the menu was: the list's centre.
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].at.x, menu.x);
  EXPECT_EQ(calls[0].at.y, menu.y);
}

TEST_F(WhatsThisHelp, ApplicationsKeyActsOnTheControlWithTheFocus) {
  Start();
  for (int i = 0; i < 5 && FocusedWindow(window()) != controls_.deviceManager; ++i) PressKey(VK_TAB);
  ASSERT_EQ(FocusedWindow(window()), controls_.deviceManager);
  PressApplicationsKey();
  const HWND popup = WaitForPopupMenu();
  ASSERT_NE(popup, nullptr);
  const Rect button = RectInParent(controls_.deviceManager);
  POINT centre{button.x + button.width / 2, button.y + button.height / 2};
  ClientToScreen(window(), &centre);
  EXPECT_EQ(ScreenRect(popup).x, centre.x);
  EXPECT_EQ(ScreenRect(popup).y, centre.y);
  ChooseWhatsThis(popup);
  ExpectTopicShown(WaitForHelpCalls(2), 3, "/devmgmt.htm");
  // The key reached the button too, which has no use for it: nothing else happened.
  EXPECT_FALSE(program_->HasExited());
}

TEST_F(WhatsThisHelp, RightClickOnCloseThenTheItemShowsTopicFourAndDoesNotClose) {
  Start();
  OpenPopupAndChoose(controls_.close);
  ExpectTopicShown(WaitForHelpCalls(2), 4, "/close.htm");
  Sleep(500);
  EXPECT_FALSE(program_->HasExited());
}

TEST_F(WhatsThisHelp, EveryControlShowsItsOwnTopic) {
  Start();
  const struct {
    HWND control;
    int topic;
    const char* page;
  } cases[] = {
      {controls_.icon, 1, "/list.htm"},         {controls_.label, 1, "/list.htm"},
      {controls_.list, 1, "/list.htm"},         {controls_.properties, 2, "/properties.htm"},
      {controls_.deviceManager, 3, "/devmgmt.htm"}, {controls_.close, 4, "/close.htm"},
      {controls_.logo, 5, "/logo.htm"},
  };
  std::size_t seen = 0;
  for (const auto& c : cases) {
    ASSERT_TRUE(BringToFront(window()));
    OpenPopupAndChoose(c.control);
    const auto calls = WaitForHelpCalls(seen + 2);
    ASSERT_EQ(calls.size(), seen + 2) << c.page;
    ExpectTopicShown({calls[seen], calls[seen + 1]}, c.topic, c.page);
    seen = calls.size();
    WaitPastDoubleClickTime();
  }
}

TEST_F(WhatsThisHelp, DismissingShowsNothingAndTheNextPopupShowsItsOwnControl) {
  Start();
  Click(controls_.list, MouseButton::Right);
  ASSERT_NE(WaitForPopupMenu(), nullptr);
  DismissPopupMenu();
  Sleep(300);
  EXPECT_TRUE(HelpCalls().empty());
  WaitPastDoubleClickTime();
  OpenPopupAndChoose(controls_.deviceManager);
  ExpectTopicShown(WaitForHelpCalls(2), 3, "/devmgmt.htm");
}

// One row per language; the row of the language this process runs in is checked (the
// help_languages group runs it once in each locale, and a child takes its parent's
// language): the list's popup is topic 1 of that language's help file.
TEST_F(WhatsThisHelp, InTheUsersLanguageThePopupComesFromThatLanguagesHelpFile) {
  const std::pair<WORD, const char*> folders[] = {
      {LANG_ENGLISH, ""}, {LANG_GERMAN, "de\\"}, {LANG_FRENCH, "fr\\"}, {LANG_SPANISH, "es\\"}, {LANG_ITALIAN, "it\\"},
      {LANG_PORTUGUESE, "pt-BR\\"}, {LANG_JAPANESE, "ja\\"}, {LANG_KOREAN, "ko\\"}, {LANG_CHINESE, "zh-CN\\"}};
  const WORD user = PRIMARYLANGID(GetUserDefaultUILanguage());
  const auto row = std::ranges::find(folders, user, &std::pair<WORD, const char*>::first);
  ASSERT_NE(row, std::end(folders)) << "no row for language " << user;
  Start();
  OpenPopupAndChoose(controls_.list);
  const auto calls = WaitForHelpCalls(2);
  ASSERT_FALSE(calls.empty());
  const std::string beside = ProgramHelpFile();
  const std::string folder = beside.substr(0, beside.find_last_of('\\') + 1) + row->second;
  EXPECT_EQ(calls[0].command, static_cast<UINT>(HH_DISPLAY_TEXT_POPUP));
  EXPECT_EQ(calls[0].id, 1);
  EXPECT_EQ(calls[0].file, folder + "UvanticFinder.chm::/cshelp.txt");
}

TEST_F(WhatsThisHelp, WhereTextPopupsAreOfferedNoViewerOpens) {
  SetEnvironmentVariableW(L"UVANTIC_HHCTRL_POPUPS", L"1");
  Start();
  OpenPopupAndChoose(controls_.properties);
  const auto calls = WaitForHelpCalls(1);
  Sleep(300);
  ASSERT_EQ(HelpCalls().size(), 1u);
  EXPECT_EQ(calls[0].command, static_cast<UINT>(HH_DISPLAY_TEXT_POPUP));
  EXPECT_EQ(calls[0].id, 2);
}

TEST_F(WhatsThisHelp, F1OnTheFocusedListShowsTopicOne) {
  Start();
  ASSERT_EQ(FocusedWindow(window()), controls_.list);
  PressKey(VK_F1);
  ExpectTopicShown(WaitForHelpCalls(2), 1, "/list.htm");
}

// The help the title bar's "?" button asks for with a click on a control. Wine neither
// draws the button nor runs its help mode, so the test hands the window the message
// that mode sends, which Wine carries across processes.
TEST_F(WhatsThisHelp, HelpModeClickOnAControlOrInsideItShowsItsTopic) {
  Start();
  const auto askHelp = [&](HWND item, int contextType) {
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = contextType;
    info.hItemHandle = item;
    GetCursorPos(&info.MousePos);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info), SMTO_ABORTIFHUNG, 5000, &result);
  };
  askHelp(controls_.properties, HELPINFO_WINDOW);
  ExpectTopicShown(WaitForHelpCalls(2), 2, "/properties.htm");
  // The list's column header lies inside the list.
  const HWND header = ListView_GetHeader(controls_.list);
  ASSERT_NE(header, nullptr);
  askHelp(header, HELPINFO_WINDOW);
  const auto calls = WaitForHelpCalls(4);
  ASSERT_EQ(calls.size(), 4u);
  ExpectTopicShown({calls[2], calls[3]}, 1, "/list.htm");
  // The window's own surface and menu items have no topic.
  askHelp(window(), HELPINFO_WINDOW);
  askHelp(controls_.close, HELPINFO_MENUITEM);
  Sleep(300);
  EXPECT_EQ(HelpCalls().size(), 4u);
}

TEST_F(WhatsThisHelp, TheHelpControlIsLoadedWhenHelpIsFirstShownNotBefore) {
  Start();
  Sleep(1500);  // past the first refresh tick
  EXPECT_FALSE(RecorderLoaded());
  Click(controls_.list, MouseButton::Right);
  ASSERT_NE(WaitForPopupMenu(), nullptr);
  DismissPopupMenu();
  EXPECT_FALSE(RecorderLoaded());
  WaitPastDoubleClickTime();
  OpenPopupAndChoose(controls_.list);
  ASSERT_EQ(WaitForHelpCalls(2).size(), 2u);
  EXPECT_TRUE(RecorderLoaded());
}

TEST_F(WhatsThisHelp, ClosingTheProgramClosesTheHelpItOpened) {
  Start();
  OpenPopupAndChoose(controls_.list);
  ASSERT_EQ(WaitForHelpCalls(2).size(), 2u);
  EXPECT_TRUE(program_->Close());
  program_.reset();
  const auto calls = HelpCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].command, static_cast<UINT>(HH_CLOSE_ALL));
}

// Wine's own HTML Help: it opens the topic's page in its viewer.
class HelpViewer : public HelpScenario {};

TEST_F(HelpViewer, ChoosingTheItemOpensTheViewerOwnedByTheWindow) {
  Start();
  OpenPopupAndChoose(controls_.list);
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (viewer = ProgramWindowOfClass(L"HH Parent")) != nullptr; }));
  EXPECT_EQ(GetWindow(viewer, GW_OWNER), window());
  SaveScreenshot(viewer, "HelpViewer.list-topic");
  // The program goes on, and ends normally with the viewer open.
  EXPECT_TRUE(Responds());
  EXPECT_TRUE(program_->Close());
  program_.reset();
}

TEST_F(HelpViewer, WithoutAHelpFileNothingOpensAndTheProgramGoesOn) {
  Start(CopyProgram(false));
  OpenPopupAndChoose(controls_.list);
  Sleep(1000);
  const auto opened = OtherProgramWindows();
  EXPECT_TRUE(opened.empty()) << "a window of class " << Narrow(ClassName(opened.front())) << " opened";
  EXPECT_TRUE(Responds());
  // ... and the next popup still opens.
  WaitPastDoubleClickTime();
  Click(controls_.close, MouseButton::Right);
  EXPECT_NE(WaitForPopupMenu(), nullptr);
  DismissPopupMenu();
  EXPECT_TRUE(program_->Close());
  program_.reset();
}

TEST_F(HelpViewer, AHelpControlInTheProgramsFolderIsNeverLoaded) {
  const std::wstring copy = CopyProgram(true);
  AddBesideCopy(BesideThisExecutable(L"hhctrl_recorder.dll"), L"hhctrl.ocx");
  PreferNativeControl();
  Start(copy);
  OpenPopupAndChoose(controls_.list);
  EXPECT_TRUE(WaitUntil([&] { return ProgramWindowOfClass(L"HH Parent") != nullptr; }));
  EXPECT_FALSE(RecorderLoaded());
}

}  // namespace
}  // namespace uvantic::e2e
