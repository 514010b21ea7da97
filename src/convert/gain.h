#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// Scale samples in place, truncating toward zero and clipping. The right buffer is used only
// when `channels` is 2. 16-bit samples clip to -32767..32767 (symmetric), 8-bit samples to
// -128..127 around the silence level 128.
void ApplyGain16(std::int16_t* left, std::int16_t* right, int frames, int channels, float factor);
void ApplyGain8(std::uint8_t* left, std::uint8_t* right, int frames, int channels, float factor);

// Scale `count` full-resolution samples in place. Integer samples of `bits` bits (right-
// justified in int32_t) are truncated toward zero and clipped to the width's own limits,
// -2^(bits-1)..2^(bits-1)-1. Float samples (float for 32 bits, double for 64) are scaled
// without clipping at full scale, as a float file holds louder samples without loss; only
// values past the type's largest finite one are held at it.
void ApplyGainFull(void* samples, std::size_t count, int bits, bool isFloat, float factor);

// Scales float samples (1.0 = full scale) by `factor` onto the 16-bit scale without rounding,
// for an encoder that takes them so; clips to -32767..32767 as ApplyGain16 does. NaNs become
// silence.
void ApplyGainTo16BitScale(const float* in, std::size_t count, float factor, float* out);

// Applies a gain to float samples (1.0 = full scale) and reduces them to 16 or 8 bits with
// triangular dither of +-1 step of the output, so that what lies below the last bit survives as
// a signal under a steady noise floor instead of turning into distortion. Results beyond full
// scale clip as ApplyGain16/ApplyGain8 clip. The dither comes from a fixed-seed generator: one
// object per file gives the same bytes for the same file and settings on every run, whatever
// else the batch converts.
class DitheredGain {
 public:
  DitheredGain(int bits, float factor);

  // Writes `count` samples as int16_t (16 bits) or uint8_t around 128 (8 bits).
  void Reduce(const float* in, std::size_t count, void* out);

 private:
  double NextDither();

  int m_bits;
  double m_scale;  // gain times the output's steps per full scale
  std::uint64_t m_state;
};

}  // namespace velmora
