// The system's HTML Help control, loaded from the system directory the first time
// help is asked for: text popups and pages of a compiled help file.
#pragma once

#include <windows.h>

#include <string>

namespace uvantic {

class HelpDisplay {
 public:
  HelpDisplay() = default;
  HelpDisplay(const HelpDisplay&) = delete;
  HelpDisplay& operator=(const HelpDisplay&) = delete;
  // Closes the help windows it opened.
  ~HelpDisplay();

  // Shows text `id` of a text-popup source ("file.chm::/cshelp.txt") with its top
  // centre at `at`, in screen coordinates. False when no popup was shown: no help
  // control, or one that offers no text popups.
  bool ShowTextPopup(HWND owner, const std::wstring& source, int id, POINT at);

  // Opens a page ("file.chm::/page.htm") in the help viewer; nothing without a help
  // control.
  void ShowPage(HWND owner, const std::wstring& address);

 private:
  using HtmlHelpWFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

  HtmlHelpWFunction Function();

  HtmlHelpWFunction htmlHelpW_ = nullptr;
  bool loadTried_ = false;
};

}  // namespace uvantic
