// uvfind's command line and the edge cases of its output forms, without Windows.
#include <gtest/gtest.h>

#include "uvfind/cable_output.h"

namespace uvantic {
namespace {

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
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.front());
    const bool asExpected = c.error.empty() ? parsed.error.empty() && parsed.options == c.expected
                                            : parsed.error.find(c.error) != std::wstring::npos;
    EXPECT_TRUE(asExpected) << parsed.error;
  }
}

// Control characters in names, and empty lists; the end-to-end tests check the
// ordinary rows and the quoting.
TEST(UvfindOutput, NamesCanNeitherBreakALineNorTheFormat) {
  const std::vector<CableRow> cables{{L"COM\u00e9\r\nCOM44", L"OK", L"a\"b"}};
  const struct {
    OutputFormat format;
    std::vector<CableRow> cables;
    std::wstring expected;
  } cases[] = {
      {OutputFormat::Table, cables,
       L"COM Number   Status  USB Cable ID\r\nCOM\u00e9\uFFFD\uFFFDCOM44  OK      a\"b\r\n"},
      {OutputFormat::Ports, cables, L"COM\u00e9\uFFFD\uFFFDCOM44\r\n"},
      {OutputFormat::Json, {{L"\x01\t\\"}},
       L"[\r\n  {\"port\": \"\\u0001\\t\\\\\", \"status\": \"\", \"cableId\": \"\", \"served\": false, "
       L"\"disabled\": false, \"instancePath\": \"\"}\r\n]\r\n"},
      {OutputFormat::Json, {}, L"[]\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCables(c.cables, c.format), c.expected);
  EXPECT_EQ(ToUtf8(std::wstring{L'\u00e9', static_cast<wchar_t>(0xD800), L'b'}), "\xc3\xa9\xef\xbf\xbd" "b");
}

}  // namespace
}  // namespace uvantic
