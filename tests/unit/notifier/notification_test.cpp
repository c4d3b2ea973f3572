// Which changes give which notification, when a cable's news has settled, how news are grouped,
// kept, cut and brought by an icon the shell refused, the tooltip, the Run value and the sign-in start.
#include <gtest/gtest.h>

#include "notifier/notification.h"
#include "notifier/program_paths.h"
#include "notifier/sign_in_start.h"
#include "notifier/tray_presence.h"
#include "support/some_texts.h"

namespace uvantic {
namespace {

const EnglishTexts english;

const std::wstring kPath7 = L"USB\\VID_2E7A&PID_0200&MI_00\\6&1234abcd&0&0000";

CableRow Ok(std::wstring port, std::wstring id, std::wstring path) {
  return {std::move(port), CableStatus::Ok, std::move(id), true, false, std::move(path)};
}
CableRow Unplugged(CableRow row) {
  row.status = CableStatus::DriverNotLoaded;
  row.served = false;
  return row;
}

const CableRow kCom7 = Ok(L"COM7", L"1234ABCD", kPath7);
// Half-way through an unplugging: Control key gone but still listed, or the other way round.
CableRow ControlGone(CableRow row) { return {row.port, CableStatus::DriverNotLoaded, row.cableId, true, false, row.instancePath}; }
CableRow NotListed(CableRow row) { return {row.port, CableStatus::NotPresent, row.cableId, false, false, row.instancePath}; }

using Clock = CableNotices::Clock;
using std::chrono::milliseconds;

// What a notifier that saw before, then after, tells: at once, and once after has settled.
std::vector<Notification> Told(const std::vector<CableRow>& before, const std::vector<CableRow>& after,
                               const Texts& texts = english) {
  CableNotices notices;
  notices.Pass(before, Clock::time_point{});
  std::vector<Notification> told;
  for (const auto when : {milliseconds(1), milliseconds(1) + CableNotices::kSettleTime}) {
    if (auto notification = NotificationFor(notices.Pass(after, Clock::time_point{} + when), texts)) told.push_back(*notification);
  }
  return told;
}
const CableRow kCom3 = Ok(L"COM3", L"A", L"p3");
const CableRow kCom4 = Ok(L"COM4", L"B", L"p4");
const CableRow kCom5 = Ok(L"COM5", L"C", L"p5");
const CableRow kCom6 = Ok(L"COM6", L"D", L"p6");

TEST(NotifierNotification, EachChangeOfAnOkCableGivesItsNotificationAndOthersNone) {
  CableRow disabledServed = kCom7, disabledGone = Unplugged(kCom7), driverNotLoaded = kCom7, otherCase = kCom7;
  disabledServed.status = CableStatus::Disabled;
  disabledServed.disabled = disabledGone.disabled = true;
  driverNotLoaded.status = CableStatus::DriverNotLoaded;
  otherCase.instancePath = L"usb\\vid_2e7a&pid_0200&mi_00\\6&1234ABCD&0&0000";
  CableRow otherCaseDisabled = disabledServed;
  otherCaseDisabled.instancePath = otherCase.instancePath;
  CableRow renamed = kCom7, withBreak = kCom7, noPort = kCom7;
  renamed.port = L"COM9";
  withBreak.port = L"COM7\r\nX";
  noPort.port = L"";
  CableRow noPortNotLoaded = driverNotLoaded, com3Disabled = kCom3, com4Disabled = kCom4;
  noPortNotLoaded.port = L"";
  com3Disabled.status = com4Disabled.status = CableStatus::Disabled;
  const struct {
    const char* name;
    std::vector<CableRow> before, after;
    std::optional<Notification> expected;
  } cases[] = {
      {"plugged in", {Unplugged(kCom7)}, {kCom7}, Notification{L"Cable ready", L"COM7 is ready (cable 1234ABCD)"}},
      {"installed", {}, {kCom7}, Notification{L"Cable ready", L"COM7 is ready (cable 1234ABCD)"}},
      {"unplugged", {kCom7}, {Unplugged(kCom7)},
       Notification{L"Cable unplugged", L"COM7 was unplugged (cable 1234ABCD)"}},
      {"uninstalled", {kCom7}, {}, Notification{L"Cable unplugged", L"COM7 was unplugged (cable 1234ABCD)"}},
      {"disabled, still served", {kCom7}, {disabledServed},
       Notification{L"Cable disabled", L"COM7 was disabled (cable 1234ABCD)"}},
      {"disabled, no longer served", {kCom7}, {disabledGone},
       Notification{L"Cable disabled", L"COM7 was disabled (cable 1234ABCD)"}},
      {"driver not loaded", {kCom7}, {driverNotLoaded},
       Notification{L"Driver not loaded", L"COM7: driver not loaded (cable 1234ABCD)", true}},
      {"not OK before or after", {Unplugged(kCom7)}, {driverNotLoaded}, std::nullopt},
      {"port changed while OK", {kCom7}, {renamed}, std::nullopt},
      {"path spelled otherwise", {kCom7}, {otherCase}, std::nullopt},
      {"path spelled otherwise, disabled", {kCom7}, {otherCaseDisabled},
       Notification{L"Cable disabled", L"COM7 was disabled (cable 1234ABCD)"}},
      {"line break in a port name", {}, {withBreak},
       Notification{L"Cable ready", L"COM7\uFFFD\uFFFDX is ready (cable 1234ABCD)"}},
      {"no port name", {}, {noPort}, Notification{L"Cable ready", L"A cable is ready (cable 1234ABCD)"}},
      {"no port name, driver not loaded", {noPort}, {noPortNotLoaded},
       Notification{L"Driver not loaded", L"A cable: driver not loaded (cable 1234ABCD)", true}},
      {"several of one kind", {}, {kCom3, kCom4, kCom5},
       Notification{L"Cables ready", L"3 cables ready: COM3, COM4, COM5"}},
      {"several disabled", {kCom3, kCom4}, {com3Disabled, com4Disabled},
       Notification{L"Cables disabled", L"2 cables disabled: COM3, COM4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Told(c.before, c.after), c.expected ? std::vector{*c.expected} : std::vector<Notification>{});
  }
  // Several kinds: ready at once, the others once settled.
  EXPECT_EQ(Told({kCom4, kCom5, kCom7}, {kCom3, driverNotLoaded}),
            (std::vector<Notification>{
                {L"Cable ready", L"COM3 is ready (cable A)"},
                {L"Cables changed", L"2 cables unplugged: COM4, COM5\nCOM7: driver not loaded (cable 1234ABCD)", true}}));
  // Each sentence a whole text of the language, its placeholders and its ports' separator its own.
  const SomeTexts translated({{TextId::NotifyDriverNotLoaded, L"Kabel {cable} an {port}: Treiber nicht geladen"},
                              {TextId::NotifyUnpluggedOther, L"{ports}: {count} Kabel getrennt"},
                              {TextId::PortSeparator, L"\u3001"}, {TextId::TitleChanged, L"Kabel ge\u00e4ndert"}});
  EXPECT_EQ(Told({kCom4, kCom5, kCom7}, {driverNotLoaded}, translated),
            (std::vector<Notification>{{L"Kabel ge\u00e4ndert",
                                        L"COM4\u3001COM5: 2 Kabel getrennt\nKabel 1234ABCD an COM7: Treiber nicht geladen",
                                        true}}));
}

// A step of a settle story: the cables a pass reads at a moment, and the text it tells.
struct Step {
  int ms;
  std::vector<CableRow> cables;
  std::wstring told;
};

TEST(NotifierNotification, NotOkNewsWaitsUntilTheCablesHoldStillAndReadyNewsDoesNot) {
  const CableRow c3 = ControlGone(kCom3), u3 = Unplugged(kCom3), u7 = Unplugged(kCom7);
  const struct {
    const char* name;
    std::vector<Step> steps;
  } stories[] = {
      {"unplugged in two steps, Control key first",
       {{0, {kCom7}, L""}, {100, {ControlGone(kCom7)}, L""}, {160, {Unplugged(kCom7)}, L""}, {459, {Unplugged(kCom7)}, L""},
        {460, {Unplugged(kCom7)}, L"COM7 was unplugged (cable 1234ABCD)"}, {2000, {Unplugged(kCom7)}, L""}}},
      {"unplugged in two steps, driver's list first",
       {{0, {kCom7}, L""}, {100, {NotListed(kCom7)}, L""}, {160, {Unplugged(kCom7)}, L""},
        {460, {Unplugged(kCom7)}, L"COM7 was unplugged (cable 1234ABCD)"}}},
      {"OK again within the settle time",
       {{0, {kCom7}, L""}, {100, {ControlGone(kCom7)}, L""}, {300, {kCom7}, L""}, {2000, {kCom7}, L""}}},
      {"cables there at start are not told", {{0, {kCom3, kCom7}, L""}, {500, {kCom3, kCom7}, L""}}},
      {"ready at once", {{0, {Unplugged(kCom7)}, L""}, {100, {kCom7}, L"COM7 is ready (cable 1234ABCD)"}}},
      {"a settled reason that changes is told again",
       {{0, {kCom7}, L""}, {100, {ControlGone(kCom7)}, L""},
        {400, {ControlGone(kCom7)}, L"COM7: driver not loaded (cable 1234ABCD)"}, {500, {Unplugged(kCom7)}, L""},
        {800, {Unplugged(kCom7)}, L"COM7 was unplugged (cable 1234ABCD)"}}},
      {"a cable never OK is not told", {{0, {Unplugged(kCom7)}, L""}, {100, {ControlGone(kCom7)}, L""}, {900, {}, L""}}},
      {"a hub's cables going over two passes make one notification",
       {{0, {kCom3, kCom4}, L""}, {100, {Unplugged(kCom3), kCom4}, L""}, {200, {Unplugged(kCom3)}, L""},
        {450, {Unplugged(kCom3)}, L""}, {500, {Unplugged(kCom3)}, L"2 cables unplugged: COM3, COM4"}}},
      {"short paths in another order are still the same cables",
       {{0, {kCom3, kCom4, kCom5, kCom6}, L""}, {100, {kCom4, kCom3, kCom6, kCom5}, L""},
        {200, {kCom3, kCom4, kCom5, kCom6}, L""}}},
      {"a cable whose reason keeps changing holds the others back 2 s at most",
       {{0, {kCom3, kCom7}, L""}, {100, {c3, u7}, L""}, {350, {u3, u7}, L""}, {600, {c3, u7}, L""}, {850, {u3, u7}, L""},
        {1100, {c3, u7}, L""}, {1350, {u3, u7}, L""}, {1600, {c3, u7}, L""}, {1850, {u3, u7}, L""}, {2099, {c3, u7}, L""},
        {2100, {u3, u7}, L"COM7 was unplugged (cable 1234ABCD)"}, {2400, {u3, u7}, L"COM3 was unplugged (cable A)"}}},
  };
  for (const auto& story : stories) {
    SCOPED_TRACE(story.name);
    CableNotices notices;
    for (const Step& step : story.steps) {
      const auto notification = NotificationFor(notices.Pass(step.cables, Clock::time_point{} + milliseconds(step.ms)), english);
      EXPECT_EQ(notification ? notification->text : L"", step.told) << step.ms << " ms";
    }
  }
  // The pass that tells the news is asked for when the last change has settled.
  CableNotices notices;
  notices.Pass({kCom7}, Clock::time_point{});
  EXPECT_EQ(notices.NextDue(), std::nullopt);
  notices.Pass({ControlGone(kCom7)}, Clock::time_point{} + milliseconds(100));
  notices.Pass({Unplugged(kCom7)}, Clock::time_point{} + milliseconds(160));
  EXPECT_EQ(notices.NextDue(), Clock::time_point{} + milliseconds(160) + CableNotices::kSettleTime);
}

TEST(NotifierNotification, NewsNotShownAreKeptTheLatestPerCable) {
  CableRow com7OtherCase = kCom7;
  com7OtherCase.instancePath = L"usb\\vid_2e7a&pid_0200&mi_00\\6&1234abcd&0&0000";
  const CableNotice ready7{CableNews::Ready, kCom7}, unplugged7{CableNews::Unplugged, com7OtherCase},
      ready3{CableNews::Ready, kCom3}, disabled4{CableNews::Disabled, kCom4};
  const struct {
    std::vector<CableNotice> kept, later, expected;
  } cases[] = {
      {{}, {ready7}, {ready7}},
      {{ready7}, {unplugged7}, {unplugged7}},
      {{ready3, ready7}, {unplugged7, disabled4}, {ready3, unplugged7, disabled4}},
  };
  for (const auto& c : cases) {
    std::vector<CableNotice> kept = c.kept;
    KeepLatest(kept, c.later);
    EXPECT_EQ(kept, c.expected);
  }
}

// A shell that refuses the first adds and notifications, as one busy at sign-in does.
struct RefusingShell final : TrayShell {
  int now = 0, refuseAdds = 0, refuseNotifications = 0;  // now in ms
  bool shown = false;  // the shell has the icon
  std::optional<int> addedAt, toldAt;
  TrayPresence* closedDuringTooltip = nullptr;  // the window destroyed while the shell is asked

  bool Add(const std::wstring& tip) override { return !shown && refuseAdds-- <= 0 && (shown = true) && Modify(tip); }
  bool Modify(const std::wstring&) override { return shown && (addedAt = addedAt.value_or(now)); }
  void UseVersion4() override {}
  void Delete() override { shown = false; }
  bool SetImage() override { return shown; }
  bool SetTooltip(const std::wstring&) override {
    if (closedDuringTooltip) std::exchange(closedDuringTooltip, nullptr)->Close();
    return shown;
  }
  bool Notify(const Notification&) override {
    if (refuseNotifications-- > 0) return shown = false;  // it forgot the icon
    EXPECT_FALSE(toldAt) << "told twice";
    return shown && (toldAt = now);
  }
};

// The window's start asks for the icon, a pass brings news, the retry timer runs while asked.
TEST(NotifierTray, IconAndKeptNewsArriveWithinSecondsOfTheShellAcceptingThem) {
  const struct {
    const char* name;
    int refuseAdds, refuseNotifications;
    bool keptIcon;  // from an earlier life of the shell: it refuses a second add
    bool closes;    // the window is destroyed while the shell is asked for the tooltip
    int added, told;
  } cases[] = {
      {"the shell takes all", 0, 0, false, false, 0, 0}, {"the icon kept by the shell", 0, 0, true, false, 0, 0},
      {"the adds at start and at the first pass refused", 2, 0, false, false, 1000, 1000},
      {"four adds refused", 4, 0, false, false, 7000, 7000}, {"the news refused twice", 0, 2, false, false, 0, 3000},
      {"the icon forgotten when the news come", 0, 1, false, false, 0, 1000},
      {"the window closed while the shell is asked", 0, 0, false, true, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RefusingShell shell;
    shell.refuseAdds = c.refuseAdds, shell.refuseNotifications = c.refuseNotifications, shell.shown = c.keptIcon;
    TrayPresence presence(shell, english);
    presence.Show();
    if (c.closes) shell.closedDuringTooltip = &presence;
    presence.OnPass({{CableNews::Ready, kCom7}}, L"Uvantic Finder: 1 cable, 1 OK");
    for (auto after = presence.RetryAfter(); after && shell.now < 60000; after = presence.RetryAfter()) {
      shell.now += static_cast<int>(after->count());
      presence.Retry();
    }
    EXPECT_EQ(shell.addedAt.value_or(-1), c.added);
    EXPECT_EQ(shell.toldAt.value_or(-1), c.told);
    EXPECT_EQ(presence.added() && presence.kept().empty(), !c.closes);
    EXPECT_EQ(shell.shown, !c.closes) << "an icon for a window that is gone, or none for one there";
    EXPECT_EQ(presence.RetryAfter(), std::nullopt) << "the timer runs on with the icon there";
  }
}

TEST(NotifierNotification, TextsAreCutToTheirBuffersWithAnEllipsis) {
  const struct {
    std::wstring text;
    std::size_t capacity;
    std::wstring expected;
  } cases[] = {
      {L"abcd", 5, L"abcd"},                 // fits with its terminating zero
      {L"abcde", 5, L"abc\u2026"},           // one too many
      // UTF-16 code units, as Windows holds them: a pair that would be split goes whole.
      {std::wstring(L"ab") + L'\xD83D' + L'\xDD0C' + L"d", 5, L"ab\u2026"},
      {std::wstring(L"ab") + L'\xD83D' + L'\xDD0C', 5, std::wstring(L"ab") + L'\xD83D' + L'\xDD0C'},
      {L"abc", 1, L""},
  };
  for (const auto& c : cases) EXPECT_EQ(FitText(c.text, c.capacity), c.expected) << c.capacity;

  std::vector<CableRow> hub;
  for (int i = 0; i < 100; ++i) hub.push_back(Ok(L"COM" + std::to_wstring(10 + i), L"X", std::to_wstring(i)));
  std::vector<CableNotice> notices;
  for (const CableRow& cable : hub) notices.push_back({CableNews::Ready, cable});
  const auto notification = NotificationFor(notices, english);
  ASSERT_TRUE(notification);
  EXPECT_EQ(notification->text.size(), kNotificationTextCapacity - 1);
  EXPECT_EQ(notification->text.substr(0, 28), L"100 cables ready: COM10, COM");
  EXPECT_EQ(notification->text.back(), L'\u2026');
}

TEST(NotifierNotification, TooltipCountsCablesAndOkOnes) {
  EXPECT_EQ(TooltipText({}, english), L"Uvantic Finder: no cables");
  EXPECT_EQ(TooltipText({kCom7}, english), L"Uvantic Finder: 1 cable, 1 OK");
  EXPECT_EQ(TooltipText({Unplugged(kCom7)}, english), L"Uvantic Finder: 1 cable, none OK");
  EXPECT_EQ(TooltipText({kCom3, Unplugged(kCom7)}, english), L"Uvantic Finder: 2 cables, 1 OK");
  EXPECT_EQ(TooltipText({Unplugged(kCom3), Unplugged(kCom7)}, english), L"Uvantic Finder: 2 cables, none OK");
}

TEST(NotifierNotification, RunValueQuotesThePathAndFinderIsLookedForBesideTheNotifier) {
  EXPECT_EQ(RunValueData(L"C:\\Program Files\\Uvantic\\UvanticNotifier.exe"),
            L"\"C:\\Program Files\\Uvantic\\UvanticNotifier.exe\"");
  EXPECT_EQ(FinderPathBeside(L"C:\\Program Files\\Uvantic\\UvanticNotifier.exe"),
            L"C:\\Program Files\\Uvantic\\UvanticFinder.exe");
  EXPECT_EQ(FinderPathBeside(L"C:\\UvanticNotifier.exe"), L"C:\\UvanticFinder.exe");
}

const std::wstring kSelf = L"C:\\Tools\\Uvantic\\UvanticNotifier.exe";
const std::wstring kQuotedSelf = L"\"" + kSelf + L"\"";
const std::wstring kInstalled = kQuotedSelf + L" --sign-in";
const std::wstring kOtherInstalled = L"\"C:\\Program Files\\Uvantic\\Uvantic Finder\\UvanticNotifier.exe\" --sign-in";
const std::wstring kOther = L"\"D:\\Bench\\UvanticNotifier.exe\"";
const ProgramPlace kThere{}, kGone{VolumeKind::Fixed, FileLook::Missing};

// The menu's tick and what the notifier writes at start and when the item is chosen, for
// a copy from the zip (the user's Run value) and the installed one (the machine's).
TEST(NotifierSignIn, TheTickFollowsTheValuesAndIsTurnedOverByTheMenu) {
  const struct {
    const char* name;
    SignInValues values;     // machine's value, user's value, its program there, chosen
    bool ticked;             // as read at start
    SignInChanges atStart;   // user's value written, user's value deleted, chosen
    bool tickedAfterStart;
  } cases[] = {
      {"zip copy, no value", {{}, {}, kThere, false}, false, {}, false},
      {"zip copy named by the user's value", {{}, kQuotedSelf, kThere, false}, true, {}, true},
      {"named in another case, unquoted", {{}, L"c:\\tools\\UVANTIC\\uvanticnotifier.exe", kThere, false},
       true, {}, true},
      {"value naming a deleted copy is pointed here", {{}, kOther, kGone, false},
       false, {kQuotedSelf, false, {}}, true},
      {"value naming another copy that is there", {{}, kOther, kThere, false}, false, {}, false},
      // Not there yet at sign-in, or not readable: the user's choice stays.
      {"a copy on a share", {{}, kOther, {VolumeKind::Network, FileLook::Unknown}, false}, false, {}, false},
      {"a copy on a stick", {{}, kOther, {VolumeKind::Removable, FileLook::Unknown}, false}, false, {}, false},
      {"a copy on a drive not there", {{}, kOther, {VolumeKind::Absent, FileLook::Unknown}, false}, false, {}, false},
      {"a folder not readable", {{}, kOther, {VolumeKind::Fixed, FileLook::Unknown}, false}, false, {}, false},
      {"installed copy, a copy on a share", {kInstalled, kOther, {VolumeKind::Network, FileLook::Unknown}, 0}, 0, {}, 0},
      {"the choice counts only for the installed copy", {kOtherInstalled, {}, kThere, true}, false, {}, false},
      {"installed copy, not chosen", {kInstalled, {}, kThere, false}, false, {}, false},
      {"installed copy, chosen", {kInstalled, {}, kThere, true}, true, {}, true},
      {"installed copy takes over a value naming it", {kInstalled, kQuotedSelf, kThere, false},
       true, {{}, true, true}, true},
      {"and one naming a deleted copy", {kInstalled, kOther, kGone, false}, false, {{}, true, true}, true},
      {"installed copy leaves another copy's value", {kInstalled, kOther, kThere, false}, false, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StartsAtSignIn(c.values, kSelf), c.ticked);
    EXPECT_EQ(FollowAtStart(c.values, kSelf), c.atStart);
    const SignInValues started = Applied(c.values, c.atStart, kSelf);
    EXPECT_EQ(StartsAtSignIn(started, kSelf), c.tickedAfterStart);
    EXPECT_TRUE(FollowAtStart(started, kSelf).empty()) << "a second start writes again";

    // The menu turns the tick over, and back; the installed copy never writes a Run value.
    const SignInChanges toggled = ToggleSignInStart(started, kSelf);
    const SignInValues once = Applied(started, toggled, kSelf);
    EXPECT_EQ(StartsAtSignIn(once, kSelf), !c.tickedAfterStart);
    EXPECT_EQ(StartsAtSignIn(Applied(once, ToggleSignInStart(once, kSelf), kSelf), kSelf), c.tickedAfterStart);
    EXPECT_FALSE(IsInstalledCopy(started, kSelf) && toggled.userRunValue);
  }
  EXPECT_EQ(DriveRoot(L"D:\\Bench\\UvanticNotifier.exe") + DriveRoot(L"\\\\server\\share\\x.exe"), L"D:\\");
}

}  // namespace
}  // namespace uvantic
