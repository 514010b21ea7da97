#pragma once

#include <cstdint>

// The RIFF WAVE layout the WAV writers write and the read-back checks them against.
namespace velmora::wav_layout {

inline constexpr std::uint16_t kFormatPcm = 1;
inline constexpr std::uint16_t kFormatFloat = 3;
inline constexpr std::uint16_t kFormatExtensible = 0xFFFE;
inline constexpr std::uint32_t kPcmFmtBytes = 16;
inline constexpr std::uint32_t kExtensibleFmtBytes = 40;
inline constexpr std::uint16_t kExtensionBytes = 22;  // of the extensible format's fmt chunk
inline constexpr std::uint32_t kChunkHeaderBytes = 8;
inline constexpr std::uint32_t kRiffHeaderBytes = 12;
// The extensible format's sub-format GUIDs differ only in their first two bytes, the format
// tag (kFormatPcm or kFormatFloat); this is the tail they share.
inline constexpr std::uint8_t kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                  0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace velmora::wav_layout
