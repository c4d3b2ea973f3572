// Picture sizes at the screen's resolution.
#include "window/picture_size.h"

#include <algorithm>

namespace uvantic {

IconScale IconFor(std::initializer_list<int> drawnSizes, int boxPixels) {
  IconScale best;
  int smallest = 0;
  for (int size : drawnSizes) {
    if (size <= 0) continue;
    smallest = smallest == 0 ? size : std::min(smallest, size);
    const int side = size * (boxPixels / size);
    if (side == 0) continue;
    if (side > best.side || (side == best.side && size > best.source)) best = {size, side};
  }
  if (best.side == 0) return {smallest, smallest};
  return best;
}

PixelSize ScaledPictureSize(PixelSize natural, int dpi) {
  auto scale = [dpi](int pixels) {
    return std::max(1, static_cast<int>((2LL * pixels * dpi + kDesignDpi) / (2LL * kDesignDpi)));
  };
  return {scale(natural.width), scale(natural.height)};
}

PixelRect CentredIn(const PixelRect& box, PixelSize picture) {
  const int left = box.left + (box.width() - picture.width) / 2;
  const int top = box.top + (box.height() - picture.height) / 2;
  return {left, top, left + picture.width, top + picture.height};
}

}  // namespace uvantic
