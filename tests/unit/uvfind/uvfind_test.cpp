// uvfind's command line and the edge cases of its output forms, without Windows.
#include <gtest/gtest.h>

#include "support/some_texts.h"
#include "uvfind/cable_output.h"

namespace uvantic {
namespace {

const EnglishTexts english;

TEST(UvfindCommandLine, ReadsOptionsInEitherSpellingAndNamesTheProblemOfABadLine) {
  using enum OutputFormat;
  const struct {
    std::vector<std::wstring> arguments;
    CommandLine expected;
    std::wstring error;  // a part of the message; empty when the line is good
  } cases[] = {
      {{L"/OK", L"/PORTS"}, {.format = Ports, .okOnly = true}, L""},
      {{L"--Json", L"--json", L"--wait"}, {.format = Json, .wait = true}, L""},
      {{L"/WAIT=015"}, {.wait = true, .waitSeconds = 15}, L""},
      {{L"-H", L"--csv"}, {.request = Request::Help, .format = Csv}, L""},
      {{L"--wait="}, {}, L"whole number of seconds, not \"\""},
      {{L"--wait=1.5"}, {}, L"not \"1.5\""},
      {{L"--wait=1000000000"}, {}, L"whole number"},
      {{L"--wait", L"/wait=3"}, {}, L"twice"},
      {{L"--ok=yes"}, {}, L"--ok takes no value"},
      {{L"-ok"}, {}, L"unknown option \"-ok\""},
      {{L"/Watch", L"--for=90", L"--csv"}, {.format = Csv, .watch = true, .watchSeconds = 90}, L""},
      {{L"--watch", L"--for"}, {}, L"--for takes a whole number of seconds"},
      {{L"--for=5"}, {}, L"--for works only with --watch"},
      {{L"--watch", L"--wait=5"}, {}, L"--watch and --wait cannot be combined"},
      {{L"--ports", L"--watch"}, {}, L"--watch and --ports cannot be combined"},
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.front());
    const std::wstring error = ErrorText(parsed, english);
    const bool asExpected = c.error.empty() ? !parsed.error && parsed.options == c.expected
                                            : error.starts_with(L"uvfind: ") && error.find(c.error) != std::wstring::npos;
    EXPECT_TRUE(asExpected) << error;
  }
}

TEST(UvfindCommandLine, CtrlCAndCtrlBreakEndAWatchAndTheSystemEndsItOtherwise) {
  using enum ConsoleControl;
  for (const auto control : {CtrlC, CtrlBreak}) EXPECT_TRUE(StopsWatch(control));
  for (const auto control : {Close, Logoff, Shutdown}) EXPECT_FALSE(StopsWatch(control));
}

// Control characters in names, and empty lists; the end-to-end tests check the
// ordinary rows and the quoting of commas and quotes.
TEST(UvfindOutput, NamesCanNeitherBreakALineNorTheFormat) {
  using enum CableStatus;
  const std::vector<CableRow> cables{{L"COM\u00e9\r\nCOM44", Ok, L"a\"b", true}};
  const struct {
    OutputFormat format;
    std::vector<CableRow> cables;
    std::wstring expected;
  } cases[] = {
      {OutputFormat::Table, cables,
       L"COM Number   Status  USB Cable ID  Note\r\nCOM\u00e9\uFFFD\uFFFDCOM44  OK      a\"b\r\n"},
      // The note says what the window's icon and dimming show.
      {OutputFormat::Table,
       {{L"COM3", DriverNotLoaded, L"7&1&0", false, false},
        {L"COM4", NotPresent, L"7&2&0", false, true},
        {L"COM5", Disabled, L"7&3&0", true, true}},
       L"COM Number  Status             USB Cable ID  Note\r\n"
       L"COM3        Driver not loaded  7&1&0         not served by its driver\r\n"
       L"COM4        Not present        7&2&0         disabled, not served by its driver\r\n"
       L"COM5        Disabled           7&3&0\r\n"},
      {OutputFormat::Ports, cables, L"COM\u00e9\uFFFD\uFFFDCOM44\r\n"},
      {OutputFormat::Csv, {{L"COM1\rX", DriverNotLoaded, L"a,b"}},
       L"port,status,cable_id,served,disabled,instance_path\r\n\"COM1\rX\",Driver not loaded,\"a,b\",false,false,\r\n"},
      {OutputFormat::Json, {{L"\x01\t\\"}},
       L"[\r\n  {\"port\": \"\\u0001\\t\\\\\", \"status\": \"Not present\", \"cableId\": \"\", \"served\": false, "
       L"\"disabled\": false, \"instancePath\": \"\"}\r\n]\r\n"},
      {OutputFormat::Json, {}, L"[]\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCables(c.cables, c.format, english), c.expected);
  EXPECT_EQ(ToUtf8(std::wstring{L'\u00e9', static_cast<wchar_t>(0xD800), L'b'}), "\xc3\xa9\xef\xbf\xbd" "b");
}

// A watch's lines: the time in each form, a local clock west of UTC, and the columns
// of the table kept in line by a port name as wide as its heading.
TEST(UvfindOutput, EventLinesCarryTheLocalTimeAndTheRow) {
  const CableChange change{CableEvent::Removed, {L"COM10", CableStatus::Ok, L"7&1&0", true, false, L"USB\\X"}};
  const CableChange unplugged{CableEvent::Changed,
                              {L"COM10", CableStatus::DriverNotLoaded, L"7&1&0", false, false, L""}};
  const LocalTime time{2026, 3, 9, 8, 5, 7, 42, -210};
  const auto table = [&](const Texts& texts) {
    return EventHeader(OutputFormat::Table, texts) + FormatEvent(change, time, OutputFormat::Table, texts) +
           FormatEvent(unplugged, time, OutputFormat::Table, texts);
  };
  EXPECT_EQ(table(english),
            L"Time      Event    COM Number  Status             USB Cable ID    Note\r\n"
            L"08:05:07  removed  COM10       OK                 7&1&0\r\n"
            L"08:05:07  changed  COM10       Driver not loaded  7&1&0           not served by its driver\r\n");
  // In another language the columns are as wide as its own longest words, counted in
  // a console's columns: a wide character takes two.
  const SomeTexts translated({{TextId::TableEvent, L"\u30a4\u30d9\u30f3\u30c8"}, {TextId::EventRemoved, L"\u524a\u9664"},
                              {TextId::EventChanged, L"\u5909\u66f4"}, {TextId::StatusOk, L"\u6b63\u5e38"},
                              {TextId::StatusDisabled, L"\u7121\u52b9\u306b\u306a\u3063\u3066\u3044\u307e\u3059\u3002"}});
  EXPECT_EQ(table(translated),
            L"Time      \u30a4\u30d9\u30f3\u30c8  COM Number  Status                USB Cable ID    Note\r\n"
            L"08:05:07  \u524a\u9664      COM10       \u6b63\u5e38                  7&1&0\r\n"
            L"08:05:07  \u5909\u66f4      COM10       Driver not loaded     7&1&0           not served by its driver\r\n");
  EXPECT_EQ(FormatEvent(change, time, OutputFormat::Csv, translated),
            L"2026-03-09T08:05:07.042-03:30,removed,COM10,OK,7&1&0,true,false,USB\\X\r\n");
  EXPECT_EQ(FormatEvent(change, time, OutputFormat::Json, translated),
            L"{\"time\": \"2026-03-09T08:05:07.042-03:30\", \"event\": \"removed\", \"port\": \"COM10\", "
            L"\"status\": \"OK\", \"cableId\": \"7&1&0\", \"served\": true, \"disabled\": false, "
            L"\"instancePath\": \"USB\\\\X\"}\r\n");
  EXPECT_EQ(EventHeader(OutputFormat::Json, translated), L"");
}

// Two consecutive passes' rows and the events between them; rows are matched by
// instance path.
TEST(UvfindEvents, EveryDifferenceBetweenTwoPassesIsOneEventInOrder) {
  using enum CableEvent;
  const CableRow ok{L"COM3", CableStatus::Ok, L"a", true, false, L"USB\\V\\a001"};
  const CableRow other{L"COM4", CableStatus::Ok, L"b", true, false, L"USB\\V\\b002"};
  const auto with = [](CableRow row, auto change) {
    change(row);
    return row;
  };
  const CableRow renamed = with(ok, [](CableRow& r) { r.port = L"COM9"; });
  // Plugged in, its driver not started; then dropped from the driver's list.
  const CableRow notLoaded = with(ok, [](CableRow& r) { r.status = CableStatus::DriverNotLoaded; });
  const CableRow unplugged = with(notLoaded, [](CableRow& r) { r.served = false; });
  const CableRow disabled = with(ok, [](CableRow& r) { r.status = CableStatus::Disabled, r.disabled = true; });
  const CableRow notPresent = with(unplugged, [](CableRow& r) { r.status = CableStatus::NotPresent; });
  const CableRow unpluggedDisabled = with(notPresent, [](CableRow& r) { r.disabled = true; });
  const CableRow otherTakesCom3 = with(other, [](CableRow& r) { r.port = L"COM3"; });
  const CableRow respelled = with(ok, [](CableRow& r) { r.instancePath = L"usb\\v\\A001"; });
  const struct {
    const char* name;
    std::vector<CableRow> before, after;
    bool okOnly;
    std::vector<CableChange> expected;
  } cases[] = {
      {"first pass: every row added", {}, {ok, other}, false, {{Added, ok}, {Added, other}}},
      {"nothing changed", {ok, other}, {ok, other}, false, {}},
      {"key spelled in another case", {ok}, {respelled}, false, {}},
      {"port", {ok, other}, {other, renamed}, false, {{Changed, renamed}}},
      {"status alone", {ok}, {notLoaded}, false, {{Changed, notLoaded}}},
      {"served alone", {notLoaded}, {unplugged}, false, {{Changed, unplugged}}},
      {"disabled alone", {notPresent}, {unpluggedDisabled}, false, {{Changed, unpluggedDisabled}}},
      {"status and disabled", {ok}, {disabled}, false, {{Changed, disabled}}},
      {"a burst: one gone, its port taken, one back",
       {ok, other},
       {otherTakesCom3},
       false,
       {{Removed, ok}, {Changed, otherTakesCom3}}},
      {"uninstalled and installed in one pass", {ok}, {other}, false, {{Removed, ok}, {Added, other}}},
      {"--ok: becomes OK", {unplugged, other}, {ok, other}, true, {{Added, ok}}},
      {"--ok: stops being OK", {ok, other}, {disabled, other}, true, {{Removed, ok}}},
      {"--ok: port of an OK cable", {ok}, {renamed}, true, {{Changed, renamed}}},
      {"--ok: changes of a cable that is not OK", {disabled}, {unpluggedDisabled}, true, {}},
      {"--ok: gone", {ok, other}, {other}, true, {{Removed, ok}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CompareCables(c.before, c.after, c.okOnly), c.expected);
  }
}

}  // namespace
}  // namespace uvantic
