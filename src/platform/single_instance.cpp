// Single running copy by a named mutex; activation of the running copy's window.
#include "platform/single_instance.h"

#include <windows.h>

namespace uvantic {

std::wstring SingleInstanceMutexName(std::wstring_view applicationTitle) {
  std::wstring name = L"Local\\";
  for (const wchar_t c : applicationTitle) name.push_back(c == L'\\' ? L'_' : c);
  name.append(L" single instance");
  return name;
}

SingleInstance::SingleInstance(std::wstring_view applicationTitle) {
  const std::wstring name = SingleInstanceMutexName(applicationTitle);
  mutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
  // Read at once: nothing may run between the call and GetLastError.
  const DWORD error = GetLastError();
  if (mutex_) {
    anotherCopyRuns_ = error == ERROR_ALREADY_EXISTS;
  } else if (error == ERROR_ACCESS_DENIED) {
    // The mutex exists but belongs to a copy running with other rights.
    anotherCopyRuns_ = true;
  }
}

bool ActivateWindowByTitle(const wchar_t* windowClass, const std::wstring& title) {
  if (title.empty()) return false;
  HWND window = FindWindowW(windowClass, title.c_str());
  if (!window) return false;
  // Asynchronous, so a running copy that is busy cannot hold up this one.
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  return SetForegroundWindow(window) != FALSE;
}

}  // namespace uvantic
