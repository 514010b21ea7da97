#include "audio/dwvw_decoder.h"

#include <cstddef>

namespace velmora {
namespace {

constexpr int kMinBitWidth = 8;
constexpr int kMaxBitWidth = 24;
constexpr int kOutputShift = 16;  // keep the top 16 bits of a left-justified 32-bit sample

}  // namespace

int DwvwFullBits(int bitWidth) { return (bitWidth + 7) / 8 * 8; }

DwvwDecoder::DwvwDecoder(int channels, int bitWidth)
    : m_channels(channels),
      m_second(SecondDeliveredChannel(channels)),
      m_fullShift(32 - DwvwFullBits(bitWidth)),
      m_bitWidth(bitWidth),
      m_widthModifierLimit(bitWidth / 2),
      m_maxDelta(1 << (bitWidth - 1)),
      m_span(1 << bitWidth) {}

// Reads `count` bits (0..31), or -1 when the data ends first.
int DwvwDecoder::LoadBits(SoundData& data, int count) {
  while (m_bitCount < count) {
    if (data.pos >= data.end) {
      m_exhausted = true;
      return -1;
    }
    m_bits = (m_bits << 8) | data.bytes[data.pos++];
    m_bitCount += 8;
  }
  m_bitCount -= count;
  return static_cast<int>((m_bits >> m_bitCount) & ((1u << count) - 1));
}

// A width modifier is m zero bits and a one bit, except that the longest code (the limit) has
// no terminating one bit. Read bit by bit so that a final sample whose code is short is not
// lost for want of bits it does not use.
int DwvwDecoder::LoadWidthModifier(SoundData& data) {
  int m = 0;
  while (m < m_widthModifierLimit) {
    const int bit = LoadBits(data, 1);
    if (bit < 0) return -1;
    if (bit != 0) break;
    ++m;
  }
  return m;
}

bool DwvwDecoder::DecodeSample(SoundData& data, std::int32_t& out) {
  if (m_exhausted) return false;
  int modifier = LoadWidthModifier(data);
  if (modifier < 0) return false;
  if (modifier != 0 && LoadBits(data, 1) != 0) modifier = -modifier;
  const int width = (m_lastDeltaWidth + modifier + m_bitWidth) % m_bitWidth;

  int delta = 0;
  if (width != 0) {
    delta = LoadBits(data, width - 1) | (1 << (width - 1));
    const int negative = LoadBits(data, 1);
    // The largest delta of a width needs one more bit to tell it from maxDelta.
    if (delta == m_maxDelta - 1) delta += LoadBits(data, 1);
    if (negative != 0) delta = -delta;
  }
  // Every read above that ran out of data has set m_exhausted; such a sample is a fragment.
  if (m_exhausted) return false;

  int sample = m_lastSample + delta;
  if (sample >= m_maxDelta) {
    sample -= m_span;
  } else if (sample < -m_maxDelta) {
    sample += m_span;
  }
  m_lastDeltaWidth = width;
  m_lastSample = sample;
  out = static_cast<std::int32_t>(static_cast<std::uint32_t>(sample) << (32 - m_bitWidth));
  return true;
}

int DwvwDecoder::Decode(SoundData& data, void* left, void* right, bool& end) {
  auto* l = static_cast<std::int16_t*>(left);
  auto* r = static_cast<std::int16_t*>(right);
  int frames = 0;
  for (; frames < kMaxBlockFrames; ++frames) {
    // The whole frame is decoded before it counts; a stream that stops inside a frame drops
    // that frame's samples (for stereo, an unpaired last left sample).
    bool whole = true;
    for (int channel = 0; channel < m_channels && whole; ++channel) {
      std::int32_t sample = 0;
      whole = DecodeSample(data, sample);
      const auto out = static_cast<std::int16_t>(sample >> kOutputShift);
      if (channel == 0) {
        l[frames] = out;
      } else if (channel == m_second) {
        r[frames] = out;
      }
    }
    if (!whole) break;
  }
  if (m_exhausted) end = true;
  return frames;
}

int DwvwDecoder::DecodeFull(SoundData& data, void* frames, bool& end) {
  auto* out = static_cast<std::int32_t*>(frames);
  const auto channels = static_cast<std::size_t>(m_channels);
  std::size_t done = 0;
  for (; done < static_cast<std::size_t>(kMaxBlockFrames); ++done) {
    bool whole = true;
    for (std::size_t channel = 0; channel < channels && whole; ++channel) {
      std::int32_t sample = 0;
      whole = DecodeSample(data, sample);
      out[done * channels + channel] = sample >> m_fullShift;
    }
    if (!whole) break;
  }
  if (m_exhausted) end = true;
  return static_cast<int>(done);
}

std::unique_ptr<BlockDecoder> MakeDwvwDecoder(const SourceInfo& info) {
  if (info.bitsPerSample < kMinBitWidth || info.bitsPerSample > kMaxBitWidth) return nullptr;
  return std::make_unique<DwvwDecoder>(info.channels, info.bitsPerSample);
}

}  // namespace velmora
