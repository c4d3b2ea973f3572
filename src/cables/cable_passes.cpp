// Passes woken by the registry watcher, with a recheck once a minute, or every second
// once the watcher has ended.
#include "cables/cable_passes.h"

#include <chrono>

#include "discovery/change_watch.h"
#include "platform/handles.h"
#include "platform/registry_watcher.h"

namespace uvantic {
namespace {

using Clock = std::chrono::steady_clock;

// Dispatches every message waiting in this thread's queue; the exit code when one of
// them was WM_QUIT.
std::optional<int> DispatchMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return std::nullopt;
}

}  // namespace

std::vector<CableRow> CurrentCables(const RegistryView& registry) {
  // The window's list sorts with lstrcmpW; the same comparison gives the same order.
  return ListCables(registry,
                    [](const std::wstring& a, const std::wstring& b) { return lstrcmpW(a.c_str(), b.c_str()); });
}

std::optional<int> RunPasses(const RegistryView& registry, std::optional<std::uint32_t> seconds, HANDLE stop,
                             const std::function<NextPass(std::vector<CableRow>)>& onPass, PassWake wake,
                             std::vector<std::wstring> watched) {
  std::optional<Clock::time_point> deadline;
  if (seconds) deadline = Clock::now() + std::chrono::seconds(*seconds);

  const UniqueHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  const HANDLE event = changed.get();
  RegistryWatcher watcher(HKEY_LOCAL_MACHINE, std::move(watched),
                          [event] { return event != nullptr && SetEvent(event) != FALSE; });
  // The first pass comes after the watches are set, so that no change falls between
  // the pass and the watch: the next recheck is a minute away.
  watcher.WaitUntilWatching();
  std::vector<HANDLE> wakers;
  if (stop != nullptr) wakers.push_back(stop);
  if (event != nullptr) wakers.push_back(event);
  // A watcher that ends wakes a pass at once, as it may have missed a change; from then
  // on the passes come often enough to stand in for it.
  if (watcher.Ended() != nullptr) wakers.push_back(watcher.Ended());
  for (;;) {
    watcher.ChangeTaken();
    const NextPass answer = onPass(CurrentCables(registry));
    if (!answer.wanted) return std::nullopt;
    if (!wakers.empty() && wakers.back() == watcher.Ended() && !watcher.Watching()) wakers.pop_back();
    auto nextPass = Clock::now() + (watcher.Watching() ? kRecheckInterval : kBlindRecheckInterval);
    if (answer.by && *answer.by < nextPass) nextPass = *answer.by;
    if (deadline) {
      if (Clock::now() >= *deadline) return std::nullopt;
      if (*deadline < nextPass) nextPass = *deadline;
    }
    // Waits until the next pass is due, dispatching window messages on the way.
    for (;;) {
      const auto handleCount = static_cast<DWORD>(wakers.size());
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextPass - Clock::now()).count();
      const DWORD timeout = left > 0 ? static_cast<DWORD>(left) : 0;
      DWORD woken = WAIT_FAILED;
      if (wake == PassWake::Messages) {
        woken = MsgWaitForMultipleObjectsEx(handleCount, wakers.data(), timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      } else if (handleCount > 0) {
        woken = WaitForMultipleObjects(handleCount, wakers.data(), FALSE, timeout);
      }
      if (stop != nullptr && woken == WAIT_OBJECT_0) return std::nullopt;
      if (wake == PassWake::Messages && woken == WAIT_OBJECT_0 + handleCount) {
        if (const auto quit = DispatchMessages()) return quit;
        continue;
      }
      if (woken == WAIT_FAILED) Sleep(timeout);
      break;
    }
  }
}

}  // namespace uvantic
