// The widths of the device list's three columns, worked out from the list's width.
#pragma once

#include <cstdint>

namespace uvantic {

// The width w of the first two columns, in twips: the list's width less five pixels'
// worth of twips, rounded to the nearest whole number (halves to the even
// neighbour), divided by 3 dropping the remainder. twipsPerPixel is 15 at 96 dots
// per inch. False, with w left as it was, when the quotient does not fit a signed
// 16-bit number or the width is not a finite number.
bool ColumnWidth(double listWidthTwips, double twipsPerPixel, std::int16_t& w);

// The third column is one pixel wider than the others: w plus one pixel's worth of
// twips, summed in single precision.
float LastColumnWidth(std::int16_t w, double twipsPerPixel);

// A column width in twips as the list view's width in pixels. Rounded down, so the
// three columns never add up to more than the list's inside and never bring up a
// horizontal scroll bar; a negative width gives 0.
int ColumnPixels(double widthTwips, double twipsPerPixel);

}  // namespace uvantic
