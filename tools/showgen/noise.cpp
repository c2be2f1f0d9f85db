// Value and gradient noise from a hash of the lattice coordinates and the seed.
#include "showgen/noise.h"

#include <cmath>

#include "showgen/vec.h"

namespace tessarine::showgen {
namespace {

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
double mix(double a, double b, double t) { return a + (b - a) * t; }

int wrap(int i, int period) {
  int r = i % period;
  return r < 0 ? r + period : r;
}

}  // namespace

Noise::Noise(std::uint64_t seed, int period) : seed_(seed), period_(period < 1 ? 1 : period) {}

std::uint32_t Noise::hash(int ix, int iy) const {
  std::uint64_t h = seed_ ^ (static_cast<std::uint64_t>(wrap(ix, period_)) * 0x9E3779B97F4A7C15ull) ^
                    (static_cast<std::uint64_t>(wrap(iy, period_)) * 0xC2B2AE3D27D4EB4Full);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return static_cast<std::uint32_t>(h);
}

double Noise::value(double x, double y) const {
  int ix = static_cast<int>(std::floor(x));
  int iy = static_cast<int>(std::floor(y));
  double fx = fade(x - ix), fy = fade(y - iy);
  auto at = [this](int i, int j) { return hash(i, j) / 2147483647.5 - 1.0; };
  return mix(mix(at(ix, iy), at(ix + 1, iy), fx), mix(at(ix, iy + 1), at(ix + 1, iy + 1), fx), fy);
}

double Noise::perlin(double x, double y) const {
  int ix = static_cast<int>(std::floor(x));
  int iy = static_cast<int>(std::floor(y));
  double dx = x - ix, dy = y - iy;
  auto grad = [this](int i, int j, double px, double py) {
    double angle = hash(i, j) * (2 * kPi / 4294967296.0);
    return std::cos(angle) * px + std::sin(angle) * py;
  };
  double u = fade(dx), v = fade(dy);
  double n00 = grad(ix, iy, dx, dy), n10 = grad(ix + 1, iy, dx - 1, dy);
  double n01 = grad(ix, iy + 1, dx, dy - 1), n11 = grad(ix + 1, iy + 1, dx - 1, dy - 1);
  // Unit gradients reach at most sqrt(1/2) in between; scale to about [-1, 1].
  return mix(mix(n00, n10, u), mix(n01, n11, u), v) * std::sqrt(2.0);
}

double Noise::fractal(double x, double y, int octaves, double gain) const {
  double sum = 0, amplitude = 1, total = 0, frequency = 1;
  for (int i = 0; i < octaves; ++i) {
    // Each octave keeps the lattice period a whole multiple, so the sum still tiles.
    sum += amplitude * Noise(seed_ + static_cast<std::uint64_t>(i) * 7919, period_ * static_cast<int>(frequency))
                           .perlin(x * frequency, y * frequency);
    total += amplitude;
    amplitude *= gain;
    frequency *= 2;
  }
  return total > 0 ? sum / total : 0;
}

}  // namespace tessarine::showgen
