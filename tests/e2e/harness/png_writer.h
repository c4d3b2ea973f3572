// A minimal PNG encoder for screenshots: 8-bit RGB, deflate in stored blocks, so it
// needs no compression library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uvantic::e2e {

// rgb holds height rows of width pixels, 3 bytes each, top row first.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace uvantic::e2e
