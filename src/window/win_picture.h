// The window's pictures: a 32-bit bitmap with premultiplied alpha drawn smoothly
// scaled, and icons loaded at the size they are shown in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/handles.h"
#include "window/layout.h"

namespace uvantic {

class AlphaPicture {
 public:
  // Reads a bitmap resource. Without an alpha channel the picture is drawn opaque.
  bool Load(HINSTANCE instance, int resourceId);
  PixelSize NaturalSize() const { return {width_, height_}; }

  // Prepares the picture at this size (smoothly scaled once, not on every paint): in
  // its own colours, or with shapeColour its shape alone in that colour.
  void ScaleTo(PixelSize size, std::optional<COLORREF> shapeColour = std::nullopt);

  // Draws the prepared picture centred in box.
  void Draw(HDC dc, const RECT& box) const;

 private:
  std::vector<std::uint32_t> pixels_;  // premultiplied, bottom row first
  int width_ = 0;
  int height_ = 0;
  bool hasAlpha_ = false;
  UniqueHBitmap scaled_;
  PixelSize scaledSize_;
  std::optional<COLORREF> scaledColour_;
};

// An icon resource at exactly side by side pixels, null when there is none.
UniqueHIcon LoadIconAtSize(HINSTANCE instance, int resourceId, int side);

// A fully transparent icon, to hold the place of one that cannot be loaded.
UniqueHIcon CreateEmptyIcon(int side);

}  // namespace uvantic
