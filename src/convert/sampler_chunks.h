#pragma once

#include <cstdint>
#include <vector>

#include "audio/sampler_info.h"

namespace velmora {

// The chunks a WAV file carries a sampler's markers and loops in, each padded to an even size:
// "smpl" (with an instrument: the base note as the unity note, the detune as the pitch fraction,
// one loop record per loop, ends inclusive), "cue " (one point per marker) and a "LIST" chunk of
// type adtl with a "labl" per named marker. Positions are scaled from `sourceRate` to
// `outputRate` and rounded, and kept inside the output's `outputFrames`; a loop left with no
// frames by that is not written. Empty when there is nothing to write.
std::vector<std::uint8_t> BuildWavSamplerChunks(const SamplerInfo& info, int sourceRate, int outputRate,
                                                std::uint64_t outputFrames);

// `chunks` (the tag chunks) followed by the sampler's chunks as above.
inline std::vector<std::uint8_t> WithSamplerChunks(std::vector<std::uint8_t> chunks, const SamplerInfo& info,
                                                   int sourceRate, int outputRate, std::uint64_t outputFrames) {
  const std::vector<std::uint8_t> sampler = BuildWavSamplerChunks(info, sourceRate, outputRate, outputFrames);
  chunks.insert(chunks.end(), sampler.begin(), sampler.end());
  return chunks;
}

}  // namespace velmora
