#pragma once

#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

namespace velmora {

// Linear PCM, 1 to 32 bits in 1 to 4 bytes, either byte order. Samples are narrowed by
// truncation to 8 bits (unsigned, for sizes up to 8) or 16 bits; no rounding, no dither.
// Returns null for a sample size outside 1..32.
std::unique_ptr<BlockDecoder> MakePcmDecoder(const SourceInfo& info);

// "raw ": unsigned 8-bit offset binary, delivered unchanged.
std::unique_ptr<BlockDecoder> MakeRaw8Decoder(const SourceInfo& info);

}  // namespace velmora
