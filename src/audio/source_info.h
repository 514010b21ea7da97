#pragma once

#include <array>
#include <cstdint>

namespace velmora {

// A block holds at most 1152 frames, the size of one MP3 frame.
inline constexpr int kMaxBlockFrames = 1152;

// An AIFF file holds 1, 2, 3, 4 or 6 channels.
inline constexpr int kMaxChannels = 6;

// 8-bit samples are unsigned with silence in the middle.
inline constexpr int kSilence8 = 128;

// The decoder family of an open file, fixed by the container.
enum class CompressionKind : std::int32_t {
  Ulaw = 1,
  Alaw = 2,
  Float32 = 3,
  Float64 = 4,
  Pcm = 5,
  Ima4 = 6,
  Raw8 = 7,
  Gsm = 8,
  Dwvw = 9,
};

enum class ByteOrder : std::int32_t { LittleEndian = 1, BigEndian = 2 };

// What an open AIFF/AIFF-C file holds and what its reader delivers.
struct SourceInfo {
  std::uint64_t frames = 0;         // sample frames the header announces; for progress and duration
  std::int32_t sampleRate = 0;      // Hz, truncated toward zero; not validated
  std::int32_t channels = 0;        // 1, 2, 3, 4 or 6
  std::int32_t outputChannels = 0;  // channels delivered: 1 or 2
  std::int32_t bitsPerSample = 0;   // COMM sample size, or the size the compression type fixes
  std::int32_t outputBits = 0;      // 8 (unsigned, 128 = silence) or 16 (signed)
  // The full-resolution path (ReadFullBlock): every channel at the width the source decodes
  // to. Integers are 8, 16, 24 or 32 bits, signed and right-justified in int32_t; floats are
  // 32 (float) or 64 (double) bits.
  std::int32_t fullBits = 0;
  bool fullFloat = false;
  CompressionKind compression = CompressionKind::Pcm;
  ByteOrder byteOrder = ByteOrder::BigEndian;
  std::array<char, 4> compressionCode{'N', 'O', 'N', 'E'};  // as stored; "NONE" for plain AIFF
};

}  // namespace velmora
