// Uvantic Finder Notifier: an icon in the notification area that says which COM port a
// cable got the moment it is plugged in. It reads the registry as uvfind --watch does,
// woken by the registry watcher, and at rest otherwise.
#include <windows.h>

#include "cables/cable_passes.h"
#include "notifier/notifier_window.h"
#include "platform/single_instance.h"
#include "platform/win_registry_view.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace uvantic;
  try {
    // One copy per user session; a second start ends at once and shows nothing.
    const SingleInstance single(L"Uvantic Finder Notifier");
    if (single.AnotherCopyRuns().value_or(false)) return 0;
    NotifierWindow window(instance);
    if (!window.Create()) return 1;
    const WinRegistryView registry;
    const auto quit = RunPasses(
        registry, std::nullopt, nullptr,
        [&window](std::vector<CableRow> cables) { return NextPass(true, window.OnPass(cables)); },
        PassWake::Messages);
    return quit.value_or(0);
  } catch (...) {
    // Out of memory: nothing more can be done.
    return 1;
  }
}
