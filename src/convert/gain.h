#pragma once

#include <cstdint>

namespace velmora {

// The amplification factor for a coefficient in percent, in single precision as it is
// applied: 10 % gives a factor just below 0.1.
float GainFactor(int percent);

// Scale samples in place, truncating toward zero and clipping. The right buffer is used only
// when `channels` is 2. 16-bit samples clip to -32767..32767 (symmetric), 8-bit samples to
// -128..127 around the silence level 128.
void ApplyGain16(std::int16_t* left, std::int16_t* right, int frames, int channels, float factor);
void ApplyGain8(std::uint8_t* left, std::uint8_t* right, int frames, int channels, float factor);

}  // namespace velmora
