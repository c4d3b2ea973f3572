// The real uvfind.exe on a real registry, as a script runs it: its output on a pipe,
// its exit codes, its wait for a cable and its watch.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string_view>

#include "harness/console_program.h"
#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

// A port and cable id with what CSV quotes and JSON escapes, and a letter that must reach
// the pipe as UTF-8 without a byte-order mark; the window sorts them differently from
// the registry's order.
const std::vector<Cable> kCables{{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started},
                                 {L"7&\"Q,1&0&0002", L"COM\u00c45,\"x\"", CableSetup::Disabled},
                                 {L"7&0C44D1B9&0&0003", L"COM10", CableSetup::Unplugged}};

// The suite runs in English and in German, the language Wine takes from LANG.
bool InGerman() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN; }
template <typename Text> Text Said(Text english, Text german) { return InGerman() ? german : english; }

struct Expected {
  const wchar_t* arguments;
  DWORD exitCode;
  std::wstring out;
  std::string errStart = "";
};

class Uvfind : public ::testing::Test {
 protected:
  void SetUp() override { registry_.Clear(); }

  static void Check(const Expected& run, ConsoleProgram&& program) {
    SCOPED_TRACE(Narrow(run.arguments));
    const ConsoleResult result = program.Finish();
    EXPECT_EQ(result.exitCode, run.exitCode);
    EXPECT_EQ(result.out, Narrow(run.out));
    // A bad command line gets one line on stderr that names the problem.
    const std::string& err = result.err;
    EXPECT_TRUE(run.errStart.empty() ? err.empty() : err.starts_with(run.errStart) && err.find('\n') == err.size() - 1)
        << err;
  }
  static void Check(const Expected& run) { Check(run, ConsoleProgram(run.arguments)); }

  // The next line of a watch's JSON output less its time, which must be ISO 8601
  // local time with milliseconds and offset; empty when none came.
  static std::string NextEvent(ConsoleProgram& watch) {
    static const std::regex kLine(R"(\{"time": "\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d", (.*\})\r\n)");
    const std::string line = watch.ReadLine(kDefaultTimeout).value_or("");
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, kLine)) << line;
    return match.empty() ? line : match[1].str();
  }

  ScenarioRegistry registry_;
};

TEST_F(Uvfind, EachFormListsTheRowsOfTheWindowInItsOrder) {
  registry_.Install(kCables);
  // The instance paths as the fixture spells the hardware key, and as JSON escapes them.
  const std::wstring path = WindowsInstancePath(L"");
  std::wstring jsonPath;
  for (const wchar_t c : path) jsonPath += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
  // The table in the run's language; everything else the same bytes in every language.
  const Expected runs[] = {
      {L"", 0,
       Said<std::wstring>(L"COM Number  Status             USB Cable ID    Note\r\n"
                          L"COM10       Driver not loaded  7&0C44D1B9&0&0  not served by its driver\r\n"
                          L"COM3        OK                 7&2A1B3C4D&0&0\r\n"
                          L"COM\u00c45,\"x\"   Disabled           7&\"Q,1&0&0\r\n",
                          L"COM-Nummer  Status                 USB-Kabel-ID    Hinweis\r\n"
                          L"COM10       Treiber nicht geladen  7&0C44D1B9&0&0  wird von seinem Treiber nicht bedient\r\n"
                          L"COM3        OK                     7&2A1B3C4D&0&0\r\n"
                          L"COM\u00c45,\"x\"   Deaktiviert            7&\"Q,1&0&0\r\n")},
      {L"--csv", 0,
       L"port,status,cable_id,served,disabled,instance_path\r\n"
       L"COM10,Driver not loaded,7&0C44D1B9&0&0,false,false," + path + L"7&0C44D1B9&0&0003\r\n"
       L"COM3,OK,7&2A1B3C4D&0&0,true,false," + path + L"7&2A1B3C4D&0&0001\r\n"
       L"\"COM\u00c45,\"\"x\"\"\",Disabled,\"7&\"\"Q,1&0&0\",true,true,\"" + path + L"7&\"\"Q,1&0&0002\"\r\n"},
      {L"/JSON /Ok", 0,
       L"[\r\n  {\"port\": \"COM3\", \"status\": \"OK\", \"cableId\": \"7&2A1B3C4D&0&0\", \"served\": true, "
       L"\"disabled\": false, \"instancePath\": \"" + jsonPath + L"7&2A1B3C4D&0&0001\"}\r\n]\r\n"},
      {L"--ports", 0, L"COM10\r\nCOM3\r\nCOM\u00c45,\"x\"\r\n"},
  };
  for (const auto& run : runs) Check(run);
}

TEST_F(Uvfind, ExitCodesTellListedFromNoneAndFromABadCommandLine) {
  Check({L"--csv", 1, L"port,status,cable_id,served,disabled,instance_path\r\n"});
  registry_.Install(kCables[2]);
  const Expected runs[] = {
      {L"--ok --ports", 1, L""},
      {L"--bogus", 2, L"", Said("uvfind: unknown option \"--bogus\"", "uvfind: unbekannte Option \"--bogus\"")},
      {L"--csv --ports", 2, L"",
       Said("uvfind: --ports, --csv and --json cannot be combined",
            "uvfind: --ports, --csv und --json lassen sich nicht kombinieren")},
      {L"--watch --wait", 2, L"",
       Said("uvfind: --watch and --wait cannot be combined", "uvfind: --watch und --wait lassen sich nicht kombinieren")},
      {L"--ports --watch", 2, L"",
       Said("uvfind: --watch and --ports cannot be combined",
            "uvfind: --watch und --ports lassen sich nicht kombinieren")},
      // A watch that ran its time ends with 0, also when it saw nothing to show.
      {L"--watch --ok --for=1 --csv", 0, L"time,event,port,status,cable_id,served,disabled,instance_path\r\n"},
  };
  for (const auto& run : runs) Check(run);
  // The help in the run's language, in UTF-8 on a pipe: "ö" of "öffnen".
  const std::string help = ConsoleProgram(L"/?").Finish().out;
  EXPECT_TRUE(help.starts_with(Said("Usage: uvfind [--ok]", "Verwendung: uvfind [--ok]"))) << help;
  EXPECT_EQ(help.find("\xc3\xb6" "ffnen") != std::string::npos, InGerman()) << help;
  // Output that cannot be written has listed nothing.
  ConsoleProgram unread(L"--ports");
  unread.CloseOutput();
  EXPECT_EQ(unread.Finish().exitCode, 1u);
}

TEST_F(Uvfind, WaitEndsWhenACablePassesOrTheTimeRunsOut) {
  Check({L"--wait=1 --ports", 1, L""});
  // Installed while it waits for any cable, then plugged in while it waits for an OK one.
  const struct {
    const wchar_t* arguments;
    std::function<void()> change;
  } waits[] = {{L"--wait --ports", [&] { registry_.Install(kCables[2]); }},
               {L"--ok --wait=60 --ports", [&] { registry_.Plug(kCables[2].instance); }}};
  for (const auto& wait : waits) {
    ConsoleProgram program(wait.arguments);
    Sleep(300);
    EXPECT_FALSE(program.HasExited()) << "did not wait";
    wait.change();
    Check({wait.arguments, 0, L"COM10\r\n"}, std::move(program));
  }
}

// The rest of a watch's JSON line after its time.
std::string EventLine(std::string_view event, const Cable& cable, std::string_view status, bool served,
                      bool disabled) {
  std::string path;
  for (const char c : Narrow(WindowsInstancePath(cable.instance)))
    path += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const auto boolean = [](bool value) { return value ? std::string("true") : std::string("false"); };
  return "\"event\": \"" + std::string(event) + "\", \"port\": \"" + Narrow(cable.port) + "\", \"status\": \"" +
         std::string(status) + "\", \"cableId\": \"" + Narrow(CableIdOf(cable.instance)) + "\", \"served\": " +
         boolean(served) + ", \"disabled\": " + boolean(disabled) + ", \"instancePath\": \"" + path + "\"}";
}

// A watch on a pipe follows a cable through its life: each change is one line, there
// before the next change is made, and a line for nothing else.
TEST_F(Uvfind, WatchWritesEachChangeAsALineOfItsOwn) {
  const Cable& resident = kCables[0];
  const Cable& cable = kCables[2];
  registry_.Install({resident, cable});
  ConsoleProgram watch(L"--watch --json");
  EXPECT_EQ(NextEvent(watch), EventLine("added", cable, "Driver not loaded", false, false));
  EXPECT_EQ(NextEvent(watch), EventLine("added", resident, "OK", true, false));
  const struct {
    const char* name;
    std::function<void()> change;
    std::string line;
  } steps[] = {
      {"plugged in", [&] { registry_.Plug(cable.instance); }, EventLine("changed", cable, "OK", true, false)},
      {"disabled", [&] { registry_.Disable(cable.instance); }, EventLine("changed", cable, "Disabled", true, true)},
      {"unplugged", [&] { registry_.Unplug(cable.instance); },
       EventLine("changed", cable, "Driver not loaded", false, true)},
      {"uninstalled", [&] { registry_.Uninstall(cable.instance); },
       EventLine("removed", cable, "Driver not loaded", false, true)},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    EXPECT_EQ(NextEvent(watch), step.line);
  }
  // Keys written again as they were: a pass that finds nothing changed writes nothing.
  registry_.Rename(resident.instance, resident.port);
  EXPECT_EQ(watch.ReadLine(Milliseconds{1500}), std::nullopt);
  // A reader that went away ends the watch at its next line.
  watch.CloseOutput();
  registry_.Install(cable);
  EXPECT_EQ(watch.Finish().exitCode, 1u);
}

BOOL WINAPI LetThrough(DWORD) { return TRUE; }

// Ctrl+C and Ctrl+Break, sent to every process on the console, end a watch with 0 and
// no further line. This does not tell uvfind's handler from Wine's default, which also ends a
// process with 0; the unit tests check the handler's choice of keys.
TEST_F(Uvfind, CtrlCAndCtrlBreakEndAWatchWithSuccess) {
  // Under Wine a process started from a pipe has a console that takes no control
  // events; a new one does. This process keeps its standard handles and ignores the keys.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  SetStdHandle(STD_ERROR_HANDLE, err);
  SetConsoleCtrlHandler(LetThrough, TRUE);
  registry_.Install(kCables[0]);
  for (const DWORD control : {CTRL_C_EVENT, CTRL_BREAK_EVENT}) {
    SCOPED_TRACE(control);
    ConsoleProgram watch(L"--watch --csv");
    // The header and the cable: it is watching.
    ASSERT_TRUE(watch.ReadLine(kDefaultTimeout) && watch.ReadLine(kDefaultTimeout));
    if (!GenerateConsoleCtrlEvent(control, 0)) {
      // Wine 8's console refuses to send Ctrl+Break (error 6).
      ASSERT_TRUE(control == CTRL_BREAK_EVENT && RunningUnderWine()) << GetLastError();
      continue;
    }
    const ConsoleResult result = watch.Finish();
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out, "");
  }
}

}  // namespace
}  // namespace uvantic::e2e
