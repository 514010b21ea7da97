#pragma once

#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

namespace velmora {

// One row per AIFF-C compression code: the decoder family, the sample size the code fixes
// (0: the COMM sample size stands) and the byte order of its samples.
struct CompressionEntry {
  char code[4];
  CompressionKind kind;
  int fixedBits;
  ByteOrder byteOrder;
};

// The row for a four-byte code (compared case-sensitively), or null for an unsupported code.
const CompressionEntry* FindCompression(const std::uint8_t* code);

// Creates the block decoder for an opened file and sets info.outputBits, fullBits and fullFloat. Returns null when the
// file's parameters are outside what its decoder handles (e.g. PCM wider than 32 bits).
std::unique_ptr<BlockDecoder> MakeBlockDecoder(SourceInfo& info);

}  // namespace velmora
