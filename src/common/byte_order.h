// Conversions from the byte orders of the file formats to host values.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tessarine::common {

inline std::uint16_t loadU16BE(const unsigned char* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t loadU32BE(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline float loadF32BE(const unsigned char* p) { return std::bit_cast<float>(loadU32BE(p)); }

inline std::uint16_t loadU16LE(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace tessarine::common
