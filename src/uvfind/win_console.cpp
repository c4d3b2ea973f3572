// Console output: WriteConsoleW shows every character whatever the console's code
// page; a redirected handle gets UTF-8 bytes, which WriteConsoleW cannot give it.
#include "uvfind/win_console.h"

#include <algorithm>
#include <string>

#include "uvfind/cable_output.h"
#include "uvfind/command_line.h"

namespace uvantic {
namespace {

// Older consoles refuse a single write of more than about 64 KiB.
constexpr std::size_t kConsoleChunk = 8192;

bool ToConsole(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::min(text.size(), kConsoleChunk));
    if (!WriteConsoleW(console, text.data(), size, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

bool ToFile(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

static_assert(static_cast<DWORD>(ConsoleControl::CtrlC) == CTRL_C_EVENT &&
              static_cast<DWORD>(ConsoleControl::CtrlBreak) == CTRL_BREAK_EVENT &&
              static_cast<DWORD>(ConsoleControl::Close) == CTRL_CLOSE_EVENT &&
              static_cast<DWORD>(ConsoleControl::Logoff) == CTRL_LOGOFF_EVENT &&
              static_cast<DWORD>(ConsoleControl::Shutdown) == CTRL_SHUTDOWN_EVENT);

// The event of the living ConsoleBreak; the handler has no other way to reach it.
HANDLE breakEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD control) {
  if (!StopsWatch(static_cast<ConsoleControl>(control))) return FALSE;
  SetEvent(breakEvent);
  return TRUE;
}

}  // namespace

ConsoleBreak::ConsoleBreak() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!event_) return;
  breakEvent = event_.get();
  handling_ = SetConsoleCtrlHandler(OnConsoleControl, TRUE) != FALSE;
}

ConsoleBreak::~ConsoleBreak() {
  if (handling_) SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  breakEvent = nullptr;
}

bool WriteStandard(DWORD standardHandle, std::wstring_view text) {
  const HANDLE handle = GetStdHandle(standardHandle);
  if (handle == nullptr) return true;
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) return ToConsole(handle, text);
  return ToFile(handle, ToUtf8(text));
}

}  // namespace uvantic
