// A small deterministic random generator (SplitMix64): the show must come out byte for
// byte the same on every build, which the standard distributions do not promise.
#pragma once

#include <cstdint>

namespace tessarine::showgen {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1), from the top 53 bits.
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double uniform(double low, double high) { return low + (high - low) * uniform(); }
  // Uniform in [0, n) for n > 0.
  std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(uniform() * n); }

 private:
  std::uint64_t state_;
};

}  // namespace tessarine::showgen
