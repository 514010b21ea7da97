#pragma once

#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

namespace velmora {

// "DWVW" (delta with variable word width): one bit stream, read most significant bit first,
// of sample differences whose width changes from sample to sample. The samples of all channels
// are interleaved with one shared predictor; channels 0 and 1 are delivered (0 and 3 of six).
// Samples of 8 to 24 bits are delivered as their top 16 bits (truncated), or at full
// resolution left-justified in the next whole byte (12 bits as 16-bit samples). Each call decodes up
// to kMaxBlockFrames frames; the end flag is raised only once the stream has nothing left.
class DwvwDecoder final : public BlockDecoder {
 public:
  explicit DwvwDecoder(int channels, int bitWidth);

  int Decode(SoundData& data, void* left, void* right, bool& end) override;
  int DecodeFull(SoundData& data, void* frames, bool& end) override;

 private:
  int LoadBits(SoundData& data, int count);
  int LoadWidthModifier(SoundData& data);
  // Decodes the next sample, left-justified in 32 bits. False once the stream has run out:
  // a sample whose bits reach past the data is not a real one.
  bool DecodeSample(SoundData& data, std::int32_t& out);

  int m_channels;
  int m_second;
  int m_fullShift;  // from 32 bits down to the full-resolution width
  int m_bitWidth;
  int m_widthModifierLimit;  // longest width-modifier code
  int m_maxDelta;
  int m_span;
  std::uint32_t m_bits = 0;  // bit accumulator; the low m_bitCount bits are unread
  int m_bitCount = 0;
  bool m_exhausted = false;
  int m_lastDeltaWidth = 0;
  int m_lastSample = 0;
};

// The full-resolution width of `bitWidth`-bit DWVW: 8, 16 or 24.
int DwvwFullBits(int bitWidth);

// Null for a sample size outside 8..24.
std::unique_ptr<BlockDecoder> MakeDwvwDecoder(const SourceInfo& info);

}  // namespace velmora
