// Canvases, texture painters and the bitmap font: power-of-two sides, TGA byte order,
// tiling noise, transparent plates with opaque letters.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "common/error.h"
#include "showgen/bitmap_font.h"
#include "showgen/canvas.h"
#include "showgen/noise.h"
#include "showgen/texture_makers.h"

namespace tessarine::showgen {
namespace {

TEST(Canvas, SidesMustBePowersOfTwoTheMipmapsNeedNoScaling) {
  for (auto [w, h] : {std::pair{0, 64}, {64, 0}, {100, 64}, {64, 60}, {-64, 64}, {2048, 64}, {3, 1}}) {
    EXPECT_THROW(Canvas(w, h), common::Error) << w << " x " << h;
  }
  for (auto [w, h] : {std::pair{1, 1}, {512, 128}, {1024, 1024}}) EXPECT_NO_THROW(Canvas(w, h));
}

TEST(Canvas, TgaKeepsBlueGreenRedAndAlphaOnlyWhenAsked) {
  Canvas c(2, 1, {1, 0.5f, 0, 0.25f});
  c.at(1, 0) = {0, 0, 1, 1};
  formats::TgaImage opaque = c.toTga(false);
  EXPECT_EQ(opaque.bitsPerPixel, 24);
  EXPECT_EQ(opaque.pixels, (std::vector<std::uint8_t>{0, 128, 255, 255, 0, 0}));
  formats::TgaImage clear = c.toTga(true);
  EXPECT_EQ(clear.bitsPerPixel, 32);
  EXPECT_EQ(clear.pixels, (std::vector<std::uint8_t>{0, 128, 255, 64, 255, 0, 0, 255}));
}

TEST(Noise, BoundedAndTiling) {
  Noise a(7, 8);
  for (double x = 0; x < 8; x += 0.37) {
    for (double y = 0; y < 8; y += 0.41) {
      EXPECT_LE(std::abs(a.perlin(x, y)), 1.01);
      EXPECT_NEAR(a.fractal(x, y, 4), a.fractal(x + 8, y - 8, 4), 1e-12);
    }
  }
  EXPECT_NEAR(a.perlin(3, 5), 0, 1e-12);  // zero on the lattice
}

TEST(BitmapFont, CoversTheShowsTextsWithDistinctGlyphs) {
  std::set<Glyph> glyphs;
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,'-!:&")) {
    std::optional<Glyph> g = glyphFor(c);
    ASSERT_TRUE(g) << c;
    EXPECT_TRUE(glyphs.insert(*g).second) << "glyph for " << c << " repeats another";
  }
  EXPECT_EQ(glyphFor('q'), glyphFor('Q'));
  EXPECT_FALSE(glyphFor('~'));
  EXPECT_EQ(textWidth("AB"), 11);
}

TEST(TextPlate, ClearAroundOpaqueLettersTheTopLineAtTheTop) {
  Canvas plate = makeTextPlate(128, 64, {"TI", "L"}, {1, 1, 1, 1}, {0, 0, 1, 1}, {1, 1, 1, 1});
  int opaque = 0, clear = 0;
  int topInk = -1, bottomInk = plate.height();
  for (int y = 0; y < plate.height(); ++y) {
    for (int x = 0; x < plate.width(); ++x) {
      const Rgba& p = plate.at(x, y);
      if (p[3] == 0) ++clear;
      if (p[3] > 0.99f && p[0] > 0.99f) {
        ++opaque;
        topInk = std::max(topInk, y);
        bottomInk = std::min(bottomInk, y);
      }
    }
  }
  EXPECT_GT(opaque, 50);
  EXPECT_GT(clear, plate.width() * plate.height() / 2);
  // Row 0 is the bottom (v = 0): the upper line's "T" bar is the highest ink, in the
  // upper half, and the lower line's "L" foot the lowest, in the lower half.
  EXPECT_GT(topInk, plate.height() / 2);
  EXPECT_LT(bottomInk, plate.height() / 2);
}

TEST(TexturePainters, GradientGlowAndWindows) {
  Canvas c(4, 4, {0, 0, 0, 1});
  paintGradient(c, {0, 0, 0, 1}, {1, 1, 1, 1});
  EXPECT_FLOAT_EQ(c.at(0, 0)[0], 0.125f);  // pixel centres: 1/8, 3/8, 5/8, 7/8
  EXPECT_FLOAT_EQ(c.at(3, 3)[0], 0.875f);
  Canvas glow(8, 8, {0, 0, 0, 0});
  paintGlow(glow, 0.5, 0.5, 0.5, {1, 1, 1, 1});
  EXPECT_GT(glow.at(4, 4)[3], 0.6f);
  EXPECT_EQ(glow.at(0, 0)[3], 0);
  Canvas windows(64, 64, {0, 0, 0, 1});
  paintWindows(windows, 3, 4, 4, {1, 1, 0, 1}, {0, 0, 0.2f, 1}, 1.0);
  EXPECT_GT(windows.at(8, 8)[0], 0.5f);  // inside a lit window
  EXPECT_EQ(windows.at(0, 0)[0], 0);    // the frame between windows
}

}  // namespace
}  // namespace tessarine::showgen
