// How big the window's pictures are drawn at a given screen resolution.
#pragma once

#include <initializer_list>

#include "window/layout.h"

namespace uvantic {

// A square icon to draw in a box of boxPixels: which of the sizes the icon is drawn in
// to take (source), and how big to show it (side): the largest size that is a drawn
// size or a whole multiple of one and still fits. Scaling pixel art by a fraction
// blurs or distorts it, so an icon is shown a little smaller instead. Of equal sides
// the larger source wins. With nothing fitting, the smallest drawn size as it is.
struct IconScale {
  int source = 0;
  int side = 0;
  friend bool operator==(const IconScale&, const IconScale&) = default;
};
IconScale IconFor(std::initializer_list<int> drawnSizes, int boxPixels);

// A picture drawn for 96 dots per inch, scaled to this resolution (rounded to the
// nearest pixel, at least 1 by 1).
PixelSize ScaledPictureSize(PixelSize natural, int dpi);

// A picture of this size centred in box (left and top rounded down).
PixelRect CentredIn(const PixelRect& box, PixelSize picture);

}  // namespace uvantic
