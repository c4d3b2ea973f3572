// How the window draws when high contrast is on, and the contrast between two colours
// by which that drawing is judged.
#pragma once

#include <cstdint>
#include <vector>

namespace uvantic {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// The contrast ratio of two colours as accessibility guidelines define it: the
// lighter colour's relative luminance plus 0.05 over the darker's plus 0.05, from
// 1 (the same) to 21 (black and white). Text needs 4.5, pictures 3.
double ContrastRatio(Rgb first, Rgb second);

// A picture's shape alone, in one colour: each pixel takes the colour at its own
// alpha. pixels are 32-bit with premultiplied alpha (0xAARRGGBB), as the window's
// pictures keep them. Under high contrast the logo is drawn this way in a system text
// colour, since its own colours are fixed and may vanish on the theme's background.
std::vector<std::uint32_t> ShapeInColour(const std::vector<std::uint32_t>& pixels, Rgb colour);

// How a row of the list is drawn. A ghosted row (a cable that its driver does not
// serve) gets grey text. Selected under high contrast it takes the selection colours
// instead: the theme's grey and highlight colours are not chosen to go together, and
// may be nearly alike.
enum class RowLook { AsTheList, GreyText, SelectionColours };
RowLook LookOfRow(bool ghosted, bool selected, bool highContrast);

}  // namespace uvantic
