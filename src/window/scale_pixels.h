// Smooth scaling of a 32-bit picture with premultiplied alpha, for the logo at screen
// resolutions other than the one it was drawn for.
#pragma once

#include <cstdint>
#include <vector>

namespace uvantic {

// pixels holds width * height 32-bit pixels, row after row, with premultiplied alpha
// (each of the four bytes is interpolated alike, which is right only when the colour
// bytes are premultiplied). Returns newWidth * newHeight pixels, bilinearly
// interpolated between pixel centres; the same size returns a copy. Empty when either
// size is not positive or pixels is too short.
std::vector<std::uint32_t> ScalePremultiplied(const std::vector<std::uint32_t>& pixels, int width, int height,
                                              int newWidth, int newHeight);

}  // namespace uvantic
