// The watcher's thread: change notifications on each key and on its parent, re-armed
// after every firing, and a check once a minute for keys that appeared or went without
// a firing. Between changes the thread sleeps; after a fault it starts over, a few times
// at most.
#include "platform/registry_watcher.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>

#include "discovery/change_watch.h"

namespace uvantic {
namespace {

constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// A safety net only: every change fires a watch. A tray program runs all day, so the
// thread must not wake often while nothing changes.
constexpr DWORD kCheckInterval = 60'000;
// Setting the watches takes a few registry calls; a hung registry must not hold up
// the owner's first read for long.
constexpr DWORD kWatchingTimeout = 2000;

// One watched key: the deepest of candidates (the key, then its parents) that could be
// opened and armed, with its subtree; level is its index, candidates.size() when none
// could. The key above it is watched too, for its subkeys only: a key's own deletion
// does not fire every system's watch on it, but it always changes its parent's names.
struct KeyWatch {
  std::vector<std::wstring> candidates;
  std::size_t level = 0;
  UniqueHKey key;
  UniqueHandle event;
  UniqueHKey parent;
  UniqueHandle parentEvent;

  std::size_t Unwatched() const { return candidates.size(); }
};

UniqueHKey OpenArmed(HKEY root, const std::wstring& path, bool subtree, DWORD filter, HANDLE event) {
  UniqueHKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_NOTIFY, key.put()) != ERROR_SUCCESS) return key;
  if (RegNotifyChangeKeyValue(key.get(), subtree, filter, event, TRUE) != ERROR_SUCCESS) key.reset();
  return key;
}

// Opens the deepest existing candidate and asks for its next change, and for the next
// change of its parent's subkeys. Everything is made anew, events included: closing a
// key whose watch has not fired yet fires it, and that must not wake this thread. The
// new keys are armed before the old ones are closed, so no change falls between.
void ArmOnce(HKEY root, KeyWatch& watch) {
  UniqueHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  UniqueHandle parentEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  std::size_t level = 0;
  UniqueHKey key;
  for (; event && parentEvent && level < watch.candidates.size() && !key; ++level) {
    key = OpenArmed(root, watch.candidates[level], TRUE, kNotifyFilter, event.get());
  }
  if (!key) {
    watch.key.reset();
    watch.parent.reset();
    watch.level = watch.Unwatched();
    return;
  }
  watch.level = level - 1;
  watch.parent = level < watch.candidates.size()
                     ? OpenArmed(root, watch.candidates[level], FALSE, REG_NOTIFY_CHANGE_NAME, parentEvent.get())
                     : UniqueHKey();
  watch.key = std::move(key);
  watch.event = std::move(event);
  watch.parentEvent = std::move(parentEvent);
}

// A deleted key answers every query with ERROR_KEY_DELETED, and its watch never fires
// again.
bool IsDeleted(HKEY key) {
  return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr) == ERROR_KEY_DELETED;
}

// Two races are closed here, each by arming again from the start. A key made between
// the failed open of it and the arming of its parent fires nothing; it is looked for
// again once the parent is armed. A key deleted between its arming and its parent's
// fires nothing either (as when a driver's list is deleted with its parents, one key
// after the other): the watch would sit on a dead key until the next check.
void Arm(HKEY root, KeyWatch& watch) {
  for (std::size_t attempt = 0; attempt <= watch.candidates.size(); ++attempt) {
    ArmOnce(root, watch);
    if (watch.level == watch.Unwatched()) return;
    if (IsDeleted(watch.key.get())) continue;
    if (watch.level == 0) return;
    UniqueHKey deeper;
    if (RegOpenKeyExW(root, watch.candidates[watch.level - 1].c_str(), 0, KEY_NOTIFY, deeper.put()) != ERROR_SUCCESS) {
      return;
    }
  }
}

// Safety net for a firing that never came: a watch not on its own key, or on a deleted
// one, is set up afresh.
bool NeedsRearming(const KeyWatch& watch) { return watch.level != 0 || IsDeleted(watch.key.get()); }

}  // namespace

RegistryWatcher::RegistryWatcher(HKEY root, std::vector<std::wstring> paths, std::function<bool()> changed)
    : root_(root), paths_(std::move(paths)), changed_(std::move(changed)) {
  stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  watching_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop_ || !watching_) return;
  thread_.reset(CreateThread(nullptr, 0, &RegistryWatcher::ThreadMain, this, 0, nullptr));
}

RegistryWatcher::~RegistryWatcher() {
  if (!thread_) return;
  SetEvent(stop_.get());
  WaitForSingleObject(thread_.get(), INFINITE);
}

void RegistryWatcher::WaitUntilWatching() const {
  if (!thread_) return;
  const HANDLE handles[] = {watching_.get(), thread_.get()};
  WaitForMultipleObjects(2, handles, FALSE, kWatchingTimeout);
}

DWORD WINAPI RegistryWatcher::ThreadMain(void* self) {
  static_cast<RegistryWatcher*>(self)->Watch();
  return 0;
}

void RegistryWatcher::Watch() {
  for (int restarts = 0;; ++restarts) {
    const wchar_t* fault = L"on a failed wait";
    try {
      if (Run(restarts > 0)) return;
    } catch (...) {
      fault = L"on an exception";
    }
    // A report that threw must not block the next one.
    posted_.store(false);
    const bool again = RestartWatcher(restarts, WaitForSingleObject(watching_.get(), 0) == WAIT_OBJECT_0);
    if (!again || restarts == 0) {
      // Joined by hand: the C library's wide printf would add some 20 KB to every program.
      const std::wstring message = std::wstring(L"Uvantic: the registry watcher stopped ") + fault +
                                   (again ? L" and was started again\n" : L" and could not be started again\n");
      OutputDebugStringW(message.c_str());
    }
    if (!again) return;
  }
}

void RegistryWatcher::Post() {
  if (posted_.exchange(true)) return;
  if (!changed_()) posted_.store(false);
}

bool RegistryWatcher::Run(bool reportAtOnce) {
  std::vector<KeyWatch> watches(paths_.size());
  for (std::size_t i = 0; i < paths_.size(); ++i) {
    watches[i].candidates = KeyAndAncestors(paths_[i]);
    Arm(root_, watches[i]);
  }
  SetEvent(watching_.get());
  // Whose each waited-on handle is: the stop request's (null), or a watch's, for its key
  // or its parent.
  std::vector<HANDLE> handles;
  std::vector<KeyWatch*> waited;

  ChangeBurst burst;
  if (reportAtOnce) burst.Changed(ChangeBurst::Clock::now());
  auto nextCheck = ChangeBurst::Clock::now() + std::chrono::milliseconds(kCheckInterval);
  for (;;) {
    const auto now = ChangeBurst::Clock::now();
    const auto wait = burst.WaitBeforeReport(now);
    if (wait && wait->count() == 0) {
      burst.Reported();
      Post();
      continue;
    }
    DWORD timeout = 0;
    if (now < nextCheck) {
      timeout = static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(nextCheck - now).count());
    }
    if (wait) timeout = std::min(timeout, static_cast<DWORD>(wait->count()));
    handles.assign(1, stop_.get());
    waited.assign(1, nullptr);
    for (KeyWatch& watch : watches) {
      if (watch.key) {
        handles.push_back(watch.event.get());
        waited.push_back(&watch);
      }
      if (watch.parent) {
        handles.push_back(watch.parentEvent.get());
        waited.push_back(&watch);
      }
    }
    const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, timeout);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken > WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + handles.size()) {
      KeyWatch& fired = *waited[woken - WAIT_OBJECT_0];
      const std::size_t before = fired.level;
      Arm(root_, fired);
      if (WatchFiringMatters(before, fired.level)) burst.Changed(ChangeBurst::Clock::now());
      continue;
    }
    if (woken != WAIT_TIMEOUT) return false;
    if (ChangeBurst::Clock::now() < nextCheck) continue;
    nextCheck = ChangeBurst::Clock::now() + std::chrono::milliseconds(kCheckInterval);
    for (KeyWatch& watch : watches) {
      if (!NeedsRearming(watch)) continue;
      const std::size_t before = watch.level;
      Arm(root_, watch);
      if (watch.level != before) burst.Changed(ChangeBurst::Clock::now());
    }
  }
}

}  // namespace uvantic
