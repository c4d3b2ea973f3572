// Watches registry keys from a thread of its own and tells a window, by a posted
// message, when something below them changed. It never touches the window otherwise.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace uvantic {

class RegistryWatcher {
 public:
  // Watches each of paths (below root) with its subtree, from its nearest existing
  // parent while it does not exist, and posts message to window once per burst of
  // changes. Watches nothing when the thread cannot be started, silently.
  RegistryWatcher(HKEY root, std::vector<std::wstring> paths, HWND window, UINT message);
  // Stops the thread and waits for it; it waits on nothing but its keys and the stop
  // request, so this is quick.
  ~RegistryWatcher();
  RegistryWatcher(const RegistryWatcher&) = delete;
  RegistryWatcher& operator=(const RegistryWatcher&) = delete;

  bool Running() const { return static_cast<bool>(thread_); }

  // The window calls this when it takes the message, before it reads the registry:
  // until then no second message is posted, so a slow window never has a queue of
  // them, and a change after this call posts a new one.
  void MessageTaken() { posted_.store(false); }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  void Post();

  const HKEY root_;
  const std::vector<std::wstring> paths_;
  const HWND window_;
  const UINT message_;
  std::atomic<bool> posted_{false};
  UniqueHandle stop_;
  UniqueHandle thread_;
};

}  // namespace uvantic
