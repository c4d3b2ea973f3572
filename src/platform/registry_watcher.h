// Watches registry keys from a thread of its own and tells its owner when something
// below them changed: a window by a posted message, a console program by an event.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace uvantic {

class RegistryWatcher {
 public:
  // Watches each of paths (below root) with its subtree, from its nearest existing
  // parent while it does not exist, and calls changed from its thread once per burst
  // of changes; changed returns false when it could not pass the news on. A thread
  // that stops on a fault sets its watches up again, a few times at most; one that
  // cannot goes on no longer, and says so once through OutputDebugString.
  RegistryWatcher(HKEY root, std::vector<std::wstring> paths, std::function<bool()> changed);
  // Posts message to window once per burst. The window is never touched otherwise.
  RegistryWatcher(HKEY root, std::vector<std::wstring> paths, HWND window, UINT message)
      : RegistryWatcher(root, std::move(paths),
                        [window, message] { return PostMessageW(window, message, 0, 0) != FALSE; }) {}
  // Stops the thread and waits for it; it waits on nothing but its keys and the stop
  // request, so this is quick.
  ~RegistryWatcher();
  RegistryWatcher(const RegistryWatcher&) = delete;
  RegistryWatcher& operator=(const RegistryWatcher&) = delete;

  // Returns once the thread has set its watches (or could not), so that a read after
  // it misses no change.
  void WaitUntilWatching() const;

  // The owner calls this when it takes the news, before it reads the registry: until
  // then changed is not called again, so a slow window never has a queue of messages,
  // and a change after this call calls it anew.
  void ChangeTaken() { posted_.store(false); }

  // False once the watcher has ended (or never started): changes then come unannounced,
  // and the owner must look for them itself.
  bool Watching() const { return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT; }
  // Signalled when the watcher ends; null when it never started.
  HANDLE Ended() const { return thread_.get(); }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  // Runs the watches, again after each fault while RestartWatcher allows.
  void Watch();
  // Sets the watches up and reports their changes until the stop request (true) or a
  // failed wait (false); with reportAtOnce, it starts with a change to report.
  bool Run(bool reportAtOnce);
  void Post();

  const HKEY root_;
  const std::vector<std::wstring> paths_;
  const std::function<bool()> changed_;
  std::atomic<bool> posted_{false};
  UniqueHandle stop_;
  UniqueHandle watching_;
  UniqueHandle thread_;
};

}  // namespace uvantic
