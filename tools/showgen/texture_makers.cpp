// Texture painters on the float canvas; all of them deterministic.
#include "showgen/texture_makers.h"

#include <algorithm>
#include <cmath>

#include "showgen/bitmap_font.h"
#include "showgen/noise.h"
#include "showgen/random.h"
#include "showgen/vec.h"

namespace tessarine::showgen {

void paintGradient(Canvas& canvas, const Rgba& from, const Rgba& to, bool horizontal) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      double t = horizontal ? (x + 0.5) / canvas.width() : (y + 0.5) / canvas.height();
      canvas.at(x, y) = mixColor(from, to, t);
    }
  }
}

void paintNoise(Canvas& canvas, std::uint64_t seed, NoiseKind kind, int cells, int octaves, const Rgba& color,
                double strength) {
  Noise noise(seed, cells);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      double u = static_cast<double>(x) / canvas.width() * cells, v = static_cast<double>(y) / canvas.height() * cells;
      double n = kind == NoiseKind::kValue ? noise.value(u, v) : noise.fractal(u, v, octaves);
      double t = clamp01(0.5 + 0.5 * n) * strength;
      Rgba& p = canvas.at(x, y);
      Rgba mixed = mixColor(p, color, t);
      p = {mixed[0], mixed[1], mixed[2], p[3]};
    }
  }
}

void paintGlow(Canvas& canvas, double u, double v, double radius, const Rgba& color) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      double du = (x + 0.5) / canvas.width() - u, dv = (y + 0.5) / canvas.height() - v;
      double d = std::sqrt(du * du + dv * dv) / radius;
      if (d >= 1) continue;
      double w = (1 - d) * (1 - d);
      Rgba& p = canvas.at(x, y);
      for (int c = 0; c < 3; ++c) p[c] = std::min(1.0f, static_cast<float>(p[c] + color[c] * w));
      p[3] = std::max(p[3], static_cast<float>(color[3] * w));
    }
  }
}

void paintWindows(Canvas& canvas, std::uint64_t seed, int columns, int rows, const Rgba& litColor,
                  const Rgba& darkColor, double litShare) {
  Random random(seed);
  double cellW = static_cast<double>(canvas.width()) / columns, cellH = static_cast<double>(canvas.height()) / rows;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      bool lit = random.uniform() < litShare;
      double shade = random.uniform(0.6, 1.0);
      Rgba color = lit ? mixColor(darkColor, litColor, shade) : darkColor;
      // A window fills the middle of its cell; the frame around it stays.
      int x0 = static_cast<int>(column * cellW + cellW * 0.2), x1 = static_cast<int>((column + 1) * cellW - cellW * 0.2);
      int y0 = static_cast<int>(row * cellH + cellH * 0.25), y1 = static_cast<int>((row + 1) * cellH - cellH * 0.2);
      for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) canvas.blend(x, y, color);
      }
    }
  }
}

void paintText(Canvas& canvas, const std::string& text, int x, int top, int scale, const Rgba& ink, int halo,
               const Rgba& haloColor) {
  // Ink coverage first, so the halo can be measured from it.
  int w = canvas.width(), h = canvas.height();
  std::vector<float> cover(static_cast<std::size_t>(w) * h, 0);
  int penX = x;
  for (char c : text) {
    if (std::optional<Glyph> glyph = glyphFor(c)) {
      for (int gy = 0; gy < kGlyphHeight; ++gy) {
        for (int gx = 0; gx < kGlyphWidth; ++gx) {
          if (!glyphPixel(*glyph, gx, gy)) continue;
          for (int sy = 0; sy < scale; ++sy) {
            for (int sx = 0; sx < scale; ++sx) {
              int px = penX + gx * scale + sx;
              // Canvas rows count from the bottom (v = 0); text is laid out from the top.
              int py = h - 1 - (top + gy * scale + sy);
              if (px >= 0 && py >= 0 && px < w && py < h) cover[static_cast<std::size_t>(py) * w + px] = 1;
            }
          }
        }
      }
    }
    penX += kGlyphAdvance * scale;
  }
  if (halo > 0) {
    for (int py = 0; py < h; ++py) {
      for (int px = 0; px < w; ++px) {
        float best = 0;
        for (int dy = -halo; dy <= halo; ++dy) {
          int qy = py + dy;
          if (qy < 0 || qy >= h) continue;
          for (int dx = -halo; dx <= halo; ++dx) {
            int qx = px + dx;
            if (qx < 0 || qx >= w || cover[static_cast<std::size_t>(qy) * w + qx] == 0) continue;
            double d = std::sqrt(static_cast<double>(dx * dx + dy * dy)) / (halo + 1);
            best = std::max(best, static_cast<float>((1 - d) * (1 - d)));
          }
        }
        if (best > 0) canvas.blend(px, py, haloColor, best);
      }
    }
  }
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) {
      if (cover[static_cast<std::size_t>(py) * w + px] > 0) canvas.blend(px, py, ink);
    }
  }
}

Canvas makeTextPlate(int width, int height, const std::vector<std::string>& lines, const Rgba& ink,
                     const Rgba& haloColor, const Rgba& inkBottom) {
  Canvas canvas(width, height, {haloColor[0], haloColor[1], haloColor[2], 0});
  if (lines.empty()) return canvas;
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, textWidth(line));
  int count = static_cast<int>(lines.size());
  // The largest whole scale at which the widest line and all lines fit with a margin.
  int byWidth = (width * 7 / 8) / std::max(widest, 1);
  int byHeight = (height * 3 / 4) / (count * (kGlyphHeight + 3));
  int scale = std::max(1, std::min(byWidth, byHeight));
  int lineGap = (height - count * kGlyphHeight * scale) / (count + 1);
  int halo = std::max(1, scale / 2);
  for (int i = 0; i < count; ++i) {
    int top = lineGap + i * (kGlyphHeight * scale + lineGap);
    int left = (width - textWidth(lines[i]) * scale) / 2;
    // Lower lines lean towards the second ink, a gradient down the plate.
    Rgba lineInk = count > 1 ? mixColor(ink, inkBottom, static_cast<double>(i) / (count - 1)) : ink;
    paintText(canvas, lines[i], left, top, scale, lineInk, halo, haloColor);
  }
  return canvas;
}

}  // namespace tessarine::showgen
