// Loading and drawing the window's pictures.
#include "window/win_picture.h"

#include <algorithm>
#include <cstring>

#include "window/high_contrast.h"
#include "window/picture_size.h"
#include "window/scale_pixels.h"

namespace uvantic {

bool AlphaPicture::Load(HINSTANCE instance, int resourceId) {
  UniqueHBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return false;
  DIBSECTION section{};
  if (GetObjectW(bitmap.get(), sizeof(section), &section) != sizeof(section)) return false;
  const BITMAP& info = section.dsBm;
  if (info.bmBitsPixel != 32 || !info.bmBits || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  pixels_.resize(static_cast<std::size_t>(width_) * height_);
  // Rows of 32-bit pixels have no padding. A top-down section is turned bottom-up.
  const bool topDown = section.dsBmih.biHeight < 0;
  const auto* source = static_cast<const std::uint32_t*>(info.bmBits);
  for (int row = 0; row < height_; ++row) {
    const int from = topDown ? height_ - 1 - row : row;
    std::memcpy(&pixels_[static_cast<std::size_t>(row) * width_], source + static_cast<std::size_t>(from) * width_,
                static_cast<std::size_t>(width_) * sizeof(std::uint32_t));
  }
  hasAlpha_ = std::any_of(pixels_.begin(), pixels_.end(), [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
  scaled_.reset();
  return true;
}

void AlphaPicture::ScaleTo(PixelSize size, std::optional<COLORREF> shapeColour) {
  // A picture without alpha has no shape to colour.
  if (!hasAlpha_) shapeColour.reset();
  if (pixels_.empty() || (scaled_ && size == scaledSize_ && shapeColour == scaledColour_)) return;
  std::vector<std::uint32_t> scaled = ScalePremultiplied(pixels_, width_, height_, size.width, size.height);
  if (scaled.empty()) return;
  if (shapeColour) {
    const COLORREF colour = *shapeColour;
    scaled = ShapeInColour(scaled, (Rgb{GetRValue(colour)} << 16) | (Rgb{GetGValue(colour)} << 8) | GetBValue(colour));
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = size.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueHBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return;
  std::memcpy(bits, scaled.data(), scaled.size() * sizeof(std::uint32_t));
  scaled_ = std::move(bitmap);
  scaledSize_ = size;
  scaledColour_ = shapeColour;
}

void AlphaPicture::Draw(HDC dc, const RECT& box) const {
  if (!scaled_) return;
  const PixelRect at = CentredIn({box.left, box.top, box.right, box.bottom}, scaledSize_);
  const UniqueMemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) return;
  const ScopedSelection picture(memory.get(), scaled_.get());
  if (hasAlpha_) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, at.left, at.top, at.width(), at.height(), memory.get(), 0, 0, scaledSize_.width,
               scaledSize_.height, blend);
  } else {
    BitBlt(dc, at.left, at.top, at.width(), at.height(), memory.get(), 0, 0, SRCCOPY);
  }
}

UniqueHIcon LoadIconAtSize(HINSTANCE instance, int resourceId, int side) {
  return UniqueHIcon(
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, side, side, LR_DEFAULTCOLOR)));
}

UniqueHIcon CreateEmptyIcon(int side) {
  // Monochrome icon: a mask of all ones and an image of all zeros draws nothing.
  const std::size_t rowBytes = static_cast<std::size_t>((side + 15) / 16) * 2;
  const std::vector<BYTE> andMask(rowBytes * side, 0xFF);
  const std::vector<BYTE> xorMask(rowBytes * side, 0x00);
  return UniqueHIcon(CreateIcon(nullptr, side, side, 1, 1, andMask.data(), xorMask.data()));
}

}  // namespace uvantic
