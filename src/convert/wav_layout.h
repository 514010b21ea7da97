#pragma once

#include <cstdint>

#include "platform/output_file.h"

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
// A RIFF size is 32 bits. A file whose RIFF size would pass it is written as RF64: "RF64" in
// place of "RIFF", a ds64 chunk right after "WAVE" holding the 64-bit RIFF size, data size and
// frame count (and an empty table of other sizes), and 0xFFFFFFFF in the 32-bit size fields.
inline constexpr std::uint64_t kMaxRiffSize = 0xFFFFFFFF;
inline constexpr std::uint32_t kSizeInDs64 = 0xFFFFFFFF;
inline constexpr std::uint32_t kDs64Bytes = 28;
inline constexpr std::uint32_t kDs64SizesAt = kRiffHeaderBytes + kChunkHeaderBytes;  // RIFF size, data size, frames
inline constexpr std::uint32_t kRf64ExtraBytes = kChunkHeaderBytes + kDs64Bytes;

// Whether a file of a plain `headerBytes` header (data chunk header included), `dataBytes` of
// sound and `afterDataBytes` (a pad byte, trailing chunks) needs RF64.
constexpr bool NeedsRf64(std::uint64_t headerBytes, std::uint64_t dataBytes, std::uint64_t afterDataBytes) {
  // Sizes this large are not files; comparing without a sum that could wrap.
  return dataBytes > kMaxRiffSize || afterDataBytes > kMaxRiffSize ||
         headerBytes - kChunkHeaderBytes + dataBytes + afterDataBytes > kMaxRiffSize;
}

// The extensible format's sub-format GUIDs differ only in their first two bytes, the format
// tag (kFormatPcm or kFormatFloat); this is the tail they share.
inline constexpr std::uint8_t kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                  0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Writes the file's first bytes into `header`: "RIFF" or "RF64", "WAVE" and, for RF64, the ds64
// chunk (its sizes filled in by PatchSizes). Returns where the fmt chunk goes.
std::uint8_t* PutRiffStart(std::uint8_t* header, bool rf64);

// Fills in the sizes of a file whose sound and trailing chunks are written: the ds64 chunk's for
// RF64; else the RIFF size and the data chunk's size field at `dataSizeAt`.
bool PatchSizes(OutputFile& file, bool rf64, std::uint64_t riffSize, std::uint64_t dataBytes, std::uint64_t frames,
                std::uint64_t dataSizeAt);

}  // namespace velmora::wav_layout
