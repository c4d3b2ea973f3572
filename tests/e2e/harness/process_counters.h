// What another process holds, counted from outside: resident memory, kernel handles,
// GDI and USER objects. Each counter is -1 when the system does not give it.
#pragma once

#include <windows.h>

#include <string>

namespace uvantic::e2e {

struct ProcessCounters {
  long residentKiB = -1;  // VmRSS of the process' Unix side under Wine
  long handles = -1;      // entries of the system handle table owned by the process
  long gdiObjects = -1;   // GetGuiResources; Wine answers 0
  long userObjects = -1;
  long reportedHandles = -1;  // GetProcessHandleCount; Wine answers 0
};

class ProcessCounter {
 public:
  // executable: the process' full Windows path, by which its Unix process is found.
  ProcessCounter(HANDLE process, DWORD processId, std::wstring executable);
  ProcessCounters Sample();

 private:
  long ResidentKiB();
  long TableHandles() const;

  HANDLE process_;
  DWORD processId_;
  std::wstring executable_;
  long unixPid_ = -1;
};

}  // namespace uvantic::e2e
