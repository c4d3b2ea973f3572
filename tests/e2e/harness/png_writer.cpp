// PNG encoding with stored (uncompressed) deflate blocks.
#include "png_writer.h"

#include <algorithm>
#include <array>

namespace uvantic::e2e {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::vector<std::uint8_t>& body) {
  PutBigEndian(out, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks, at most 65535 bytes each.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  std::size_t offset = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
    const bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length));
    out.push_back(static_cast<std::uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
    offset += length;
  } while (offset < raw.size());
  PutBigEndian(out, Adler32(raw));
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  std::vector<std::uint8_t> filtered;
  filtered.reserve((stride + 1) * height);
  for (int y = 0; y < height; ++y) {
    filtered.push_back(0);  // filter type: none
    filtered.insert(filtered.end(), rgb.begin() + y * stride, rgb.begin() + (y + 1) * stride);
  }

  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(filtered));
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace uvantic::e2e
