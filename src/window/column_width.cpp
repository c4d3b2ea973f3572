// Column widths of the device list.
#include "window/column_width.h"

#include <cmath>
#include <limits>

namespace uvantic {
namespace {

// Nearest whole number, halves to the even neighbour, whatever the floating-point
// rounding mode happens to be.
double RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

}  // namespace

bool ColumnWidth(double listWidthTwips, double twipsPerPixel, std::int16_t& w) {
  const double rounded = RoundHalfEven(listWidthTwips - 5 * twipsPerPixel);
  // The whole number is a 32-bit integer before the division.
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  const std::int32_t quotient = static_cast<std::int32_t>(rounded) / 3;
  if (quotient < std::numeric_limits<std::int16_t>::min() || quotient > std::numeric_limits<std::int16_t>::max()) {
    return false;
  }
  w = static_cast<std::int16_t>(quotient);
  return true;
}

float LastColumnWidth(std::int16_t w, double twipsPerPixel) {
  return static_cast<float>(w) + static_cast<float>(twipsPerPixel);
}

int ColumnPixels(double widthTwips, double twipsPerPixel) {
  if (!(widthTwips > 0) || !(twipsPerPixel > 0)) return 0;
  // The small allowance keeps a width that is a whole number of pixels from losing
  // one to a quotient like 108.99999999.
  const double pixels = std::floor(widthTwips / twipsPerPixel + 1e-7);
  if (pixels > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(pixels);
}

}  // namespace uvantic
