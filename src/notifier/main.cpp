// Uvantic Finder Notifier: an icon in the notification area that says which COM port a
// cable got the moment it is plugged in. It reads the registry as uvfind --watch does,
// woken by the registry watcher, and at rest otherwise.
#include <windows.h>

#include "cables/cable_passes.h"
#include "notifier/notifier_window.h"
#include "notifier/win_sign_in.h"
#include "platform/single_instance.h"
#include "platform/text_catalog.h"
#include "platform/win_registry_view.h"

namespace {

// Restart Manager starts the notifier again after an upgrade that closed it, with this
// command line, which starts it as if by hand. Not after a computer restart: then the
// sign-in start decides, as at every sign-in, and a copy the user started once is not
// brought back at every update. After a crash or a hang Windows offers the user a
// restart, and only for a copy that ran a minute, so a fault at start cannot loop.
constexpr wchar_t kRestartArguments[] = L"--restarted";
constexpr DWORD kRestartFlags = RESTART_NO_REBOOT;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  using namespace uvantic;
  try {
    // Started at sign-in by the machine's Run value for a user who has not chosen it: the
    // notifier ends before it shows anything.
    if (!FollowSignInStart(HasSignInArgument(arguments))) return 0;
    // One copy per user session; a second start asks it for its icon, if it lost it, and ends.
    const SingleInstance single(L"Uvantic Finder Notifier");
    if (single.AnotherCopyRuns().value_or(false)) {
      NotifierWindow::AskRunningCopyForIcon();
      return 0;
    }
    const ResourceTexts texts(UserLanguage());
    NotifierWindow window(instance, texts);
    if (!window.Create()) return 1;
    RegisterApplicationRestart(kRestartArguments, kRestartFlags);
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
