// Coherent noise for textures and terrain: value noise and Perlin gradient noise on a
// lattice that wraps every `period` cells, so textures tile, and their fractal sums.
#pragma once

#include <cstdint>

namespace tessarine::showgen {

class Noise {
 public:
  // `period` cells before the lattice repeats (at least 1).
  Noise(std::uint64_t seed, int period);

  // Smoothly interpolated random lattice values, in [-1, 1].
  double value(double x, double y) const;
  // Perlin gradient noise, about [-1, 1], 0 on every lattice point.
  double perlin(double x, double y) const;
  // `octaves` layers of Perlin noise, each twice the frequency and `gain` times the
  // amplitude of the one before, scaled back to about [-1, 1].
  double fractal(double x, double y, int octaves, double gain = 0.5) const;

 private:
  std::uint32_t hash(int ix, int iy) const;

  std::uint64_t seed_;
  int period_;
};

}  // namespace tessarine::showgen
