// The device property sheet of devmgr.dll, bound when it is first asked for.
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

}  // namespace uvantic
