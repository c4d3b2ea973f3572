// The device property sheet of devmgr.dll, bound when it is first asked for, and the
// start of a program that shows it in a process of its own.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace uvantic {

// Loads devmgr.dll by its full path in the system directory only, never from the
// program's folder or the current directory, where a planted copy could run in our
// process. The library stays loaded for as long as this object lives.
class DevicePropertiesLibrary {
 public:
  // Shows the property sheet for this ANSI command line. False when the library or
  // its entry point cannot be found; the sheet is then not asked for. A failed
  // attempt is tried again on the next call.
  bool Show(HWND owner, HINSTANCE instance, const std::string& commandLine, int showCommand);

 private:
  using RunDllA = void(WINAPI*)(HWND, HINSTANCE, LPCSTR, int);

  bool Bind();

  UniqueHModule module_;
  RunDllA runDll_ = nullptr;
};

// Starts program, a full path (nothing is searched for it), with this whole command
// line and current directory, its first window shown with showCommand. The child
// inherits this process's environment, with the variables the window set in it, and
// none of its handles. False when it cannot be started.
bool StartProgram(const std::wstring& program, std::wstring commandLine, const std::wstring& directory,
                  int showCommand);

}  // namespace uvantic
