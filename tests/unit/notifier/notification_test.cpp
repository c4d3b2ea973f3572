// Which changes give which notification, how they are grouped and cut, the tooltip, and
// the Run value, without Windows.
#include <gtest/gtest.h>

#include "notifier/notification.h"
#include "notifier/program_paths.h"

namespace uvantic {
namespace {

const std::wstring kPath7 = L"USB\\VID_2E7A&PID_0200&MI_00\\6&1234abcd&0&0000";

CableRow Ok(std::wstring port, std::wstring id, std::wstring path) {
  return {std::move(port), L"OK", std::move(id), true, false, std::move(path)};
}
CableRow Unplugged(CableRow row) {
  row.status = L"Driver not loaded";
  row.served = false;
  return row;
}

const CableRow kCom7 = Ok(L"COM7", L"1234ABCD", kPath7);
const CableRow kCom3 = Ok(L"COM3", L"A", L"p3");
const CableRow kCom4 = Ok(L"COM4", L"B", L"p4");
const CableRow kCom5 = Ok(L"COM5", L"C", L"p5");

TEST(NotifierNotification, EachChangeOfAnOkCableGivesItsNotificationAndOthersNone) {
  CableRow disabledServed = kCom7, disabledGone = Unplugged(kCom7), driverNotLoaded = kCom7, otherCase = kCom7;
  disabledServed.status = L"Disabled";
  disabledServed.disabled = disabledGone.disabled = true;
  driverNotLoaded.status = L"Driver not loaded";
  otherCase.instancePath = L"usb\\vid_2e7a&pid_0200&mi_00\\6&1234ABCD&0&0000";
  CableRow otherCaseDisabled = disabledServed;
  otherCaseDisabled.instancePath = otherCase.instancePath;
  CableRow renamed = kCom7, withBreak = kCom7, noPort = kCom7;
  renamed.port = L"COM9";
  withBreak.port = L"COM7\r\nX";
  noPort.port = L"";
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
      {"several of one kind", {}, {kCom3, kCom4, kCom5},
       Notification{L"Cables ready", L"3 cables ready: COM3, COM4, COM5"}},
      {"several kinds", {kCom4, kCom5, kCom7}, {kCom3, driverNotLoaded},
       Notification{L"Cables changed",
                    L"COM3 is ready (cable A)\n2 cables unplugged: COM4, COM5\n"
                    L"COM7: driver not loaded (cable 1234ABCD)",
                    true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto notification = NotificationFor(c.before, c.after);
    ASSERT_EQ(notification.has_value(), c.expected.has_value());
    if (!notification) continue;
    EXPECT_EQ(notification->title, c.expected->title);
    EXPECT_EQ(notification->text, c.expected->text);
    EXPECT_EQ(notification->warning, c.expected->warning);
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
  const auto notification = NotificationFor({}, hub);
  ASSERT_TRUE(notification);
  EXPECT_EQ(notification->text.size(), kNotificationTextCapacity - 1);
  EXPECT_EQ(notification->text.substr(0, 28), L"100 cables ready: COM10, COM");
  EXPECT_EQ(notification->text.back(), L'\u2026');
}

TEST(NotifierNotification, TooltipCountsCablesAndOkOnes) {
  EXPECT_EQ(TooltipText({}), L"Uvantic Finder: no cables");
  EXPECT_EQ(TooltipText({Unplugged(kCom7)}), L"Uvantic Finder: 1 cable, none OK");
  EXPECT_EQ(TooltipText({kCom3, Unplugged(kCom7)}), L"Uvantic Finder: 2 cables, 1 OK");
}

TEST(NotifierNotification, CablesThereAtStartGiveNoNotification) {
  CableNotices notices;
  EXPECT_FALSE(notices.Pass({kCom3, kCom7}));
  EXPECT_FALSE(notices.Pass({kCom3, kCom7}));
  const auto unplugged = notices.Pass({kCom3, Unplugged(kCom7)});
  ASSERT_TRUE(unplugged);
  EXPECT_EQ(unplugged->text, L"COM7 was unplugged (cable 1234ABCD)");
  EXPECT_FALSE(notices.Pass({kCom3, Unplugged(kCom7)}));
}

TEST(NotifierNotification, RunValueQuotesThePathAndFinderIsLookedForBesideTheNotifier) {
  EXPECT_EQ(RunValueData(L"C:\\Program Files\\Uvantic\\UvanticNotifier.exe"),
            L"\"C:\\Program Files\\Uvantic\\UvanticNotifier.exe\"");
  EXPECT_EQ(FinderPathBeside(L"C:\\Program Files\\Uvantic\\UvanticNotifier.exe"),
            L"C:\\Program Files\\Uvantic\\UvanticFinder.exe");
  EXPECT_EQ(FinderPathBeside(L"C:\\UvanticNotifier.exe"), L"C:\\UvanticFinder.exe");
}

}  // namespace
}  // namespace uvantic
