// Counts another process' memory and handles. Wine gives no per-process handle or GUI
// object count, but it lists every handle in the system table with its owner, and it
// runs each Windows process as a Unix process whose /proc entry shows its memory.
#include "process_counters.h"

#include <cwctype>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/handles.h"

namespace uvantic::e2e {
namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
  USHORT processId;
  USHORT backTraceIndex;
  UCHAR objectType;
  UCHAR attributes;
  USHORT value;
  PVOID object;
  ULONG grantedAccess;
};

struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

std::string ReadWholeFile(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// Wine sets a process' Unix command line to its Windows command line; the first
// argument is the executable's path.
bool RunsExecutable(long unixPid, const std::wstring& executable) {
  const std::string line = ReadWholeFile(L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\cmdline");
  const std::string first = line.substr(0, line.find('\0'));
  std::wstring wide(first.begin(), first.end());
  if (wide.size() >= 2 && wide.front() == L'"') wide = wide.substr(1, wide.find(L'"', 1) - 1);
  return Lower(wide) == Lower(executable);
}

long FindUnixProcess(const std::wstring& executable) {
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return -1;
  long found = -1;
  do {
    const std::wstring name = entry.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const long pid = std::stol(name);
    if (RunsExecutable(pid, executable)) found = pid;
  } while (found < 0 && FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

long StatusField(long unixPid, const char* field) {
  std::istringstream status(ReadWholeFile(L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\status"));
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field)) return std::stol(line.substr(line.find(':') + 1));
  }
  return -1;
}

}  // namespace

ProcessCounter::ProcessCounter(HANDLE process, DWORD processId, std::wstring executable)
    : process_(process), processId_(processId), executable_(std::move(executable)) {}

ProcessCounters ProcessCounter::Sample() {
  ProcessCounters counters;
  counters.residentKiB = ResidentKiB();
  counters.handles = TableHandles();
  counters.gdiObjects = static_cast<long>(GetGuiResources(process_, GR_GDIOBJECTS));
  counters.userObjects = static_cast<long>(GetGuiResources(process_, GR_USEROBJECTS));
  DWORD reported = 0;
  if (GetProcessHandleCount(process_, &reported)) counters.reportedHandles = static_cast<long>(reported);
  return counters;
}

// The Unix process id is looked up again when its entry no longer runs the program.
long ProcessCounter::ResidentKiB() {
  if (unixPid_ < 0 || !RunsExecutable(unixPid_, executable_)) unixPid_ = FindUnixProcess(executable_);
  return unixPid_ < 0 ? -1 : StatusField(unixPid_, "VmRSS:");
}

long ProcessCounter::TableHandles() const {
  const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<char> buffer(1 << 16);
  LONG status = 0;
  for (;;) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status != kInfoLengthMismatch) break;
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
  }
  if (status < 0) return -1;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < table->count; ++i) {
    if (table->entries[i].processId == processId_) ++count;
  }
  return count;
}

}  // namespace uvantic::e2e
