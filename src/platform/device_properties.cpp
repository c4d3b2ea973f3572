// Calls DeviceProperties_RunDLLA of the system's devmgr.dll.
#include "platform/device_properties.h"

#include "platform/system_function.h"

namespace uvantic {

bool ShowDeviceProperties(HWND owner, HINSTANCE instance, const std::string& commandLine, int showCommand) {
  using RunDllA = void(WINAPI*)(HWND, HINSTANCE, LPCSTR, int);
  const auto runDll = SystemFunction<RunDllA>(L"devmgr.dll", "DeviceProperties_RunDLLA");
  if (!runDll) return false;
  runDll(owner, instance, commandLine.c_str(), showCommand);
  return true;
}

}  // namespace uvantic
