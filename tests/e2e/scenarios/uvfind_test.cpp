// The real uvfind.exe on a real registry, as a script runs it: its output on a pipe,
// its exit codes, and its wait for a cable.
#include <gtest/gtest.h>

#include <functional>

#include "harness/console_program.h"
#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/window_probe.h"

namespace uvantic::e2e {
namespace {

// A port and cable id with what CSV quotes and JSON escapes, and a letter that must
// reach the pipe as UTF-8 (the expected texts are compared as UTF-8 without a
// byte-order mark); the registry enumerates them in another order than the window
// sorts them.
const std::vector<Cable> kCables{{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started},
                                 {L"7&\"Q,1&0&0002", L"COM\u00c45,\"x\"", CableSetup::Disabled},
                                 {L"7&0C44D1B9&0&0003", L"COM10", CableSetup::Unplugged}};

struct Expected {
  const wchar_t* arguments;
  DWORD exitCode;
  std::wstring out;
  std::string errStart = "";
};

class Uvfind : public ::testing::Test {
 protected:
  void SetUp() override { registry_.Clear(); }
  void TearDown() override { registry_.Clear(); }

  static void Check(const Expected& run, ConsoleProgram&& program) {
    SCOPED_TRACE(Narrow(run.arguments));
    const auto result = program.Finish();
    ASSERT_TRUE(result.has_value()) << "did not end";
    EXPECT_EQ(result->exitCode, run.exitCode);
    EXPECT_EQ(result->out, Narrow(run.out));
    // A bad command line gets one line on stderr that names the problem.
    const std::string& err = result->err;
    EXPECT_TRUE(run.errStart.empty() ? err.empty() : err.starts_with(run.errStart) && err.find('\n') == err.size() - 1)
        << err;
  }
  static void Check(const Expected& run) { Check(run, ConsoleProgram(Environment().uvfind, run.arguments)); }

  ScenarioRegistry registry_;
};

TEST_F(Uvfind, EachFormListsTheRowsOfTheWindowInItsOrder) {
  registry_.Install(kCables);
  const std::wstring path = L"USB\\Vid_2E7A&Pid_0200&Mi_00\\";
  const Expected runs[] = {
      {L"", 0,
       L"COM Number  Status             USB Cable ID\r\n"
       L"COM10       Driver not loaded  7&0C44D1B9&0&0\r\n"
       L"COM3        OK                 7&2A1B3C4D&0&0\r\n"
       L"COM\u00c45,\"x\"   Disabled           7&\"Q,1&0&0\r\n"},
      {L"--csv", 0,
       L"port,status,cable_id,served,disabled,instance_path\r\n"
       L"COM10,Driver not loaded,7&0C44D1B9&0&0,false,false," + path + L"7&0C44D1B9&0&0003\r\n"
       L"COM3,OK,7&2A1B3C4D&0&0,true,false," + path + L"7&2A1B3C4D&0&0001\r\n"
       L"\"COM\u00c45,\"\"x\"\"\",Disabled,\"7&\"\"Q,1&0&0\",true,true,\"" + path + L"7&\"\"Q,1&0&0002\"\r\n"},
      {L"/JSON /Ok", 0,
       L"[\r\n  {\"port\": \"COM3\", \"status\": \"OK\", \"cableId\": \"7&2A1B3C4D&0&0\", \"served\": true, "
       L"\"disabled\": false, \"instancePath\": \"USB\\\\Vid_2E7A&Pid_0200&Mi_00\\\\7&2A1B3C4D&0&0001\"}\r\n]\r\n"},
      {L"--ports", 0, L"COM10\r\nCOM3\r\nCOM\u00c45,\"x\"\r\n"},
      {L"--ok --ports", 0, L"COM3\r\n"},
  };
  for (const auto& run : runs) Check(run);
}

TEST_F(Uvfind, ExitCodesTellListedFromNoneAndFromABadCommandLine) {
  Check({L"--csv", 1, L"port,status,cable_id,served,disabled,instance_path\r\n"});
  registry_.Install(kCables[2]);
  const Expected runs[] = {
      {L"--ok --ports", 1, L""},
      {L"--bogus", 2, L"", "uvfind: unknown option \"--bogus\""},
      {L"--csv --ports", 2, L"", "uvfind: --ports, --csv and --json cannot be combined"},
      {L"/wait=soon", 2, L"", "uvfind: --wait takes a whole number"},
  };
  for (const auto& run : runs) Check(run);
  EXPECT_EQ(ConsoleProgram(Environment().uvfind, L"/?").Finish()->out.substr(0, 14), "Usage: uvfind ");
  // Output that cannot be written has listed nothing.
  ConsoleProgram unread(Environment().uvfind, L"--ports");
  unread.CloseOutput();
  EXPECT_EQ(unread.Finish()->exitCode, 1u);
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
    ConsoleProgram program(Environment().uvfind, wait.arguments);
    Sleep(300);
    EXPECT_FALSE(program.HasExited()) << "did not wait";
    wait.change();
    Check({wait.arguments, 0, L"COM10\r\n"}, std::move(program));
  }
}

}  // namespace
}  // namespace uvantic::e2e
