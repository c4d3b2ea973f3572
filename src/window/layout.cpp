// The main window's control table and the twips-to-pixels conversion.
#include "window/layout.h"

#include <algorithm>

namespace uvantic {

const ControlEntry& Entry(ControlName name) {
  return *std::find_if(kControls.begin(), kControls.end(),
                       [name](const ControlEntry& entry) { return entry.name == name; });
}

std::array<ControlName, kControls.size()> CreationOrder() {
  std::array<ControlEntry, kControls.size()> specs = kControls;
  // Controls without a tab index go last, in table order.
  std::stable_sort(specs.begin(), specs.end(), [](const ControlEntry& a, const ControlEntry& b) {
    if (a.tabIndex.has_value() != b.tabIndex.has_value()) return a.tabIndex.has_value();
    return a.tabIndex.value_or(0) < b.tabIndex.value_or(0);
  });
  std::array<ControlName, kControls.size()> order{};
  std::transform(specs.begin(), specs.end(), order.begin(), [](const ControlEntry& entry) { return entry.name; });
  return order;
}

double TwipsPerPixel(int dpi) { return static_cast<double>(kTwipsPerInch) / dpi; }

int TwipsToPixels(int twips, int dpi) {
  // Integer arithmetic so that exact cases stay exact: floor(twips * dpi / 1440 + 1/2).
  const long long scaled = static_cast<long long>(twips) * dpi * 2 + kTwipsPerInch;
  const long long divisor = 2LL * kTwipsPerInch;
  long long quotient = scaled / divisor;
  if (scaled % divisor != 0 && scaled < 0) --quotient;
  return static_cast<int>(quotient);
}

PixelRect ToPixels(const TwipsRect& rect, int dpi) { return ToPixels(rect, dpi, dpi); }

PixelSize ClientSizePixels(int dpi) { return ClientSizePixels(dpi, dpi); }

PixelRect ToPixels(const TwipsRect& rect, int dpiAcross, int dpiDown) {
  return {TwipsToPixels(rect.left, dpiAcross), TwipsToPixels(rect.top, dpiDown),
          TwipsToPixels(rect.right(), dpiAcross), TwipsToPixels(rect.bottom(), dpiDown)};
}

PixelSize ClientSizePixels(int dpiAcross, int dpiDown) {
  const PixelRect client = ToPixels(kClientTwips, dpiAcross, dpiDown);
  return {client.width(), client.height()};
}

int TextLayoutDpi(int dpi, int fontPixels) {
  // The default size as the system makes it at this resolution, rounded to whole pixels.
  const long long defaultPixels = (2LL * kDefaultMessageFontPoints * dpi + 72) / (2 * 72);
  if (dpi <= 0 || defaultPixels <= 0 || fontPixels <= defaultPixels) return dpi;
  // No screen holds the window at eight times its size; the bound keeps the
  // arithmetic, and the search for what fits, small whatever font the system reports.
  const long long largest = 8LL * dpi;
  return static_cast<int>(std::min(largest, (2LL * dpi * fontPixels + defaultPixels) / (2 * defaultPixels)));
}

int CapLayoutDpi(int layoutDpi, int dpi, PixelSize frame, PixelSize workArea) {
  for (int candidate = layoutDpi; candidate > dpi; --candidate) {
    const PixelSize client = ClientSizePixels(candidate);
    if (client.width + frame.width <= workArea.width && client.height + frame.height <= workArea.height) {
      return candidate;
    }
  }
  return dpi;
}

double ScreenTwips(int layoutTwips, int layoutDpi, int dpi) {
  if (layoutDpi == dpi || dpi <= 0) return layoutTwips;
  return static_cast<double>(layoutTwips) * layoutDpi / dpi;
}

}  // namespace uvantic
