// Binds DeviceProperties_RunDLLA from the system's devmgr.dll; starts programs.
#include "platform/device_properties.h"

#include "platform/system_directory.h"

namespace uvantic {

bool DevicePropertiesLibrary::Bind() {
  if (runDll_) return true;
  UniqueHModule module = LoadSystemLibrary(L"devmgr.dll");
  if (!module) return false;
  const auto entry = reinterpret_cast<RunDllA>(
      reinterpret_cast<void*>(GetProcAddress(module.get(), "DeviceProperties_RunDLLA")));
  if (!entry) return false;
  module_ = std::move(module);
  runDll_ = entry;
  return true;
}

bool DevicePropertiesLibrary::Show(HWND owner, HINSTANCE instance, const std::string& commandLine,
                                   int showCommand) {
  if (!Bind()) return false;
  runDll_(owner, instance, commandLine.c_str(), showCommand);
  return true;
}

bool StartProgram(const std::wstring& program, std::wstring commandLine, const std::wstring& directory,
                  int showCommand) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(),
                      &startup, &started)) {
    return false;
  }
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return true;
}

}  // namespace uvantic
