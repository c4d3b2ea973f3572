// uvfind's command line, its output forms and its rows, without Windows.
#include <gtest/gtest.h>

#include <cwchar>

#include "../discovery/registry_paths.h"
#include "discovery/memory_registry.h"
#include "uvfind/cable_output.h"

namespace uvantic {
namespace {

struct ParseCase {
  std::vector<std::wstring> arguments;
  CommandLine expected;
  std::wstring errorPart;  // empty when the line is good
};

TEST(UvfindCommandLine, ReadsOptionsInEitherSpellingAndNamesTheProblemOfABadLine) {
  using enum OutputFormat;
  const ParseCase cases[] = {
      {{}, {}, L""},
      {{L"/OK", L"/PORTS"}, {.format = Ports, .okOnly = true}, L""},
      {{L"--Json", L"--json"}, {.format = Json}, L""},
      {{L"--wait"}, {.wait = true}, L""},
      {{L"/WAIT=015", L"--csv"}, {.format = Csv, .wait = true, .waitSeconds = 15}, L""},
      {{L"-H", L"--csv"}, {.request = Request::Help, .format = Csv}, L""},
      {{L"/?", L"--version"}, {.request = Request::Help}, L""},
      {{L"--VERSION"}, {.request = Request::Version}, L""},
      {{L"--csv", L"/json"}, {}, L"cannot be combined"},
      {{L"--wait="}, {}, L"whole number of seconds, not \"\""},
      {{L"--wait=1.5"}, {}, L"not \"1.5\""},
      {{L"--wait=-1"}, {}, L"whole number"},
      {{L"--wait=1000000000"}, {}, L"whole number"},
      {{L"--wait", L"/wait=3"}, {}, L"twice"},
      {{L"--ok=yes"}, {}, L"--ok takes no value"},
      {{L"-ok"}, {}, L"unknown option \"-ok\""},
      {{L"ports"}, {}, L"unknown option"},
      {{L"--Port"}, {}, L"unknown option \"--Port\""},
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.empty() ? L"(none)" : c.arguments.front());
    if (c.errorPart.empty()) {
      EXPECT_EQ(parsed.error, L"");
      EXPECT_TRUE(parsed.options == c.expected);
    } else {
      EXPECT_NE(parsed.error.find(c.errorPart), std::wstring::npos) << parsed.error;
      EXPECT_EQ(parsed.error.find(L'\n'), std::wstring::npos);
    }
  }
}

const std::vector<CableRow> kCables{
    {L"COM3", L"OK", L"7&2A&0&0", true, false, L"USB\\V\\7&2A&0&0001"},
    {L"COM\"1,\u00e9", L"Disabled", L"a\nb", true, true, L"USB\\V\\x"},
    {L"COM12", L"Not present", L"\t", false, false, L"p"},
};

TEST(UvfindOutput, EachFormQuotesOrEscapesWhatItMust) {
  const struct {
    OutputFormat format;
    std::vector<CableRow> cables;
    std::wstring expected;
  } cases[] = {
      {OutputFormat::Table, kCables,
       L"COM Number  Status       USB Cable ID\r\n"
       L"COM3        OK           7&2A&0&0\r\n"
       L"COM\"1,\u00e9     Disabled     a\uFFFDb\r\n"
       L"COM12       Not present  \uFFFD\r\n"},
      {OutputFormat::Table, {}, L"COM Number  Status  USB Cable ID\r\n"},
      {OutputFormat::Ports, kCables, L"COM3\r\nCOM\"1,\u00e9\r\nCOM12\r\n"},
      {OutputFormat::Ports, {{L"COM3\r\nCOM4"}}, L"COM3\uFFFD\uFFFDCOM4\r\n"},
      {OutputFormat::Csv, kCables,
       L"port,status,cable_id,served,disabled,instance_path\r\n"
       L"COM3,OK,7&2A&0&0,true,false,USB\\V\\7&2A&0&0001\r\n"
       L"\"COM\"\"1,\u00e9\",Disabled,\"a\nb\",true,true,USB\\V\\x\r\n"
       L"COM12,Not present,\t,false,false,p\r\n"},
      {OutputFormat::Json, {kCables[1], kCables[2]},
       L"[\r\n"
       L"  {\"port\": \"COM\\\"1,\u00e9\", \"status\": \"Disabled\", \"cableId\": \"a\\nb\", \"served\": true, "
       L"\"disabled\": true, \"instancePath\": \"USB\\\\V\\\\x\"},\r\n"
       L"  {\"port\": \"COM12\", \"status\": \"Not present\", \"cableId\": \"\\t\", \"served\": false, "
       L"\"disabled\": false, \"instancePath\": \"p\"}\r\n"
       L"]\r\n"},
      {OutputFormat::Json, {{L"\x01"}}, L"[\r\n  {\"port\": \"\\u0001\", \"status\": \"\", \"cableId\": \"\", "
                                        L"\"served\": false, \"disabled\": false, \"instancePath\": \"\"}\r\n]\r\n"},
      {OutputFormat::Json, {}, L"[]\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCables(c.cables, c.format), c.expected);
}

TEST(UvfindOutput, Utf8KeepsEveryCharacterAndReplacesALoneSurrogate) {
  EXPECT_EQ(ToUtf8(L"COM\u00e9\u4e2d"), "COM\xc3\xa9\xe4\xb8\xad");
  EXPECT_EQ(ToUtf8(L"\U0001F50C"), "\xf0\x9f\x94\x8c");
  EXPECT_EQ(ToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b'}), "a\xef\xbf\xbd" "b");
}

TEST(UvfindRows, ListsTheFirstPassSortedByPortWithEqualPortsInRegistryOrder) {
  using testing::InstanceKey;
  MemoryRegistry reg;
  const auto install = [&](std::wstring_view name, std::wstring_view port, std::uint32_t flags) {
    reg.key(InstanceKey(name)).value(L"ConfigFlags", flags).key(L"Device Parameters").value(L"PortName", port);
    reg.key(InstanceKey(name) + L"\\Control").value(L"ActiveService", L"slabser");
    reg.key(kDriverListPath).value(std::wstring(name), testing::InstancePath(name));
  };
  install(L"B&0001", L"COM4", 0);
  install(L"C&0002", L"COM3", 1);
  install(L"A&0003", L"COM4", 0);
  reg.key(InstanceKey(L"D&0004"));  // installed, unplugged, no port
  const auto cables = ListCables(reg, [](const std::wstring& a, const std::wstring& b) {
    return std::wcscmp(a.c_str(), b.c_str());
  });
  const std::vector<CableRow> expected{
      {L"", L"Driver not loaded", L"D&0", false, false, testing::InstancePath(L"D&0004")},
      {L"COM3", L"Disabled", L"C&0", true, true, testing::InstancePath(L"C&0002")},
      {L"COM4", L"OK", L"B&0", true, false, testing::InstancePath(L"B&0001")},
      {L"COM4", L"OK", L"A&0", true, false, testing::InstancePath(L"A&0003")},
  };
  EXPECT_TRUE(cables == expected);
  EXPECT_TRUE(OkCables(cables) == std::vector<CableRow>(expected.begin() + 2, expected.end()));
}

}  // namespace
}  // namespace uvantic
