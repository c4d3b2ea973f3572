// "What's This?" decisions and the help file's page table.
#include "window/whats_this.h"

#include <array>
#include <utility>

#include "window/logo_press.h"

namespace uvantic {
namespace {

// The help compiler cannot be trusted to store the context map with in-file paths, so
// the program keeps its own: topic number to page.
constexpr std::array<std::pair<int, std::wstring_view>, 5> kTopicPages{{
    {1, L"/list.htm"},
    {2, L"/properties.htm"},
    {3, L"/devmgmt.htm"},
    {4, L"/close.htm"},
    {5, L"/logo.htm"},
}};

constexpr std::wstring_view kTextPopupFile = L"/cshelp.txt";

std::wstring InFileAddress(std::wstring_view helpFile, std::wstring_view path) {
  std::wstring address(helpFile);
  address += L"::";
  address += path;
  return address;
}

}  // namespace

bool WhatsThisPopup(int buttonCode, LogoPress& logo) {
  if (buttonCode != kButtonRight) return false;
  logo.Clear();
  return true;
}

bool KeyOpensWhatsThis(int keyCode) { return keyCode == kApplicationsKey; }

PixelPoint KeyboardPopupPoint(const PixelRect& control) {
  return {control.left + control.width() / 2, control.top + control.height() / 2};
}

PixelPoint HelpPopupAnchor(PixelPoint mouse, const PixelRect& control) {
  const bool inside = mouse.x >= control.left && mouse.x < control.right && mouse.y >= control.top &&
                      mouse.y < control.bottom;
  return inside ? mouse : KeyboardPopupPoint(control);
}

int HelpTopic(ControlName control) { return Entry(control).helpTopic; }

std::optional<HelpTopicLocation> LocateHelpTopic(std::wstring_view helpFile, int topic) {
  for (const auto& [number, page] : kTopicPages) {
    if (number == topic) return HelpTopicLocation{topic, InFileAddress(helpFile, kTextPopupFile), InFileAddress(helpFile, page)};
  }
  return std::nullopt;
}

std::wstring HelpFileFor(Language language, const std::wstring& registered,
                         const std::function<bool(const std::wstring&)>& exists) {
  const std::size_t folderEnd = registered.rfind(L'\\');
  if (language == Language::English || folderEnd == std::wstring::npos) return registered;
  std::wstring localized = registered.substr(0, folderEnd + 1);
  localized.append(LanguageTag(language)).append(registered, folderEnd, std::wstring::npos);
  return exists(localized) ? localized : registered;
}

}  // namespace uvantic
