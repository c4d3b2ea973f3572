// The real uvfind.exe on a real registry, as a script runs it: its output on a pipe,
// its exit codes, and its wait for a cable.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/wait.h"
#include "harness/window_probe.h"
#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

struct ConsoleResult {
  DWORD exitCode = 0;
  std::string out{}, err{};  // the bytes written to stdout and stderr
};

// uvfind.exe, from the folder of the window's program, with its output on pipes.
class ConsoleProgram {
 public:
  explicit ConsoleProgram(const std::wstring& arguments) {
    const std::wstring& program = Environment().program;
    std::wstring commandLine = L"\"" + program.substr(0, program.find_last_of(L'\\')) + L"\\uvfind.exe\" " + arguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle outWrite, errWrite;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    // The child inherits the writing ends only.
    const bool piped = CreatePipe(out_.put(), outWrite.put(), &inherit, 0) &&
                       CreatePipe(err_.put(), errWrite.put(), &inherit, 0) &&
                       SetHandleInformation(out_.get(), HANDLE_FLAG_INHERIT, 0) &&
                       SetHandleInformation(err_.get(), HANDLE_FLAG_INHERIT, 0);
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    if (!piped || !CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &info)) {
      throw std::runtime_error("cannot start uvfind (error " + std::to_string(GetLastError()) + ")");
    }
    process_.reset(info.hProcess);
    CloseHandle(info.hThread);
  }
  ~ConsoleProgram() { TerminateProcess(process_.get(), 1); }

  bool HasExited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
  // Stops reading stdout: the program's writes to it fail from then on.
  void CloseOutput() { out_.reset(); }
  // Waits for it to end, then reads what it wrote (less than a pipe holds); the exit
  // code of one that did not end in time is STILL_ACTIVE.
  ConsoleResult Finish() {
    ConsoleResult result;
    WaitForSingleObject(process_.get(), static_cast<DWORD>(kDefaultTimeout.count()));
    if (GetExitCodeProcess(process_.get(), &result.exitCode) && result.exitCode != STILL_ACTIVE) {
      Read(out_.get(), result.out);
      Read(err_.get(), result.err);
    }
    return result;
  }

 private:
  static void Read(HANDLE pipe, std::string& into) {
    char buffer[4096];
    DWORD read = 0;
    while (pipe && ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) into.append(buffer, read);
  }

  UniqueHandle process_, out_, err_;
};

// A port and cable id with what CSV quotes and JSON escapes, and a letter that must reach
// the pipe as UTF-8 without a byte-order mark; the window sorts them differently from
// the registry's order.
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

  ScenarioRegistry registry_;
};

TEST_F(Uvfind, EachFormListsTheRowsOfTheWindowInItsOrder) {
  registry_.Install(kCables);
  // The instance paths as the fixture spells the hardware key, and as JSON escapes them.
  const std::wstring path = InstancePath(L"");
  std::wstring jsonPath;
  for (const wchar_t c : path) jsonPath += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
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
      {L"--bogus", 2, L"", "uvfind: unknown option \"--bogus\""},
      {L"--csv --ports", 2, L"", "uvfind: --ports, --csv and --json cannot be combined"},
  };
  for (const auto& run : runs) Check(run);
  EXPECT_EQ(ConsoleProgram(L"/?").Finish().out.substr(0, 14), "Usage: uvfind ");
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

}  // namespace
}  // namespace uvantic::e2e
