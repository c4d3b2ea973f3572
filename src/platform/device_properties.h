// The device property sheet of the system's devmgr.dll, shown in this process.
#pragma once

#include <windows.h>

#include <string>

namespace uvantic {

// Shows the property sheet for this ANSI command line; returns when it is closed. False
// when the system has no devmgr.dll or it has no such entry point: nothing is shown
// then. devmgr.dll is bound on the first call that finds it, and only from the system
// directory.
bool ShowDeviceProperties(HWND owner, HINSTANCE instance, const std::string& commandLine, int showCommand);

}  // namespace uvantic
