#pragma once

#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

namespace velmora {

// A float sample (nominally -1..+1) as a 16-bit sample: scaled by 2^31 - 1, truncated toward
// zero, then shifted right arithmetically by 16 (1.0 -> 32767, -1.0 -> -32768, -1e-9 -> -1).
// Values beyond full scale clip, and NaN gives silence.
std::int16_t FloatToSample16(double value);

// "fl32"/"FL32" and "fl64"/"FL64": big-endian IEEE 754 samples, delivered as 16-bit, or
// unchanged as float/double at full resolution.
std::unique_ptr<BlockDecoder> MakeFloat32Decoder(const SourceInfo& info);
std::unique_ptr<BlockDecoder> MakeFloat64Decoder(const SourceInfo& info);

}  // namespace velmora
