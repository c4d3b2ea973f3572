// Stands in for the system's hhctrl.ocx in test prefixes: records its loading and each
// HTML Help call as one line in the file named by UVANTIC_HHCTRL_RECORD. Text popups
// are refused, as Wine's own control does, unless UVANTIC_HHCTRL_POPUPS is set.
#include <windows.h>
#include <htmlhelp.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  if (!text) return "(null)";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string Ansi(const char* text) { return text ? text : "(null)"; }

bool PopupsOffered() { return GetEnvironmentVariableW(L"UVANTIC_HHCTRL_POPUPS", nullptr, 0) != 0; }

FILE* OpenRecord() {
  wchar_t recordPath[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"UVANTIC_HHCTRL_RECORD", recordPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return _wfopen(recordPath, L"ab");
}

// One line: "call=<W|A> command=<n> caller=<hex> file=<file>", and for a text popup
// " id=<n> x=<n> y=<n>" before the file, which goes last whatever it holds.
HWND Record(char kind, HWND caller, const std::string& file, UINT command, DWORD_PTR data) {
  FILE* record = OpenRecord();
  if (!record) return nullptr;
  std::fprintf(record, "call=%c command=%u caller=%08lx", kind, command,
               static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(caller)));
  if (command == HH_DISPLAY_TEXT_POPUP && data) {
    const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
    std::fprintf(record, " id=%u x=%ld y=%ld", popup->idString, popup->pt.x, popup->pt.y);
  }
  std::fprintf(record, " file=%s\n", file.c_str());
  std::fclose(record);
  if (command == HH_DISPLAY_TEXT_POPUP && !PopupsOffered()) return nullptr;
  // The caller only looks at whether a window came back.
  return caller ? caller : GetDesktopWindow();
}

}  // namespace

// "loaded": the program has loaded the control.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (FILE* record = OpenRecord()) {
      std::fputs("loaded\n", record);
      std::fclose(record);
    }
  }
  return TRUE;
}

extern "C" HWND WINAPI HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
  return Record('W', caller, Utf8(file), command, data);
}

extern "C" HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  return Record('A', caller, Ansi(file), command, data);
}
