// Text to a standard handle: to a console as Unicode, to a pipe or a file as UTF-8; and
// the console's Ctrl+C taken as a request to stop.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/handles.h"

namespace uvantic {

// False when the text could not all be written. A process started without the handle
// has nowhere to write: that is not a failure.
bool WriteStandard(DWORD standardHandle, std::wstring_view text);

// While one lives, Ctrl+C and Ctrl+Break set its event instead of ending the process,
// so that the program can end cleanly between two lines of output. The console runs
// the handler on a thread of its own; it only sets the event.
class ConsoleBreak {
 public:
  ConsoleBreak();
  ~ConsoleBreak();
  ConsoleBreak(const ConsoleBreak&) = delete;
  ConsoleBreak& operator=(const ConsoleBreak&) = delete;

  // Nullptr when no event could be made: the keys then end the process as usual.
  HANDLE Event() const { return event_.get(); }
  bool Requested() const { return event_ && WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0; }

 private:
  UniqueHandle event_;
  bool handling_ = false;
};

}  // namespace uvantic
