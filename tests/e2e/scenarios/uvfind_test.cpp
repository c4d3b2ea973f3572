// The real uvfind.exe on a real registry, as a script runs it: its output on a pipe,
// its exit code, and its wait for a cable.
#include <gtest/gtest.h>

#include "harness/console_program.h"
#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/window_probe.h"

namespace uvantic::e2e {
namespace {

// Port and cable id with the characters CSV quotes and JSON escapes, and a non-ASCII
// letter, which must reach the pipe as UTF-8.
const std::vector<Cable> kCables{
    {L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started},
    {L"7&\"Q,1&0&0002", L"COM\u00c45,\"x\"", CableSetup::Disabled},
    {L"7&0C44D1B9&0&0003", L"COM10", CableSetup::Unplugged},
};

class Uvfind : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(Environment().uvfind)) FAIL() << "uvfind is missing: " << Narrow(Environment().uvfind);
    registry_.Clear();
  }
  void TearDown() override { registry_.Clear(); }

  static ConsoleResult Run(const std::wstring& arguments) { return RunConsoleProgram(Environment().uvfind, arguments); }

  ScenarioRegistry registry_;
};

struct Case {
  const wchar_t* arguments;
  DWORD exitCode;
  std::wstring out;
};

void Check(const Case& c, const ConsoleResult& result) {
  SCOPED_TRACE(Narrow(c.arguments));
  EXPECT_EQ(result.exitCode, c.exitCode);
  EXPECT_EQ(result.out, Narrow(c.out));
  EXPECT_EQ(result.err, "");
}

TEST_F(Uvfind, EachFormListsTheRowsOfTheWindowInItsOrder) {
  registry_.Install(kCables);
  const std::wstring prefix = L"USB\\Vid_2E7A&Pid_0200&Mi_00\\";
  const Case cases[] = {
      {L"", 0,
       L"COM Number  Status             USB Cable ID\r\n"
       L"COM10       Driver not loaded  7&0C44D1B9&0&0\r\n"
       L"COM3        OK                 7&2A1B3C4D&0&0\r\n"
       L"COM\u00c45,\"x\"   Disabled           7&\"Q,1&0&0\r\n"},
      {L"--csv", 0,
       L"port,status,cable_id,served,disabled,instance_path\r\n"
       L"COM10,Driver not loaded,7&0C44D1B9&0&0,false,false," + prefix + L"7&0C44D1B9&0&0003\r\n"
       L"COM3,OK,7&2A1B3C4D&0&0,true,false," + prefix + L"7&2A1B3C4D&0&0001\r\n"
       L"\"COM\u00c45,\"\"x\"\"\",Disabled,\"7&\"\"Q,1&0&0\",true,true,\"" + prefix + L"7&\"\"Q,1&0&0002\"\r\n"},
      {L"/JSON /Ok", 0,
       L"[\r\n  {\"port\": \"COM3\", \"status\": \"OK\", \"cableId\": \"7&2A1B3C4D&0&0\", \"served\": true, "
       L"\"disabled\": false, \"instancePath\": \"USB\\\\Vid_2E7A&Pid_0200&Mi_00\\\\7&2A1B3C4D&0&0001\"}\r\n]\r\n"},
      {L"--ports", 0, L"COM10\r\nCOM3\r\nCOM\u00c45,\"x\"\r\n"},
      {L"--ok --ports", 0, L"COM3\r\n"},
  };
  for (const auto& c : cases) Check(c, Run(c.arguments));
  // The bytes themselves: UTF-8 without a byte-order mark.
  EXPECT_EQ(Run(L"--ports").out.substr(13), "COM\xc3\x84" "5,\"x\"\r\n");
  EXPECT_NE(Run(L"--json").out.find("\"cableId\": \"7&\\\"Q,1&0&0\""), std::string::npos);
}

TEST_F(Uvfind, ExitCodesTellListedFromNoneAndFromABadCommandLine) {
  const Case none[] = {
      {L"--ports", 1, L""},
      {L"--csv", 1, L"port,status,cable_id,served,disabled,instance_path\r\n"},
      {L"--wait=0 --json", 1, L""},
  };
  for (const auto& c : none) Check(c, Run(c.arguments));
  registry_.Install(kCables[2]);
  Check({L"--ok --ports", 1, L""}, Run(L"--ok --ports"));

  for (const wchar_t* bad : {L"--bogus", L"--csv --ports", L"--wait=soon", L"ports"}) {
    SCOPED_TRACE(Narrow(bad));
    const ConsoleResult result = Run(bad);
    EXPECT_EQ(result.exitCode, 2u);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("uvfind: ") && result.err.find('\n') == result.err.size() - 1) << result.err;
  }
  EXPECT_EQ(Run(L"/?").out.substr(0, 14), "Usage: uvfind ");
  EXPECT_EQ(Run(L"--Version").out.substr(0, 7), "uvfind ");

  // Output that cannot be written has not listed anything.
  registry_.Install(kCables[0]);
  ConsoleProgram unread(Environment().uvfind, L"--ports");
  unread.CloseOutput();
  EXPECT_EQ(unread.Finish()->exitCode, 1u);
}

TEST_F(Uvfind, WaitEndsWhenACablePassesOrTheTimeRunsOut) {
  const auto timedOut = ConsoleProgram(Environment().uvfind, L"--wait=1 --ports").Finish();
  ASSERT_TRUE(timedOut.has_value());
  Check({L"--wait=1 --ports", 1, L""}, *timedOut);

  // First installed while it waits, then plugged in while it waits for an OK one.
  ConsoleProgram any(Environment().uvfind, L"--wait --ports");
  Sleep(300);
  EXPECT_FALSE(any.HasExited()) << "ended with no cable installed";
  registry_.Install({kCables[2]});
  Check({L"--wait --ports", 0, L"COM10\r\n"}, any.Finish().value_or(ConsoleResult{99}));

  ConsoleProgram ok(Environment().uvfind, L"--ok --wait=60 --ports");
  Sleep(300);
  EXPECT_FALSE(ok.HasExited()) << "ended with no cable OK";
  registry_.Plug(kCables[2].instance);
  Check({L"--ok --wait=60 --ports", 0, L"COM10\r\n"}, ok.Finish().value_or(ConsoleResult{99}));
}

}  // namespace
}  // namespace uvantic::e2e
