// Painters for the show's textures: gradients, value and Perlin noise, glows, window
// grids and lines of text in the show's bitmap font.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "showgen/canvas.h"

namespace tessarine::showgen {

// From `from` at v = 0 to `to` at v = 1 (vertical), or along u when `horizontal`.
void paintGradient(Canvas& canvas, const Rgba& from, const Rgba& to, bool horizontal = false);

// Mixes each pixel towards `color` by a noise value mapped from [-1, 1] to [0, 1] and
// multiplied by `strength`. `cells` lattice cells span the canvas, so the result tiles.
enum class NoiseKind { kValue, kPerlin };
void paintNoise(Canvas& canvas, std::uint64_t seed, NoiseKind kind, int cells, int octaves, const Rgba& color,
                double strength);

// Adds a soft round glow centred at (u, v) with `radius` in texture units: full
// `color` at the centre, falling to nothing at the radius. Alpha rises likewise.
void paintGlow(Canvas& canvas, double u, double v, double radius, const Rgba& color);

// A grid of windows: `columns` x `rows` cells, each lit with `litColor` at random
// (probability `litShare`) or left dark; frames between cells keep the canvas colour.
void paintWindows(Canvas& canvas, std::uint64_t seed, int columns, int rows, const Rgba& litColor,
                  const Rgba& darkColor, double litShare);

// Draws `text` with its top-left font pixel at canvas pixel (x, top) (top counted from
// the top row), each font pixel `scale` canvas pixels wide, with a soft halo of `halo`
// pixels around the ink. Characters the font lacks are left blank.
void paintText(Canvas& canvas, const std::string& text, int x, int top, int scale, const Rgba& ink, int halo,
               const Rgba& haloColor);

// A plate texture for lines of text: transparent but for the letters and their halo,
// each line centred, the lines spread evenly from top to bottom.
Canvas makeTextPlate(int width, int height, const std::vector<std::string>& lines, const Rgba& ink,
                     const Rgba& haloColor, const Rgba& inkBottom);

}  // namespace tessarine::showgen
