// Keeps the program open for a long while over about 200 cables whose registry keys
// change several times a second, works its window as a user would, and every 10 s
// prints its resident memory, handle and GUI object counts and its slowest answer to a
// window message; at the end, the trend of each counter over the second half.
//   uvantic_soak --program=PATH [--seconds=600] [--cables=200] [--notifier]
// With --notifier it keeps UvanticNotifier.exe from beside the program under the same
// churn instead, with no user at a window: its notifications come and go by themselves.
// Every other 10-s interval is a rest without changes or input: its slowest answer is
// the slowest refresh pass on this machine as loaded at that time, which the answers
// under load are held against.
// Exit code 1 means the program crashed, did not answer a message within 5 s, showed a message
// box or ended with a list that differs from the registry; never a figure.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "harness/list_view_probe.h"
#include "harness/notification_area.h"
#include "harness/process_counters.h"
#include "harness/running_program.h"
#include "harness/scenario_registry.h"
#include "harness/test_environment.h"
#include "harness/user_input.h"
#include "harness/window_probe.h"

namespace {

using namespace uvantic::e2e;
using Clock = std::chrono::steady_clock;

constexpr DWORD kHangMs = 5000;
constexpr DWORD kGiveUpMs = 60000;
constexpr DWORD kProbeIntervalMs = 20;
constexpr DWORD kChurnIntervalMs = 200;
constexpr DWORD kActionIntervalMs = 700;
constexpr int kSampleSeconds = 10;

struct Options {
  std::wstring program;
  int seconds = 600;
  int cables = 200;
  bool notifier = false;
};

Options ParseOptions(int argc, wchar_t** argv) {
  Options options;
  options.program = ParseTestEnvironment(argc, argv).program;
  for (int i = 1; i < argc; ++i) {
    if (std::wcsncmp(argv[i], L"--seconds=", 10) == 0) options.seconds = std::max(10, _wtoi(argv[i] + 10));
    if (std::wcsncmp(argv[i], L"--cables=", 9) == 0) options.cables = std::max(1, _wtoi(argv[i] + 9));
    if (std::wcscmp(argv[i], L"--notifier") == 0) options.notifier = true;
  }
  return options;
}

// What the registry holds for one cable, kept beside the writes so that the list the
// program shows at the end can be checked against it.
struct CableModel {
  Cable cable;
  bool installed = true;
  bool control = true;  // the Control key exists
  std::wstring service = kDriverService;
  DWORD disableCount = 0;
  bool configDisabled = false;
  bool served = true;

  // The cable started with a driver: its Control key names the service and counts no
  // disabling; only our own driver serves it.
  void Bind(const std::wstring& driver) {
    control = true;
    service = driver;
    disableCount = 0;
    served = driver == kDriverService;
  }

  std::tuple<std::wstring, std::wstring, std::wstring> ExpectedRow() const {
    std::wstring status = served ? L"OK" : L"Not present";
    if (!control || service != kDriverService) status = L"Driver not loaded";
    if ((configDisabled || (control && disableCount != 0)) && served) status = L"Disabled";
    return {cable.port, status, CableIdOf(cable.instance)};
  }
};

std::vector<CableModel> MakeCables(int count) {
  std::vector<CableModel> cables;
  for (int i = 0; i < count; ++i) {
    wchar_t instance[32];
    std::swprintf(instance, std::size(instance), L"7&%08X&0&%04d", 0x2A1B0000u + i * 7919u, i + 1);
    cables.push_back({{instance, L"COM" + std::to_wstring(i + 3), CableSetup::Started}});
  }
  return cables;
}

// The changes Windows records while cables come and go, one every kChurnIntervalMs.
class RegistryChurn {
 public:
  // registry: the one that installed the cables, which knows the driver's list.
  RegistryChurn(ScenarioRegistry& registry, std::vector<CableModel>& cables) : registry_(registry), cables_(cables) {}

  void Run(const std::atomic<bool>& stop, const std::atomic<bool>& resting) {
    while (!stop) {
      Sleep(kChurnIntervalMs);
      if (resting) continue;
      try {
        ChangeOne();
        ++changes_;
      } catch (const std::exception& error) {
        std::printf("registry change failed: %s\n", error.what());
      }
    }
  }
  long changes() const { return changes_; }

 private:
  void ChangeOne() {
    auto& model = cables_[random_() % cables_.size()];
    const std::wstring& instance = model.cable.instance;
    if (!model.installed) {
      registry_.Install(model.cable);
      model = {model.cable};
      return;
    }
    switch (random_() % 10) {
      case 0:
        registry_.Plug(instance);
        model.Bind(kDriverService);
        break;
      case 1:
        registry_.Unplug(instance);
        model.control = model.served = false;
        break;
      case 2:
        registry_.Disable(instance);
        model.configDisabled = true;
        if (model.control) model.disableCount = 1;
        break;
      case 3:
        registry_.Enable(instance);
        model.configDisabled = false;
        model.disableCount = 0;
        break;
      case 4:
        registry_.Rebind(instance, kOtherDriverService);
        model.Bind(kOtherDriverService);
        break;
      case 5:
        registry_.Rebind(instance, kDriverService);
        model.Bind(kDriverService);
        break;
      case 6:
        registry_.Drop(instance);
        model.served = false;
        break;
      case 7:
        registry_.Uninstall(instance);
        model.installed = false;
        model.served = false;
        break;
      default:
        model.cable.port = L"COM" + std::to_wstring(3 + random_() % 250);
        registry_.Rename(instance, model.cable.port);
        break;
    }
  }

  ScenarioRegistry& registry_;
  std::vector<CableModel>& cables_;
  std::mt19937 random_{20261208};
  long changes_ = 0;
};

// Sends WM_NULL to the window over and over and keeps the slowest answer. An answer
// that takes longer than kHangMs is waited for up to kGiveUpMs, so that the figures
// tell a slow window from one that never answers again.
class AnswerProbe {
 public:
  explicit AnswerProbe(HWND window) : window_(window) {}

  void Run(const std::atomic<bool>& stop) {
    while (!stop && !hung_) {
      const auto start = Clock::now();
      DWORD_PTR result = 0;
      bool answered = SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, kHangMs, &result) != 0;
      if (!answered && IsWindow(window_)) {
        answered = SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &result) != 0;
        ++late_;
        if (!answered && IsWindow(window_)) hung_ = true;
      }
      const long took = static_cast<long>(std::chrono::duration_cast<Milliseconds>(Clock::now() - start).count());
      long slowest = slowest_.load();
      while (took > slowest && !slowest_.compare_exchange_weak(slowest, took)) {
      }
      ++probes_;
      Sleep(kProbeIntervalMs);
    }
  }
  // The slowest answer since the last call.
  long TakeSlowest() { return slowest_.exchange(0); }
  bool hung() const { return hung_; }
  // Answers that took longer than kHangMs.
  long late() const { return late_; }
  long probes() const { return probes_; }

 private:
  HWND window_;
  std::atomic<long> slowest_{0};
  std::atomic<bool> hung_{false};
  std::atomic<long> late_{0};
  std::atomic<long> probes_{0};
};

// A user at the window: sorts by each column, opens What's This popups and dismisses
// them, opens Properties, copies.
class User {
 public:
  User(const RunningProgram& program, HWND list, HWND properties)
      : program_(program), list_(list), properties_(properties) {}

  void Act() {
    if (!BringToFront(program_.window())) return;
    switch (step_++ % 4) {
      case 0:
        ClickHeader(column_++ % 3);
        break;
      case 1:
        OpenAndDismissPopup();
        break;
      case 2:
        if (IsWindowEnabled(properties_)) Click(properties_);
        break;
      case 3:
        PressCtrl(L'c');
        break;
    }
  }
  long popups() const { return popups_; }

 private:
  void ClickHeader(int column) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    if (!header) return;
    int x = 0;
    for (int i = 0; i < column; ++i) x += static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, i, 0));
    const int width = static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0));
    ClickAt(header, {x + width / 2, ClientSize(header).height / 2});
  }

  // Esc goes only to an open popup: on the window itself it would press Close.
  void OpenAndDismissPopup() {
    Click(list_, MouseButton::Right);
    const DWORD processId = program_.processId();
    if (!WaitUntil([&] { return PopupMenu(processId) != nullptr; }, Milliseconds{3000})) return;
    ++popups_;
    DismissPopupMenu(processId);
  }

  const RunningProgram& program_;
  HWND list_;
  HWND properties_;
  int step_ = 0;
  int column_ = 0;
  long popups_ = 0;
};

struct Sample {
  double seconds;
  ProcessCounters counters;
  long slowestMs;
  int rows;
  bool rest;
};

// Least-squares slope of value over time, per hour.
double SlopePerHour(const std::vector<Sample>& samples, long ProcessCounters::*counter) {
  double n = 0, meanT = 0, meanY = 0;
  for (const auto& s : samples) {
    n += 1;
    meanT += s.seconds / 3600.0;
    meanY += static_cast<double>(s.counters.*counter);
  }
  if (n < 2) return 0;
  meanT /= n;
  meanY /= n;
  double covariance = 0, variance = 0;
  for (const auto& s : samples) {
    const double t = s.seconds / 3600.0 - meanT;
    covariance += t * (static_cast<double>(s.counters.*counter) - meanY);
    variance += t * t;
  }
  return variance == 0 ? 0 : covariance / variance;
}

void PrintTrend(const std::vector<Sample>& samples, double fromSeconds) {
  std::vector<Sample> secondHalf;
  for (const auto& s : samples) {
    if (s.seconds >= fromSeconds) secondHalf.push_back(s);
  }
  std::printf("\ntrend over the second half (%zu samples from %.0f s), least-squares slope per hour:\n",
              secondHalf.size(), fromSeconds);
  const struct {
    const char* name;
    long ProcessCounters::*counter;
  } counters[] = {{"resident memory KiB", &ProcessCounters::residentKiB},
                  {"handles (system table)", &ProcessCounters::handles},
                  {"GDI objects", &ProcessCounters::gdiObjects},
                  {"USER objects", &ProcessCounters::userObjects},
                  {"GetProcessHandleCount", &ProcessCounters::reportedHandles}};
  for (const auto& c : counters) {
    long low = 0, high = 0;
    if (!secondHalf.empty()) low = high = secondHalf.front().counters.*c.counter;
    for (const auto& s : secondHalf) {
      low = std::min(low, s.counters.*c.counter);
      high = std::max(high, s.counters.*c.counter);
    }
    std::printf("  %-24s %+10.1f /h   (range %ld..%ld)\n", c.name, SlopePerHour(secondHalf, c.counter), low, high);
  }
}

// The recording devmgr.dll stands in for the property sheet; it records each request.
std::wstring InstallPropertiesDouble() {
  CopyFileW(BesideThisExecutable(L"devmgr_double.dll").c_str(), (SystemDirectory() + L"\\devmgr.dll").c_str(), FALSE);
  const std::wstring record = TempPath(L"uvantic-soak-devmgr.txt");
  DeleteFileW(record.c_str());
  SetEnvironmentVariableW(L"UVANTIC_DEVMGR_RECORD", record.c_str());
  return record;
}

long CountLines(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return 0;
  long lines = 0;
  for (int c; (c = std::fgetc(file)) != EOF;) lines += c == '\n';
  std::fclose(file);
  return lines;
}

using Row = std::tuple<std::wstring, std::wstring, std::wstring>;

std::vector<Row> ExpectedRows(const std::vector<CableModel>& cables) {
  std::vector<Row> rows;
  for (const auto& model : cables) {
    if (model.installed) rows.push_back(model.ExpectedRow());
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<Row> ShownRows(HWND list) {
  std::vector<Row> rows;
  for (const auto& row : ListViewProbe(list).Rows()) rows.emplace_back(row.port, row.status, row.cableId);
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Prints the rows only one side has, a few of them.
void PrintDifference(const std::vector<Row>& shown, const std::vector<Row>& expected) {
  const auto print = [](const char* side, const std::vector<Row>& rows) {
    for (std::size_t i = 0; i < rows.size() && i < 10; ++i) {
      const auto& [port, status, cableId] = rows[i];
      std::printf("  %s: %s | %s | %s\n", side, Narrow(port).c_str(), Narrow(status).c_str(), Narrow(cableId).c_str());
    }
  };
  std::vector<Row> onlyShown, onlyExpected;
  std::set_difference(shown.begin(), shown.end(), expected.begin(), expected.end(), std::back_inserter(onlyShown));
  std::set_difference(expected.begin(), expected.end(), shown.begin(), shown.end(), std::back_inserter(onlyExpected));
  print("shown, not in the registry", onlyShown);
  print("in the registry, not shown", onlyExpected);
}

// What the soak watches: a process with a window to probe, a user's action under load
// and the rows it shows.
struct SoakTarget {
  HANDLE process;
  DWORD processId;
  std::wstring executable;
  HWND window;
  std::function<void()> act;
  std::function<int()> rows;
};

struct SoakResult {
  std::string fault;
  long slowestUnderLoad = 0;
  long slowestAtRest = 0;
  long late = 0;
  long probes = 0;
  long changes = 0;
};

// Churns the registry, probes the window and samples the counters for the run's length.
SoakResult Churn(const Options& options, const SoakTarget& target, ScenarioRegistry& setup,
                 std::vector<CableModel>& cables) {
  ProcessCounter counter(target.process, target.processId, target.executable);
  std::atomic<bool> stop{false};
  std::atomic<bool> resting{false};
  RegistryChurn churn(setup, cables);
  AnswerProbe probe(target.window);
  std::thread churnThread([&] { churn.Run(stop, resting); });
  std::thread probeThread([&] { probe.Run(stop); });
  const auto hasExited = [&] { return WaitForSingleObject(target.process, 0) == WAIT_OBJECT_0; };

  std::printf("%8s %5s %12s %8s %6s %6s %10s %6s\n", "time s", "phase", "resident KiB", "handles", "GDI", "USER",
              "slowest ms", "rows");
  std::vector<Sample> samples;
  SoakResult result;
  const auto start = Clock::now();
  auto nextSample = start + std::chrono::seconds(kSampleSeconds);
  const auto end = start + std::chrono::seconds(options.seconds);
  while (result.fault.empty() && Clock::now() < end) {
    resting = samples.size() % 2 == 1;
    if (!resting && target.act) target.act();
    Sleep(kActionIntervalMs);
    if (hasExited()) result.fault = "the program ended";
    else if (probe.hung()) result.fault = "the window stopped answering";
    else if (FindTopWindow({target.processId, L"#32770"})) result.fault = "the program showed a message box";
    if (!result.fault.empty() || Clock::now() < nextSample) continue;
    nextSample += std::chrono::seconds(kSampleSeconds);
    const Sample sample{std::chrono::duration<double>(Clock::now() - start).count(), counter.Sample(),
                        probe.TakeSlowest(), target.rows(), resting};
    long& slowest = sample.rest ? result.slowestAtRest : result.slowestUnderLoad;
    slowest = std::max(slowest, sample.slowestMs);
    samples.push_back(sample);
    std::printf("%8.0f %5s %12ld %8ld %6ld %6ld %10ld %6d\n", sample.seconds, sample.rest ? "rest" : "load",
                sample.counters.residentKiB,
                sample.counters.handles, sample.counters.gdiObjects, sample.counters.userObjects, sample.slowestMs,
                sample.rows);
    std::fflush(stdout);
  }
  stop = true;
  churnThread.join();
  probeThread.join();
  result.slowestUnderLoad = std::max(result.slowestUnderLoad, probe.TakeSlowest());
  result.late = probe.late();
  result.probes = probe.probes();
  result.changes = churn.changes();
  if (result.fault.empty() && result.late > 0) {
    result.fault = std::to_string(result.late) + " answers took longer than 5 s";
  }
  PrintTrend(samples, options.seconds / 2.0);
  std::printf("\nslowest answer to WM_NULL under load: %ld ms; at rest, the slowest refresh pass: %ld ms\n",
              result.slowestUnderLoad, result.slowestAtRest);
  std::printf("goal of one pass + 100 ms %s; %ld probes, %ld of them answered after more than 5 s\n",
              result.slowestUnderLoad <= result.slowestAtRest + 100 ? "met" : "missed", result.probes, result.late);
  return result;
}

int Soak(const Options& options) {
  auto cables = MakeCables(options.cables);
  ScenarioRegistry setup;
  setup.Clear();
  for (const auto& model : cables) setup.Install(model.cable);
  const std::wstring devmgrRecord = InstallPropertiesDouble();

  RunningProgram program(options.program);
  const MainWindowControls controls = FindControls(program.window());
  const HWND list = controls.list, properties = controls.properties;
  std::printf("soak: %d cables, %d s, program started in %ld ms\n", options.cables, options.seconds,
              static_cast<long>(program.startTime().count()));

  User user(program, list, properties);
  SoakResult result = Churn(options,
                            {program.process(), program.processId(), options.program, program.window(),
                             [&] { user.Act(); },
                             [&] { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }},
                            setup, cables);
  std::string& fault = result.fault;
  if (fault.empty()) {
    // Two ticks for the list to catch up with the last change.
    Sleep(2500);
    if (program.HasExited()) {
      fault = "the program ended";
    } else if (const auto shown = ShownRows(list), expected = ExpectedRows(cables); shown != expected) {
      fault = "the list differs from the registry after the churn stopped";
      PrintDifference(shown, expected);
    }
  }
  std::printf("registry changes: %ld; popups opened and dismissed: %ld; property sheets asked for: %ld\n",
              result.changes, user.popups(), CountLines(devmgrRecord));
  if (!fault.empty()) {
    std::printf("FAILED: %s\n", fault.c_str());
    return 1;
  }
  program.Close();
  setup.Clear();
  std::printf("passed: no crash, no hang, no message box\n");
  return 0;
}

// The notifier beside the program, under the same churn; "rows" are its icons in the
// notification area.
int SoakNotifier(const Options& options) {
  auto cables = MakeCables(options.cables);
  ScenarioRegistry setup;
  setup.Clear();
  for (const auto& model : cables) setup.Install(model.cable);
  const std::wstring notifier =
      options.program.substr(0, options.program.find_last_of(L"\\/") + 1) + L"UvanticNotifier.exe";
  const StartedProcess process = StartProcess(notifier);
  HWND window = nullptr;
  if (!WaitUntil([&] { return (window = NotifierWindow()) != nullptr; })) {
    std::printf("FAILED: the notifier made no window\n");
    return 1;
  }
  std::printf("soak of the notifier: %d cables, %d s\n", options.cables, options.seconds);
  const SoakResult result = Churn(options, {process.handle.get(), process.id, notifier, window, {},
                                            [] { return static_cast<int>(NotificationAreaIcons().size()); }},
                                  setup, cables);
  std::printf("registry changes: %ld\n", result.changes);
  TerminateProcess(process.handle.get(), 0);
  setup.Clear();
  if (!result.fault.empty()) {
    std::printf("FAILED: %s\n", result.fault.c_str());
    return 1;
  }
  std::printf("passed: no crash, no hang, no message box\n");
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const Options options = ParseOptions(argc, argv);
  LocalFree(argv);
  if (!DisplayAvailable()) {
    std::printf("no X display: the soak needs the program's window\n");
    return 0;
  }
  try {
    return options.notifier ? SoakNotifier(options) : Soak(options);
  } catch (const std::exception& error) {
    std::printf("soak could not run: %s\n", error.what());
    return 2;
  }
}
