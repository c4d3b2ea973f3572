// Bilinear scaling of premultiplied 32-bit pixels.
#include "window/scale_pixels.h"

#include <algorithm>
#include <cmath>

namespace uvantic {
namespace {

// One axis: for each target position, the two source indices and the weight of the
// second one.
struct Tap {
  int first;
  int second;
  double weight;
};

std::vector<Tap> Taps(int from, int to) {
  std::vector<Tap> taps(static_cast<std::size_t>(to));
  const double ratio = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double centre = std::clamp((i + 0.5) * ratio - 0.5, 0.0, static_cast<double>(from - 1));
    const int first = static_cast<int>(std::floor(centre));
    const int second = std::min(first + 1, from - 1);
    taps[static_cast<std::size_t>(i)] = {first, second, centre - first};
  }
  return taps;
}

}  // namespace

std::vector<std::uint32_t> ScalePremultiplied(const std::vector<std::uint32_t>& pixels, int width, int height,
                                              int newWidth, int newHeight) {
  if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0) return {};
  if (pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return {};
  if (width == newWidth && height == newHeight) {
    return {pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(width) * height};
  }
  const std::vector<Tap> across = Taps(width, newWidth);
  const std::vector<Tap> down = Taps(height, newHeight);
  std::vector<std::uint32_t> scaled(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight));
  auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; };
  for (int y = 0; y < newHeight; ++y) {
    const Tap& v = down[static_cast<std::size_t>(y)];
    for (int x = 0; x < newWidth; ++x) {
      const Tap& h = across[static_cast<std::size_t>(x)];
      const std::uint32_t corners[4] = {at(h.first, v.first), at(h.second, v.first), at(h.first, v.second),
                                        at(h.second, v.second)};
      const double weights[4] = {(1 - h.weight) * (1 - v.weight), h.weight * (1 - v.weight),
                                 (1 - h.weight) * v.weight, h.weight * v.weight};
      std::uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        double channel = 0;
        for (int c = 0; c < 4; ++c) channel += weights[c] * ((corners[c] >> shift) & 0xFF);
        const auto byte = static_cast<std::uint32_t>(std::clamp(std::lround(channel), 0L, 255L));
        result |= byte << shift;
      }
      scaled[static_cast<std::size_t>(y) * newWidth + x] = result;
    }
  }
  return scaled;
}

}  // namespace uvantic
