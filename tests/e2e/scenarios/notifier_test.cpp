// The real UvanticNotifier.exe beside the program, read from the system's side: its
// icon in Wine's notification area, its notifications as the balloons Wine shows, its
// menu's tick and sign-in start in the registry, its single copy, and its end.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "harness/notification_area.h"
#include "harness/running_program.h"
#include "harness/screenshot.h"
#include "harness/test_environment.h"
#include "harness/user_input.h"
#include "program_scenario.h"
#include "support/registry_writer.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kRunKey[] = L"\\HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Uvantic Finder Notifier";
constexpr wchar_t kPlugged[] = L"6&2D3F0B1A&0&0000";

std::wstring NotifierPath() {
  const std::wstring& program = Environment().program;
  return program.substr(0, program.find_last_of(L"\\/") + 1) + L"UvanticNotifier.exe";
}

// The Run value's data; empty when there is none.
std::wstring RunValue() {
  wchar_t data[1024] = L"";
  DWORD size = sizeof(data);
  const auto subkey = std::wstring(kRunKey).substr(std::wstring(L"\\HKEY_CURRENT_USER\\").size());
  if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), kRunValueName, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return data;
}

// Dark pixels left of column, inside the menu's frame.
int DarkPixels(const Pixels& pixels, int column) {
  constexpr int kFrame = 3;
  int dark = 0;
  for (int y = kFrame; y < pixels.height - kFrame; ++y) {
    for (int x = kFrame; x < std::min(pixels.width, column); ++x) {
      const std::uint8_t* rgb = &pixels.rgb[(static_cast<std::size_t>(y) * pixels.width + x) * 3];
      dark += rgb[0] < 80 && rgb[1] < 80 && rgb[2] < 80;
    }
  }
  return dark;
}

// The menu once it is drawn and holds still: two captures alike, with its items' text in
// them, so that a menu still blank or being drawn is not read.
std::optional<Pixels> CaptureDrawn(HWND popup) {
  std::optional<Pixels> last = CaptureWindow(popup), next;
  for (int i = 0; i < 40 && last && (next = CaptureWindow(popup)); ++i, last = std::move(next)) {
    if (next->width == last->width && next->rgb == last->rgb && DarkPixels(*next, next->width) >= 40) return next;
    Sleep(25);
  }
  return std::nullopt;
}

// Whether the open menu shows a tick: dark pixels left of the items' texts, where nothing
// else is drawn (Wine lets no other process read a menu's items).
bool ShowsTick(HWND popup) {
  const auto pixels = CaptureDrawn(popup);
  return pixels && DarkPixels(*pixels, 3 + GetSystemMetrics(SM_CXMENUCHECK)) >= 4;
}

// Right-clicks the icon, reads the menu's tick into ticked (if given) and chooses an item by
// its access key. On a loaded machine the key can come before the menu takes keys; the menu
// is then closed and opened again.
bool ChooseFromMenu(DWORD processId, HWND icon, WORD accessKey, bool* ticked = nullptr) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    Click(icon, MouseButton::Right);
    const HWND popup = WaitForPopupMenu(processId);
    if (!popup) continue;
    if (ticked) *ticked = ShowsTick(popup);
    PressKey(accessKey);
    if (WaitUntil([&] { return PopupMenu(processId) == nullptr; }, Milliseconds{3000})) return true;
    DismissPopupMenu(processId);
  }
  return false;
}

class Notifier : public ProgramScenario {
 protected:
  void TearDown() override {
    if (notifier_.handle) TerminateProcess(notifier_.handle.get(), 1);
    testing::RegistryWriter().removeValue(kRunKey, kRunValueName);
    ProgramScenario::TearDown();
  }
  // Starts the notifier and returns its icon, nullptr when none came. A change made before
  // the first pass is taken for the state at start: with firstPass, waits for its tooltip too.
  HWND StartNotifier(const wchar_t* firstPass = nullptr) {
    notifier_ = StartProcess(NotifierPath());
    if (!WaitUntil([] { return NotificationAreaIcons().size() == 1 && NotifierWindow() != nullptr; })) return nullptr;
    const HWND icon = NotificationAreaIcons().front();
    return !firstPass || WaitUntil([&] { return IconTooltip(icon) == firstPass; }) ? icon : nullptr;
  }
  bool NotifierEnds(DWORD timeoutMs) const { return WaitForSingleObject(notifier_.handle.get(), timeoutMs) == 0; }
  StartedProcess notifier_;
};

// One start of the notifier for the whole story, as the balloons take seconds each.
TEST_F(Notifier, ShowsPlugAndUnplugKeepsOneCopyOpensTheProgramAndLeavesNoIconOnExit) {
  registry_.Install({{L"6&0C44D1B9&0&0000", L"COM3", CableSetup::Started}, {kPlugged, L"COM7", CableSetup::Unplugged}});
  const HWND icon = StartNotifier(L"Uvantic Finder: 2 cables, 1 OK");
  ASSERT_NE(icon, nullptr) << "no icon, or no first pass";
  EXPECT_EQ(RunValue(), L"") << "the Run value was written without being asked for";

  const StartedProcess second = StartProcess(NotifierPath());
  EXPECT_EQ(WaitForSingleObject(second.handle.get(), 10000), WAIT_OBJECT_0) << "a second copy kept running";
  EXPECT_EQ(NotificationAreaIcons().size(), 1u);

  registry_.Plug(kPlugged);
  const HWND ready = WaitForNotification(L"COM7 is ready (cable " + CableIdOf(kPlugged) + L")");
  EXPECT_NE(ready, nullptr) << "no notification of the plugged-in cable";
  SaveScreenshot(ready, "Notifier.ready");
  registry_.Unplug(kPlugged);
  EXPECT_NE(WaitForNotification(L"COM7 was unplugged (cable " + CableIdOf(kPlugged) + L")"), nullptr);

  // A click on the icon opens the program from the notifier's folder.
  Click(icon);
  HWND finder = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (finder = FindTopWindow({0, nullptr, kMainWindowCaption})) != nullptr; }));
  if (finder) PostMessageW(finder, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(finder); }));

  EXPECT_TRUE(ChooseFromMenu(notifier_.id, icon, 'X'));
  EXPECT_EQ(WaitForSingleObject(notifier_.handle.get(), 10000), WAIT_OBJECT_0) << "Exit did not end the notifier";
  EXPECT_TRUE(WaitUntil([] { return NotificationAreaIcons().empty(); })) << "the icon stayed after Exit";
}

// In German and in Japanese, one row each (notifier_languages runs this once in each
// locale, and a child takes its parent's language): the tooltip, one plug and one
// unplug, each told as a whole sentence of the language.
TEST_F(Notifier, TellsPlugAndUnplugInTheUsersLanguage) {
  const WORD user = PRIMARYLANGID(GetUserDefaultUILanguage());
  ASSERT_TRUE(user == LANG_GERMAN || user == LANG_JAPANESE) << "no row for language " << user;
  const wchar_t* const rows[][3] = {  // tooltip, plugged, unplugged
      {L"Uvantic Finder: 1 Kabel, keines OK", L"COM7 ist bereit (Kabel ", L"COM7 wurde getrennt (Kabel "},
      {L"Uvantic Finder: \u30b1\u30fc\u30d6\u30eb 1 \u672c\u3001\u6b63\u5e38\u306a\u3057",
       L"COM7 \u306e\u6e96\u5099\u304c\u3067\u304d\u307e\u3057\u305f (\u30b1\u30fc\u30d6\u30eb ",
       L"COM7 \u304c\u53d6\u308a\u5916\u3055\u308c\u307e\u3057\u305f (\u30b1\u30fc\u30d6\u30eb "}};
  const auto& row = rows[user == LANG_JAPANESE];
  registry_.Install({{kPlugged, L"COM7", CableSetup::Unplugged}});
  ASSERT_NE(StartNotifier(row[0]), nullptr) << "no icon, or not its tooltip";
  registry_.Plug(kPlugged);
  EXPECT_NE(WaitForNotification(row[1] + CableIdOf(kPlugged) + L")"), nullptr);
  registry_.Unplug(kPlugged);
  EXPECT_NE(WaitForNotification(row[2] + CableIdOf(kPlugged) + L")"), nullptr);
}

// A shell that refuses the icon at first, as one busy at sign-in does, then takes it:
// the icon and the news kept meanwhile come on the notifier's own retry, within
// seconds, not at the next pass a minute later. A restarted Explorer knows no icon and
// says TaskbarCreated: the icon comes back.
TEST_F(Notifier, AddsItsIconOnceTheShellTakesItOrSaysTaskbarCreatedAndTellsWhatHappenedWithoutIt) {
  registry_.Install({{kPlugged, L"COM7", CableSetup::Unplugged}});
  std::optional<StandInNotificationArea> refusing(std::in_place, false);
  ASSERT_TRUE(refusing->ready());
  notifier_ = StartProcess(NotifierPath());
  ASSERT_TRUE(WaitUntil([] { return NotifierWindow() != nullptr; }));
  Sleep(1500);  // the first pass has run (a cable plugged before it is no news), the first retry refused
  registry_.Plug(kPlugged);
  Sleep(500);
  EXPECT_TRUE(NotificationAreaIcons().empty()) << "an icon the shell refused";
  refusing.reset();
  const auto icon = TimeUntil([] { return NotificationAreaIcons().size() == 1; });
  ASSERT_TRUE(icon) << "no icon once the shell took it";
  std::printf("[   INFO   ] the icon came %ld ms after the shell began to take it\n", static_cast<long>(icon->count()));
  EXPECT_NE(WaitForNotification(L"COM7 is ready"), nullptr) << "the news kept while the shell refused were lost";

  NOTIFYICONDATAW forgotten{};
  forgotten.cbSize = sizeof(forgotten), forgotten.hWnd = NotifierWindow(), forgotten.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &forgotten) && WaitUntil([] { return NotificationAreaIcons().empty(); }));
  SendMessageW(forgotten.hWnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(WaitUntil([] { return NotificationAreaIcons().size() == 1; })) << "no icon after TaskbarCreated";
  // What happens while the icon is missing is told once the notifier has added it again.
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &forgotten) && WaitUntil([] { return NotificationAreaIcons().empty(); }));
  registry_.Unplug(kPlugged);
  EXPECT_NE(WaitForNotification(L"COM7 was unplugged"), nullptr) << "the notification was lost";
  EXPECT_EQ(NotificationAreaIcons().size(), 1u);
}

// A copy from the zip keeps the user's own Run value pointed at itself when the one it named
// was deleted. An end called off changes nothing; at the end of a session the icon goes (Wine
// drops a destroyed window's icons itself, so only here is the notifier's own removal seen)
// till a second start; Restart Manager's ENDSESSION_CLOSEAPP, before an upgrade, ends it.
TEST_F(Notifier, TickFollowsTheUsersRunValueAndTheEndOfTheSessionRemovesTheIconOrEndsIt) {
  testing::RegistryWriter(testing::RegistryWriter::Keep::Written)
      .key(kRunKey)
      .value(kRunValueName, L"\"C:\\Moved away\\UvanticNotifier.exe\"");
  const HWND icon = StartNotifier();
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(WaitUntil([] { return RunValue() == L"\"" + NotifierPath() + L"\""; })) << Narrow(RunValue());
  bool ticked = false;
  EXPECT_TRUE(ChooseFromMenu(notifier_.id, icon, 'S', &ticked));
  EXPECT_TRUE(ticked) << "no tick while the Run value names this copy";
  EXPECT_TRUE(WaitUntil([] { return RunValue().empty(); })) << "the Run value was not removed";
  EXPECT_TRUE(ChooseFromMenu(notifier_.id, icon, 'S', &ticked));
  EXPECT_FALSE(ticked) << "a tick without the Run value";
  EXPECT_TRUE(WaitUntil([] { return RunValue() == L"\"" + NotifierPath() + L"\""; })) << Narrow(RunValue());

  const HWND window = NotifierWindow();
  EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
  SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP);
  SendMessageW(window, WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(NotifierEnds(500)) << "the notifier ended when the end was called off";
  EXPECT_EQ(NotificationAreaIcons().size(), 1u) << "the icon went when the end was called off";

  SendMessageW(window, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(WaitUntil([] { return NotificationAreaIcons().empty(); }, Milliseconds{3000}))
      << "the icon stayed at the end of the session";
  EXPECT_FALSE(WaitUntil([] { return !NotificationAreaIcons().empty(); }, Milliseconds{1500}))
      << "the icon came back after the end of the session";
  const StartedProcess second = StartProcess(NotifierPath());  // it ends, as the first scenario checks
  EXPECT_TRUE(WaitUntil([] { return NotificationAreaIcons().size() == 1; }, Milliseconds{3000}))
      << "the running copy did not add its icon again for a second start";

  SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
  EXPECT_TRUE(NotifierEnds(2000)) << "the notifier kept running for Restart Manager";
  EXPECT_TRUE(NotificationAreaIcons().empty());
}

// Silent about the cables there at start; an unplugging made of registry steps 60 ms
// apart, in either order, is told as it settled, never as "driver not loaded"; the
// warning icon reaches the shell, and the tooltip follows the cables.
TEST_F(Notifier, IsSilentAtStartAndTellsTheStateACableSettlesIn) {
  const Cable cables[] = {{L"6&0C44D1B9&0&0000", L"COM3"}, {kPlugged, L"COM7"}};
  registry_.Install({cables[0], cables[1]});
  ASSERT_TRUE(WaitUntil([] { return !WaitForNotification(L"", 0); })) << "an earlier notification is still shown";
  const HWND icon = StartNotifier(L"Uvantic Finder: 2 cables, 2 OK");
  ASSERT_NE(icon, nullptr) << "no icon, or no first pass";
  // Wine shows a notification about two seconds after it was sent.
  EXPECT_EQ(WaitForNotification(L"", 2500), nullptr) << "a notification about the cables there at start";

  // Each first write makes the row read "Driver not loaded" a moment: only the settle rule
  // keeps that untold. A stand-in shell sees every notification; Wine shows only the last.
  using Write = void (ScenarioRegistry::*)(std::wstring_view);
  const std::vector<Write> unpluggings[] = {{&ScenarioRegistry::Stop, &ScenarioRegistry::Drop},
                                            {&ScenarioRegistry::Unbind, &ScenarioRegistry::Drop, &ScenarioRegistry::Stop}};
  for (std::size_t i = 0; i < std::size(unpluggings); ++i) {
    SCOPED_TRACE(i == 0 ? "Control key first" : "driver's list first, the driver's service gone before");
    const StandInNotificationArea shell(true);
    for (const Write write : unpluggings[i]) {
      (registry_.*write)(cables[i].instance);
      Sleep(60);
    }
    EXPECT_TRUE(shell.ready() && WaitUntil([&] { return shell.Received(cables[i].port + L" was unplugged"); }));
    EXPECT_FALSE(shell.Received(L"driver not loaded"));
  }

  // Listed by the driver but not started, for good: told with the warning icon.
  registry_.Plug(cables[0].instance);
  EXPECT_EQ(NotificationTitleIcon(WaitForNotification(L"COM3 is ready")), TitleIcon::Information);
  registry_.Stop(cables[0].instance);
  EXPECT_EQ(NotificationTitleIcon(WaitForNotification(L"COM3: driver not loaded")), TitleIcon::Warning);
}

TEST_F(Notifier, CarriesItsVersionBlockAndTheProgramIcon) {
  DWORD ignored = 0;
  std::vector<BYTE> version(GetFileVersionInfoSizeW(NotifierPath().c_str(), &ignored));
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(GetFileVersionInfoW(NotifierPath().c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  for (const auto& [name, expected] : {std::pair{L"FileDescription", L"Uvantic Finder Notifier"},
                                       std::pair{L"OriginalFilename", L"UvanticNotifier.exe"}}) {
    wchar_t* text = nullptr;
    UINT size = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(version.data(), query.c_str(), reinterpret_cast<void**>(&text), &size));
    EXPECT_STREQ(text, expected);
  }
  // The program icon first, where Explorer looks for it.
  EXPECT_EQ(ExtractIconExW(NotifierPath().c_str(), -1, nullptr, nullptr, 0), 1u);
}

}  // namespace
}  // namespace uvantic::e2e
