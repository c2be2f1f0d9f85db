// The show's own bitmap font: 5 x 7 capitals, digits and a little punctuation, drawn
// for this project, for the title and closing plates.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tessarine::showgen {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
// Columns from one letter's start to the next.
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;

// Rows top first; bit 4 of a row is its leftmost column.
using Glyph = std::array<unsigned char, kGlyphHeight>;

// The glyph of `c` (lower case maps to capitals); nothing for a character the font lacks.
std::optional<Glyph> glyphFor(char c);

// Whether the pixel at column `x` (0 left) and row `y` (0 top) of the glyph is set.
inline bool glyphPixel(const Glyph& glyph, int x, int y) { return (glyph[y] >> (kGlyphWidth - 1 - x)) & 1; }

// Width in font pixels of a line of text (no trailing gap).
int textWidth(std::string_view text);

}  // namespace tessarine::showgen
