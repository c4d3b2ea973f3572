// Colours for high contrast, and contrast ratios.
#include "window/high_contrast.h"

#include <algorithm>
#include <cmath>

namespace uvantic {
namespace {

// One sRGB channel, 0 to 255, as linear light.
double Linear(std::uint32_t channel) {
  const double value = channel / 255.0;
  return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(Rgb colour) {
  return 0.2126 * Linear((colour >> 16) & 0xFF) + 0.7152 * Linear((colour >> 8) & 0xFF) +
         0.0722 * Linear(colour & 0xFF);
}

}  // namespace

double ContrastRatio(Rgb first, Rgb second) {
  const double a = RelativeLuminance(first);
  const double b = RelativeLuminance(second);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::vector<std::uint32_t> ShapeInColour(const std::vector<std::uint32_t>& pixels, Rgb colour) {
  std::vector<std::uint32_t> shape;
  shape.reserve(pixels.size());
  for (const std::uint32_t pixel : pixels) {
    const std::uint32_t alpha = pixel >> 24;
    std::uint32_t result = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) {
      result |= ((((colour >> shift) & 0xFF) * alpha + 127) / 255) << shift;
    }
    shape.push_back(result);
  }
  return shape;
}

RowLook LookOfRow(bool ghosted, bool selected, bool highContrast) {
  if (!ghosted) return RowLook::AsTheList;
  return selected && highContrast ? RowLook::SelectionColours : RowLook::GreyText;
}

}  // namespace uvantic
