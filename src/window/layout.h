// The main window's geometry and controls as data: every control's kind, rectangle in
// twips, caption, tab position and help topic, and the conversion to pixels.
#pragma once

#include <array>
#include <optional>

#include "platform/dpi_choice.h"
#include "texts/texts.h"

namespace uvantic {

inline constexpr int kTwipsPerInch = 1440;

enum class ControlName { imgIcon, lblList, lvwList, cmdProperties, imgLogo, cmdDevmgmt, cmdClose };
enum class ControlKind { Image, Label, ListView, CommandButton };

// Left, top, width and height in twips from the top-left corner of the client area.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct ControlEntry {
  ControlName name;
  const wchar_t* codeName;  // the name the control goes by in this program
  ControlKind kind;
  TwipsRect twips;
  std::optional<TextId> caption;  // "&" in it marks the access key; none for images and the list
  std::optional<int> tabIndex;  // none for controls that never take the focus
  int helpTopic;
  int controlId;  // the child-window identifier; Close has the cancel identifier (2), so Esc clicks it
};

inline constexpr TwipsRect kClientTwips{0, 0, 5385, 5955};

// Top to bottom, as the window shows them.
inline constexpr std::array<ControlEntry, 7> kControls{{
    {ControlName::imgIcon, L"imgIcon", ControlKind::Image, {240, 240, 480, 480}, std::nullopt, std::nullopt, 1, 1001},
    {ControlName::lblList, L"lblList", ControlKind::Label, {240, 840, 4935, 255}, TextId::LabelList, 0, 1, 1002},
    {ControlName::lvwList, L"lvwList", ControlKind::ListView, {240, 1200, 4935, 3255}, std::nullopt, 1, 1, 1003},
    {ControlName::cmdProperties, L"cmdProperties", ControlKind::CommandButton, {4080, 4680, 1095, 375},
     TextId::ButtonProperties, 2, 2, 1004},
    {ControlName::imgLogo, L"imgLogo", ControlKind::Image, {240, 5400, 1635, 390}, std::nullopt, std::nullopt, 5, 1005},
    {ControlName::cmdDevmgmt, L"cmdDevmgmt", ControlKind::CommandButton, {2160, 5400, 1695, 375},
     TextId::ButtonDeviceManager, 3, 3, 1006},
    {ControlName::cmdClose, L"cmdClose", ControlKind::CommandButton, {4080, 5400, 1095, 375}, TextId::ButtonClose, 4, 4,
     2},
}};

const ControlEntry& Entry(ControlName name);

// The order in which the controls are created, which is also their z-order and so the
// order the keyboard visits them in: the tab order first, then the controls that
// never take the focus.
std::array<ControlName, kControls.size()> CreationOrder();

// Twips per pixel at this resolution: 15 at 96 dots per inch.
double TwipsPerPixel(int dpi);

// One coordinate (an edge, not a size) in pixels, rounded to the nearest pixel with
// halves going up. Sizes follow from their edges, so controls whose edges meet or
// line up in twips also do in pixels at every resolution.
int TwipsToPixels(int twips, int dpi);

PixelRect ToPixels(const TwipsRect& rect, int dpi);
PixelSize ClientSizePixels(int dpi);
// The same with a resolution of its own across: the layout grows wider than the font
// alone would make it when a language's texts need the room.
PixelRect ToPixels(const TwipsRect& rect, int dpiAcross, int dpiDown);
PixelSize ClientSizePixels(int dpiAcross, int dpiDown);

// The message font's size at 100 % text on Windows since Vista, in points. Larger text
// (Settings > Accessibility > Text size) enlarges the message font from it.
inline constexpr int kDefaultMessageFontPoints = 9;

// The resolution the twips are laid out at, so that the window grows with its font:
// the screen's, times the message font's size over its default size at that
// resolution, and never less than the screen's. fontPixels is the font's em height
// (a LOGFONT's negative lfHeight). The font is made for the screen's resolution
// already, so comparing it with the default at the same resolution counts the
// resolution once; at the default size the layout stays exactly the screen's.
// Enlarging by the font's size rather than by dialog units keeps the layout's own
// proportions and, at the default size, its pixels.
int TextLayoutDpi(int dpi, int fontPixels);

// The largest layout resolution, at most layoutDpi, at which the window (its client
// area plus frame pixels of frame and title bar) fits in the work area; never below
// dpi, at which the window keeps its design size even on a screen too small for it.
int CapLayoutDpi(int layoutDpi, int dpi, PixelSize frame, PixelSize workArea);

// A width in twips of the layout as twips of the screen: larger by the text's scale,
// and exactly the layout's at the default text size. The list's columns are worked
// out from the list's width on the screen.
double ScreenTwips(int layoutTwips, int layoutDpi, int dpi);

}  // namespace uvantic
