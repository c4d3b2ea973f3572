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
  // of changes; changed returns false when it could not pass the news on. Watches
  // nothing when the thread cannot be started, silently.
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

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
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
