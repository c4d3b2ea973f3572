// Stands in for a system library that is there but unusable: built once with no
// exports at all, and once with an entry point that refuses to load.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
#ifdef UVANTIC_REFUSE_LOAD
  return reason != DLL_PROCESS_ATTACH;
#else
  (void)reason;
  return TRUE;
#endif
}
