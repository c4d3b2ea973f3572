// Functions of system libraries that may be missing or older than the function, bound
// at run time by the library's full path in the system directory.
#pragma once

#include <windows.h>

#include <type_traits>

namespace uvantic {

// The address of export `name` of the system library `library` ("devmgr.dll"), or
// null. The library is loaded from the system directory only, never from the program's
// folder or the current directory, where a planted copy could run in our process. It is
// loaded once and then stays loaded while the process runs, so an address stays valid;
// one that cannot be loaded, or lacks the export, is let go and tried again on the next
// call, since another copy may have been installed meanwhile. For the user-interface
// thread.
FARPROC SystemExport(const wchar_t* library, const char* name);

// How an export is looked up: SystemExport, or a test's own.
using SystemExportLookup = FARPROC (*)(const wchar_t* library, const char* name);

// The export as the function it is, or nullptr.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name, SystemExportLookup lookup = &SystemExport) {
  static_assert(std::is_pointer_v<Function> && std::is_function_v<std::remove_pointer_t<Function>>);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(lookup(library, name)));
}

}  // namespace uvantic
