// Programs this one starts, and the machine it runs on.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/handles.h"

namespace uvantic {

// The machine (IMAGE_FILE_MACHINE_*) this program was built for, and the one the system
// runs natively. They differ for an x86 program on x64 or ARM64 Windows and for an x64
// program emulated on ARM64 Windows.
USHORT ProgramMachine();
USHORT NativeMachine();

// A program this process started, known until this object goes.
class StartedProgram {
 public:
  StartedProgram(UniqueHandle process, DWORD processId) : process_(std::move(process)), processId_(processId) {}

  // Whether it has not ended yet; never waits.
  bool Running() const;
  // Brings its front-most visible top-level window to the foreground, restored if it
  // was minimised. False when it shows none.
  bool BringToFront() const;

 private:
  UniqueHandle process_;
  DWORD processId_;
};

// Starts program, a full path (nothing is searched for it), with this whole command
// line and current directory, its first window shown with showCommand. The child
// inherits this process's environment, with the variables the window set in it, and
// none of its handles. nullopt when it cannot be started.
std::optional<StartedProgram> StartWatchedProgram(const std::wstring& program, std::wstring commandLine,
                                                  const std::wstring& directory, int showCommand);

// Whether a started program may bring a window to the foreground as this process may
// (after a click on its icon, say): for its own window, or a running copy's.
enum class Foreground { Keep, PassOn };

// The same, for a program that then runs on its own. An empty command line gives it
// its quoted path alone, an empty directory this process's current one. Its process id,
// or nullopt when it cannot be started.
std::optional<DWORD> StartProgram(const std::wstring& program, std::wstring commandLine = {},
                                  const std::wstring& directory = {}, int showCommand = SW_SHOWNORMAL,
                                  Foreground foreground = Foreground::Keep);

}  // namespace uvantic
