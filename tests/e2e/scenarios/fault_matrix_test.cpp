// Faults the program meets in the field, one row each: keys it may not read, values
// of every wrong type and size, keys that vanish mid-pass, unusable system libraries
// and broken help files. Whether the fault is there at start or comes while it runs,
// the program keeps running and answering, shows no message box, and shows the right
// rows again on the next pass once the fault is gone.
#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "commands/command_doubles.h"
#include "harness/test_environment.h"
#include "harness/user_input.h"
#include "harness/running_program.h"
#include "scenarios/program_scenario.h"
#include "support/registry_writer.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr wchar_t kHardwareKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_2E7A&PID_0200&MI_00";
constexpr wchar_t kDriverListKey[] = L"SYSTEM\\CurrentControlSet\\Services\\slabser\\Enum";
// Long enough for a refresh pass to meet a fault.
constexpr Milliseconds kOnePass{1300};
constexpr Milliseconds kRecoveryWithin{5000};

const Cable kFirst{L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started};
const Cable kSecond{L"7&19F0E2A7&0&0002", L"COM4", CableSetup::Started};
const Cable kThird{L"7&0C44D1B9&0&0003", L"COM5", CableSetup::Started};

std::wstring InstanceKey(const Cable& cable) { return kEnumKey + WindowsInstancePath(cable.instance); }

ShownRow Ok(const Cable& cable) { return {cable.port, L"OK", CableIdOf(cable.instance), kImageNormal, false}; }

std::vector<ShownRow> Sorted(std::vector<ShownRow> rows) {
  std::sort(rows.begin(), rows.end(), [](const ShownRow& a, const ShownRow& b) {
    return std::tie(a.port, a.status, a.cableId) < std::tie(b.port, b.status, b.cableId);
  });
  return rows;
}

const std::vector<ShownRow> kHealthy = Sorted({Ok(kFirst), Ok(kSecond), Ok(kThird)});

std::wstring Machine(const std::wstring& path) { return L"\\HKEY_LOCAL_MACHINE\\" + path; }

// The faults are put right by the matrix itself, so the writer leaves what it wrote.
testing::RegistryWriter& Writer() {
  static testing::RegistryWriter writer(testing::RegistryWriter::Keep::Written);
  return writer;
}

void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const BYTE*>(data);
  Writer().key(Machine(path)).raw(name, type, std::vector<BYTE>(bytes, bytes + size));
}

void SetText(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
  Writer().key(Machine(path)).value(name, text);
}

// Everyone is denied reading the key until the guard goes; changing its security back
// stays allowed.
class ReadDenied {
 public:
  explicit ReadDenied(const std::wstring& path) {
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL | WRITE_DAC, key_.put());
    DWORD size = 0;
    if (status == ERROR_SUCCESS) {
      RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
      saved_.resize(size);
      status = RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size);
    }
    PSECURITY_DESCRIPTOR denying = nullptr;
    if (status == ERROR_SUCCESS &&
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;KR;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                              &denying, nullptr)) {
      status = static_cast<LSTATUS>(GetLastError());
    }
    if (status == ERROR_SUCCESS) {
      status = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, denying);
      LocalFree(denying);
    }
    if (status != ERROR_SUCCESS) {
      throw std::runtime_error("cannot deny reading " + Narrow(path) + ": " + std::to_string(status));
    }
  }
  ~ReadDenied() { RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data()); }
  ReadDenied(const ReadDenied&) = delete;
  ReadDenied& operator=(const ReadDenied&) = delete;

 private:
  UniqueHKey key_;
  std::vector<BYTE> saved_;
};

class FaultMatrix;

struct Fault {
  const char* name;
  bool atStart;                                    // in place before the program starts
  std::function<void(FaultMatrix&)> inject;
  std::function<void(FaultMatrix&)> meet;          // what the user does that meets it; may be empty
  std::optional<std::vector<ShownRow>> shownMeanwhile;  // the rows while it stands, when known
  std::function<void(FaultMatrix&)> remove;
};

// Built from the parts every scenario uses: the program and its window, the scenario
// registry, input, and the doubles as guards that put back what they change.
class FaultMatrix : public ProgramScenario, public ::testing::WithParamInterface<Fault> {
 public:
  void TearDown() override {
    denied_.reset();
    ProgramScenario::TearDown();
    copy_.reset();
    helpControl_.reset();
  }

  void InstallHelpControl(const wchar_t* library) { helpControl_.emplace(library); }

  void StartOnThreeCables() {
    registry_.Install({kFirst, kSecond, kThird});
    if (GetParam().atStart) GetParam().inject(*this);
    ASSERT_NO_FATAL_FAILURE(Start(executable_));
  }

  void ExpectStillWorking() {
    ASSERT_FALSE(program_->HasExited()) << "the program ended";
    EXPECT_TRUE(Responds(window())) << "the window does not answer";
    EXPECT_EQ(ProgramWindowOfClass(L"#32770"), nullptr) << "a message box is shown";
  }

  void Deny(const std::wstring& path) { denied_ = std::make_unique<ReadDenied>(path); }
  void Allow() { denied_.reset(); }

  // Every cable's values given a wrong type or size, and the driver's list some
  // entries that are no instance path at all.
  void WriteWrongValues() {
    const wchar_t text[] = L"COM9";
    SetRaw(InstanceKey(kFirst) + L"\\Device Parameters", L"PortName", REG_SZ, text, 7);
    const WORD shortFlags = 1;
    SetRaw(InstanceKey(kFirst), L"ConfigFlags", REG_DWORD, &shortFlags, sizeof shortFlags);
    const ULONGLONG quad = 0x100000001ULL;
    SetRaw(InstanceKey(kFirst) + L"\\Control", L"DisableCount", REG_QWORD, &quad, sizeof quad);
    const wchar_t multi[] = L"COM8\0COM9\0";
    SetRaw(InstanceKey(kSecond) + L"\\Device Parameters", L"PortName", REG_MULTI_SZ, multi, sizeof multi);
    SetRaw(InstanceKey(kSecond), L"ConfigFlags", REG_DWORD, &quad, sizeof quad);
    SetRaw(InstanceKey(kSecond) + L"\\Control", L"ActiveService", REG_BINARY, "slabser", 7);
    const BYTE bytes[] = {0xff, 0xfe, 0x00, 0x01, 0x02};
    SetRaw(InstanceKey(kThird) + L"\\Device Parameters", L"PortName", REG_BINARY, bytes, sizeof bytes);
    SetRaw(InstanceKey(kThird), L"ConfigFlags", REG_QWORD, &quad, sizeof quad);
    SetRaw(kDriverListKey, L"binary", REG_BINARY, bytes, sizeof bytes);
    SetRaw(kDriverListKey, L"quad", REG_QWORD, &quad, sizeof quad);
    const std::wstring path = WindowsInstancePath(kThird.instance);
    SetRaw(kDriverListKey, L"multi", REG_MULTI_SZ, (path + L'\0').c_str(), (path.size() + 2) * sizeof(wchar_t));
    SetRaw(kDriverListKey, L"odd", REG_SZ, path.c_str(), path.size() * sizeof(wchar_t) - 1);
  }

  // A megabyte of port name, and a driver-list entry under the longest name the
  // registry allows.
  void WriteHugeValues() {
    SetText(InstanceKey(kFirst) + L"\\Device Parameters", L"PortName", std::wstring(512 * 1024 - 1, L'7'));
    SetText(kDriverListKey, LongName(), WindowsInstancePath(kSecond.instance));
  }

  void RestoreValues() {
    for (const wchar_t* name : {L"binary", L"quad", L"multi", L"odd"}) Writer().removeValue(Machine(kDriverListKey), name);
    Writer().removeValue(Machine(kDriverListKey), LongName());
    registry_.Install({kFirst, kSecond, kThird});
  }

  // Deletes and re-creates instance keys and the driver's list as fast as it can for
  // the churn time, checking meanwhile that the window goes on answering.
  void Churn() {
    std::atomic<bool> stop{false};
    long rounds = 0;
    std::string error;
    std::thread churn([&] {
      try {
        for (; !stop; ++rounds) {
          registry_.Uninstall(kSecond.instance);
          Writer().remove(Machine(kDriverListKey));
          Writer().remove(Machine(InstanceKey(kThird)));
          registry_.Install({kSecond, kThird});
        }
      } catch (const std::exception& e) {
        error = e.what();
      }
    });
    const auto deadline = GetTickCount() + 1000u * static_cast<DWORD>(Environment().churnSeconds);
    while (GetTickCount() < deadline && !program_->HasExited() && Responds(window()) &&
           ProgramWindowOfClass(L"#32770") == nullptr) {
      Sleep(100);
    }
    stop = true;
    churn.join();
    std::printf("[   INFO   ] churn: %ld rounds of deleting and re-creating in %d s\n", rounds,
                Environment().churnSeconds);
    EXPECT_EQ(error, "");
    ExpectStillWorking();
  }

  // Item counts read back while a key stands that is listed but cannot be opened: the
  // row added for it and removed again in the same pass.
  void WatchItemCount() {
    ASSERT_TRUE(WaitUntil([&] { return List().ItemCount() == 2; })) << "the row stays";
    int fewest = 1000, most = 0;
    const auto deadline = GetTickCount() + 2500u;
    while (GetTickCount() < deadline) {
      const int count = List().ItemCount();
      fewest = std::min(fewest, count);
      most = std::max(most, count);
      Sleep(5);
    }
    std::printf("[   INFO   ] rows seen while a listed key cannot be opened: %d to %d\n", fewest, most);
    EXPECT_EQ(most, 2) << "the row of the key that cannot be opened was seen";
  }

  void PutDevmgr(const wchar_t* library) { devmgr_.emplace(library); }

  void ClickProperties() {
    ASSERT_TRUE(BringToFront(window()));
    Click(controls_.properties);
    Sleep(300);
  }

  // With the recording double in place, Properties works again.
  void ExpectPropertiesWork() {
    devmgr_.emplace();
    ClickProperties();
    EXPECT_EQ(devmgrRecord_.WaitForLines(1, Milliseconds{3000}).size(), 1u) << "Properties does not work again";
  }

  void AskForHelp() {
    ASSERT_TRUE(BringToFront(window()));
    ASSERT_TRUE(OpenPopupAndChoose(program_->processId(), controls_.list)) << "no popup menu";
    Sleep(1000);
  }

  // The program copied to a folder of its own, with this help file beside it.
  void CopyWithHelpFile(std::size_t keptBytes) {
    copy_.emplace(Environment().program, true);
    executable_ = copy_->path();
    const std::wstring help = executable_.substr(0, executable_.find_last_of(L'.')) + L".chm";
    std::ifstream in(help.c_str(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::ofstream(help.c_str(), std::ios::binary | std::ios::trunc).write(content.data(),
                                                                          std::min(keptBytes, content.size()));
  }

  void CloseHelpViewer() {
    if (const HWND viewer = ProgramWindowOfClass(L"HH Parent")) PostMessageW(viewer, WM_CLOSE, 0, 0);
  }

  RecordFile devmgrRecord_{L"UVANTIC_DEVMGR_RECORD", L"uvantic-devmgr-record.txt"};
  std::wstring executable_ = Environment().program;

 private:
  static std::wstring LongName() { return std::wstring(16383, L'n'); }

  std::unique_ptr<ReadDenied> denied_;
  std::optional<DevmgrInPlace> devmgr_;
  std::optional<HelpControlInPlace> helpControl_;
  std::optional<ProgramCopy> copy_;
};

void Nothing(FaultMatrix&) {}

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

ShownRow NotPresent(const Cable& cable) {
  return {cable.port, L"Not present", CableIdOf(cable.instance), kImageNormal, true};
}

const Fault kFaults[] = {
    {"HardwareKeyDeniedAtStart", true, [](FaultMatrix& m) { m.Deny(kHardwareKey); }, {}, std::vector<ShownRow>{},
     [](FaultMatrix& m) { m.Allow(); }},
    {"InstanceKeyDenied", false, [](FaultMatrix& m) { m.Deny(InstanceKey(kSecond)); },
     [](FaultMatrix& m) { m.WatchItemCount(); }, Sorted({Ok(kFirst), Ok(kThird)}),
     [](FaultMatrix& m) { m.Allow(); }},
    {"ControlKeyDenied", false, [](FaultMatrix& m) { m.Deny(InstanceKey(kSecond) + L"\\Control"); }, {},
     Sorted({Ok(kFirst), {kSecond.port, L"Driver not loaded", CableIdOf(kSecond.instance), kImageDriverNotLoaded,
                          false},
             Ok(kThird)}),
     [](FaultMatrix& m) { m.Allow(); }},
    {"DriverListDeniedAtStart", true, [](FaultMatrix& m) { m.Deny(kDriverListKey); }, {},
     Sorted({NotPresent(kFirst), NotPresent(kSecond), NotPresent(kThird)}), [](FaultMatrix& m) { m.Allow(); }},
    {"WrongValueTypesAtStart", true, [](FaultMatrix& m) { m.WriteWrongValues(); }, {}, {},
     [](FaultMatrix& m) { m.RestoreValues(); }},
    {"WrongValueTypes", false, [](FaultMatrix& m) { m.WriteWrongValues(); }, {}, {},
     [](FaultMatrix& m) { m.RestoreValues(); }},
    {"HugeValues", false, [](FaultMatrix& m) { m.WriteHugeValues(); }, {}, {},
     [](FaultMatrix& m) { m.RestoreValues(); }},
    {"KeysVanishAndReappear", false, [](FaultMatrix& m) { m.Churn(); }, {}, {},
     [](FaultMatrix& m) { m.RestoreValues(); }},
    {"DevmgrWithoutExport", false, [](FaultMatrix& m) { m.PutDevmgr(L"no_exports.dll"); },
     [](FaultMatrix& m) { m.ClickProperties(); }, {}, [](FaultMatrix& m) { m.ExpectPropertiesWork(); }},
    {"DevmgrRefusingToLoad", false, [](FaultMatrix& m) { m.PutDevmgr(L"refuses_load.dll"); },
     [](FaultMatrix& m) { m.ClickProperties(); }, {}, [](FaultMatrix& m) { m.ExpectPropertiesWork(); }},
    {"HelpControlWithoutExports", true, [](FaultMatrix& m) { m.InstallHelpControl(L"no_exports.dll"); },
     [](FaultMatrix& m) { m.AskForHelp(); }, {}, Nothing},
    {"EmptyHelpFile", true, [](FaultMatrix& m) { m.CopyWithHelpFile(0); }, [](FaultMatrix& m) { m.AskForHelp(); },
     {}, [](FaultMatrix& m) { m.CloseHelpViewer(); }},
    {"TruncatedHelpFile", true, [](FaultMatrix& m) { m.CopyWithHelpFile(1000); },
     [](FaultMatrix& m) { m.AskForHelp(); }, {}, [](FaultMatrix& m) { m.CloseHelpViewer(); }},
};

TEST_P(FaultMatrix, KeepsRunningAndRecoversOnceTheFaultIsGone) {
  const Fault& fault = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartOnThreeCables());
  if (!fault.atStart) {
    ASSERT_TRUE(WaitUntil([&] { return Sorted(ShownRows(List())) == kHealthy; })) << "not healthy at start";
    fault.inject(*this);
  }
  if (fault.meet) {
    ASSERT_NO_FATAL_FAILURE(fault.meet(*this));
  }
  Sleep(static_cast<DWORD>(kOnePass.count()));
  ASSERT_NO_FATAL_FAILURE(ExpectStillWorking());
  if (fault.shownMeanwhile) {
    EXPECT_TRUE(WaitUntil([&] { return Sorted(ShownRows(List())) == fault.shownMeanwhile; }, kRecoveryWithin))
        << "while the fault stands the list shows " << ::testing::PrintToString(ShownRows(List()));
  }
  std::printf("[   INFO   ] %s: the list shows %s\n", fault.name,
              ::testing::PrintToString(Sorted(ShownRows(List()))).substr(0, 400).c_str());
  fault.remove(*this);
  EXPECT_TRUE(WaitUntil([&] { return Sorted(ShownRows(List())) == kHealthy; }, kRecoveryWithin))
      << "once the fault is gone the list shows " << ::testing::PrintToString(ShownRows(List()));
  ExpectStillWorking();
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultMatrix, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace uvantic::e2e
