// The decisions behind the main window's "What's This?" help: which mouse and key
// events open the popup, where it opens, and where in the help file a topic lives.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "texts/language.h"
#include "window/layout.h"

namespace uvantic {

class LogoPress;

// Virtual-key code of the Applications (context-menu) key.
inline constexpr int kApplicationsKey = 93;

// Popup-menu flags: the item reacts to the right button as well as the left.
inline constexpr unsigned kWhatsThisPopupFlags = 2;

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The mouse path: a button released over a control. Only the right button alone opens
// the popup; it then disarms the logo, so the click that follows the release never
// opens the web site. True when the popup is to be shown at the mouse pointer.
bool WhatsThisPopup(int buttonCode, LogoPress& logo);

// The keyboard path looks at the key code only: Shift, Ctrl and Alt do not matter.
bool KeyOpensWhatsThis(int keyCode);

// Where the keyboard opens the popup: the control's centre, each half rounded down
// before it is added to the edge. Same coordinates in as out.
PixelPoint KeyboardPopupPoint(const PixelRect& control);

// Where a text popup goes when help is asked for through the window's help mode or F1:
// at the mouse pointer when it is over the control, else at the control's centre
// (F1 leaves the pointer wherever it was). Both in screen coordinates.
PixelPoint HelpPopupAnchor(PixelPoint mouse, const PixelRect& control);

int HelpTopic(ControlName control);

// Where a topic lives in the help file: its short text in the file's text-popup
// source, under the topic number, and its full page for the help viewer.
struct HelpTopicLocation {
  int topic = 0;
  std::wstring textPopupSource;  // "<help file>::/cshelp.txt"
  std::wstring pageAddress;      // "<help file>::/<page>.htm"
  friend bool operator==(const HelpTopicLocation&, const HelpTopicLocation&) = default;
};

// None for a number that has no topic.
std::optional<HelpTopicLocation> LocateHelpTopic(std::wstring_view helpFile, int topic);

// The help file in the user's language: for a language other than English, the file of
// the registered one's name in a folder named by the language's tag beside it
// ("C:\Program\de\UvanticFinder.chm") where that file exists; else the registered file.
// Empty when none was registered.
std::wstring HelpFileFor(Language language, const std::wstring& registered,
                         const std::function<bool(const std::wstring&)>& exists);

}  // namespace uvantic
