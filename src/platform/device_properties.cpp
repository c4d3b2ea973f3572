// Binds DeviceProperties_RunDLLA from the system's devmgr.dll.
#include "platform/device_properties.h"

#include "platform/system_directory.h"

namespace uvantic {

bool DevicePropertiesLibrary::Bind() {
  if (runDll_) return true;
  const auto path = SystemDirectoryFile(L"devmgr.dll");
  if (!path) return false;
  // The altered search path also resolves the library's own dependencies from the
  // system directory first rather than from the program's folder.
  UniqueHModule module(LoadLibraryExW(path->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
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

}  // namespace uvantic
