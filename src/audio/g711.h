#pragma once

#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

namespace velmora {

// G.711 expanders scaled to 16 bits: A-law's 13-bit value times 8 (range -32256..32256, no code
// gives 0), mu-law's 14-bit value times 4 (range -32124..32124).
std::int16_t AlawToLinear(std::uint8_t code);
std::int16_t UlawToLinear(std::uint8_t code);

// "alaw"/"ALAW" and "ulaw"/"ULAW": one code byte per sample, delivered as 16-bit.
std::unique_ptr<BlockDecoder> MakeAlawDecoder(const SourceInfo& info);
std::unique_ptr<BlockDecoder> MakeUlawDecoder(const SourceInfo& info);

}  // namespace velmora
