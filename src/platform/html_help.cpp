// HTML Help through a typed pointer into hhctrl.ocx from the system directory.
#include "platform/html_help.h"

#include <htmlhelp.h>

#include "platform/system_function.h"

namespace uvantic {

HelpDisplay::~HelpDisplay() {
  if (htmlHelpW_) htmlHelpW_(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

HelpDisplay::HtmlHelpWFunction HelpDisplay::Function() {
  if (!loadTried_) {
    loadTried_ = true;
    htmlHelpW_ = SystemFunction<HtmlHelpWFunction>(L"hhctrl.ocx", "HtmlHelpW");
  }
  return htmlHelpW_;
}

bool HelpDisplay::ShowTextPopup(HWND owner, const std::wstring& source, int id, POINT at) {
  const HtmlHelpWFunction htmlHelpW = Function();
  if (!htmlHelpW) return false;
  HH_POPUP popup{};
  popup.cbStruct = sizeof(popup);
  popup.idString = static_cast<UINT>(id);
  popup.pt = at;
  popup.clrForeground = static_cast<COLORREF>(-1);  // -1: the system's colours and margins
  popup.clrBackground = static_cast<COLORREF>(-1);
  popup.rcMargins = {-1, -1, -1, -1};
  return htmlHelpW(owner, source.c_str(), HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup)) != nullptr;
}

void HelpDisplay::ShowPage(HWND owner, const std::wstring& address) {
  if (const HtmlHelpWFunction htmlHelpW = Function()) htmlHelpW(owner, address.c_str(), HH_DISPLAY_TOPIC, 0);
}

}  // namespace uvantic
