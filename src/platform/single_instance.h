// Tells whether another copy of the program runs in this session, and finds its window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/handles.h"

namespace uvantic {

// Holds a named mutex for as long as it lives. The first copy to create it is the
// running copy; copies started at the same moment are settled by the system, which
// creates the mutex for exactly one of them.
class SingleInstance {
 public:
  explicit SingleInstance(std::wstring_view applicationTitle);

  // True when another copy created the mutex first; nullopt when it could not be
  // created at all.
  std::optional<bool> AnotherCopyRuns() const { return anotherCopyRuns_; }

 private:
  UniqueHandle mutex_;
  std::optional<bool> anotherCopyRuns_;
};

// The mutex name for a title: session-local, so each signed-in user has a copy.
std::wstring SingleInstanceMutexName(std::wstring_view applicationTitle);

// Brings the top-level window of class windowClass captioned title to the front,
// restoring it first when it is minimised; does not wait for anything. False when no
// such window exists or the title is empty.
bool ActivateWindowByTitle(const wchar_t* windowClass, const std::wstring& title);

}  // namespace uvantic
