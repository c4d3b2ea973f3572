// The fit of the window's texts, and the layout's resolution across that makes them fit.
#include "window/text_fit.h"

#include <algorithm>
#include <cstdint>

#include "window/column_width.h"

namespace uvantic {
namespace {

int Scaled(int pixelsAt96, int dpi) { return (pixelsAt96 * dpi + kDesignDpi / 2) / kDesignDpi; }

bool IsButton(TextPlace place) { return place.column < 0 && Entry(place.control).kind == ControlKind::CommandButton; }

}  // namespace

int NeedsAcross(const MeasuredText& text, int dpi) {
  const int side = text.place.column >= 0 || IsButton(text.place) ? Scaled(6, dpi) : 0;
  return text.width + 2 * side;
}

int NeedsDown(const MeasuredText& text, int dpi) {
  if (text.place.column >= 0) return 0;
  return text.height + (IsButton(text.place) ? 2 * Scaled(3, dpi) : 0);
}

std::array<int, 3> ListColumnPixels(int layoutDpiAcross, int dpi) {
  const double twipsPerPixel = TwipsPerPixel(dpi);
  std::int16_t w = 0;
  ColumnWidth(ScreenTwips(Entry(ControlName::lvwList).twips.width, layoutDpiAcross, dpi), twipsPerPixel, w);
  const int first = ColumnPixels(w, twipsPerPixel);
  return {first, first, ColumnPixels(LastColumnWidth(w, twipsPerPixel), twipsPerPixel)};
}

int RoomAcross(TextPlace place, int layoutDpiAcross, int dpi) {
  if (place.column >= 0) return ListColumnPixels(layoutDpiAcross, dpi)[static_cast<std::size_t>(place.column % 3)];
  return ToPixels(Entry(place.control).twips, layoutDpiAcross).width();
}

int RoomDown(TextPlace place, int layoutDpiDown) {
  if (place.column >= 0) return 0;
  return ToPixels(Entry(place.control).twips, layoutDpiDown).height();
}

int FitLayoutDpiAcross(std::span<const MeasuredText> texts, int layoutDpi, int dpi, int frameWidth, int workWidth) {
  auto allFit = [&](int candidate) {
    return std::ranges::all_of(texts, [&](const MeasuredText& text) {
      return NeedsAcross(text, dpi) <= RoomAcross(text.place, candidate, dpi);
    });
  };
  auto windowFits = [&](int candidate) {
    return ClientSizePixels(candidate, layoutDpi).width + frameWidth <= workWidth;
  };
  // The same bound as the font's growth keeps the search short whatever is measured.
  const int largest = 8 * std::max(dpi, 1);
  int candidate = layoutDpi;
  while (!allFit(candidate) && candidate < largest && windowFits(candidate + 1)) ++candidate;
  return candidate;
}

}  // namespace uvantic
