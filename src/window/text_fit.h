// Whether the window's texts fit their places in a language, and how far the layout
// grows across so that they do.
#pragma once

#include <array>
#include <span>

#include "window/layout.h"

namespace uvantic {

// Where a text is shown: a control of the table, or one of the list's columns (its
// header and its cells).
struct TextPlace {
  ControlName control = ControlName::lblList;
  int column = -1;  // 0 to 2 for a column of lvwList; -1 for the control itself

  friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

// One text as the window's font draws it, in pixels.
struct MeasuredText {
  TextPlace place;
  int width = 0;
  int height = 0;
};

// The pixels a text needs across and down in its place at the screen's resolution:
// a command button's frame and focus rectangle take 6 pixels a side and 3 above and
// below at 96 dots per inch, a column's header and cell padding 6 a side, a label
// nothing. A column's rows grow with the font, so a column asks for no height.
int NeedsAcross(const MeasuredText& text, int dpi);
int NeedsDown(const MeasuredText& text, int dpi);

// The room a place has, in pixels, with the layout at these resolutions; a column
// has the width its header is given, and no height of its own (0).
int RoomAcross(TextPlace place, int layoutDpiAcross, int dpi);
int RoomDown(TextPlace place, int layoutDpiDown);

// The widths of the list's three columns in pixels at the screen's resolution dpi, with
// the layout across at layoutDpiAcross: w from the list's width in twips, the last
// column one pixel's worth wider. The width is the layout's (grown with the text), not
// the laid-out pixels times the scale, so every resolution gets the twips the layout
// promises. With w out of range all three are 0 but the last, which is one pixel.
std::array<int, 3> ListColumnPixels(int layoutDpiAcross, int dpi);

// The layout's resolution across: the smallest from layoutDpi up at which every text
// fits its place across, as far as the window (its client area plus frameWidth) stays
// within workWidth. English at the default text size needs no more than layoutDpi.
int FitLayoutDpiAcross(std::span<const MeasuredText> texts, int layoutDpi, int dpi, int frameWidth, int workWidth);

}  // namespace uvantic
