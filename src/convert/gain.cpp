#include "convert/gain.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/source_info.h"

namespace velmora {
namespace {

constexpr double kLimit16 = 32767.0;
constexpr double kMin8 = -128.0;
constexpr double kMax8 = 127.0;
constexpr double kFullScale16 = 32768.0;
constexpr double kFullScale8 = 128.0;
// Any fixed value serves: the seed only has to be the same on every run.
constexpr std::uint64_t kDitherSeed = 0x5EED'D17E'4A11'B0A7;

// The product of a sample and a float is exact in double, so truncation sees the true value.
double Scaled(int sample, float factor) { return std::trunc(sample * static_cast<double>(factor)); }

void Gain16(std::int16_t* samples, int frames, float factor) {
  for (int i = 0; i < frames; ++i) {
    samples[i] = static_cast<std::int16_t>(std::clamp(Scaled(samples[i], factor), -kLimit16, kLimit16));
  }
}

void Gain8(std::uint8_t* samples, int frames, float factor) {
  for (int i = 0; i < frames; ++i) {
    const double q = std::clamp(Scaled(samples[i] - kSilence8, factor), kMin8, kMax8);
    samples[i] = static_cast<std::uint8_t>(static_cast<int>(q) + kSilence8);
  }
}

template <typename Float>
void GainFloat(Float* samples, std::size_t count, float factor) {
  constexpr double kLargest = std::numeric_limits<Float>::max();
  for (std::size_t i = 0; i < count; ++i) {
    samples[i] = static_cast<Float>(std::clamp(samples[i] * static_cast<double>(factor), -kLargest, kLargest));
  }
}

}  // namespace

void ApplyGain16(std::int16_t* left, std::int16_t* right, int frames, int channels, float factor) {
  Gain16(left, frames, factor);
  if (channels == 2) Gain16(right, frames, factor);
}

void ApplyGain8(std::uint8_t* left, std::uint8_t* right, int frames, int channels, float factor) {
  Gain8(left, frames, factor);
  if (channels == 2) Gain8(right, frames, factor);
}

void ApplyGainFull(void* samples, std::size_t count, int bits, bool isFloat, float factor) {
  if (isFloat) {
    if (bits == 32) GainFloat(static_cast<float*>(samples), count, factor);
    else GainFloat(static_cast<double*>(samples), count, factor);
    return;
  }
  const double high = std::ldexp(1.0, bits - 1) - 1.0;
  const double low = -high - 1.0;
  auto* ints = static_cast<std::int32_t*>(samples);
  for (std::size_t i = 0; i < count; ++i) {
    ints[i] = static_cast<std::int32_t>(std::clamp(std::trunc(ints[i] * static_cast<double>(factor)), low, high));
  }
}

void ApplyGainTo16BitScale(const float* in, std::size_t count, float factor, float* out) {
  const double scale = static_cast<double>(factor) * kFullScale16;
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = std::isnan(in[i]) ? 0.0f : static_cast<float>(std::clamp(in[i] * scale, -kLimit16, kLimit16));
  }
}

DitheredGain::DitheredGain(int bits, float factor)
    : m_bits(bits),
      m_scale(static_cast<double>(factor) * (bits == 8 ? kFullScale8 : kFullScale16)),
      m_state(kDitherSeed) {}

// Two uniform values from one step of splitmix64, their difference triangular in (-1, 1).
double DitheredGain::NextDither() {
  m_state += 0x9E3779B97F4A7C15;
  std::uint64_t z = m_state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
  z ^= z >> 31;
  constexpr double kUnit = 1.0 / 4294967296.0;
  return (static_cast<double>(z >> 32) - static_cast<double>(z & 0xFFFF'FFFF)) * kUnit;
}

void DitheredGain::Reduce(const float* in, std::size_t count, void* out) {
  // A NaN has no value to keep and becomes silence; infinities clip like any loud sample.
  auto reduced = [&](std::size_t i, double low, double high) {
    const double v = std::isnan(in[i]) ? 0.0 : in[i] * m_scale + NextDither();
    return std::clamp(std::nearbyint(v), low, high);
  };
  if (m_bits == 8) {
    auto* samples = static_cast<std::uint8_t*>(out);
    for (std::size_t i = 0; i < count; ++i) {
      samples[i] = static_cast<std::uint8_t>(static_cast<int>(reduced(i, kMin8, kMax8)) + kSilence8);
    }
    return;
  }
  auto* samples = static_cast<std::int16_t*>(out);
  for (std::size_t i = 0; i < count; ++i) samples[i] = static_cast<std::int16_t>(reduced(i, -kLimit16, kLimit16));
}

}  // namespace velmora
