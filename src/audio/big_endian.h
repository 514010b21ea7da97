#pragma once

#include <cstdint>

namespace velmora {

// Big-endian fields as AIFF, AIFF-C and ID3v2 store them.
inline std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
inline std::uint32_t Be24(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}
inline std::uint32_t Be32(const std::uint8_t* p) { return (Be24(p) << 8) | p[3]; }

}  // namespace velmora
