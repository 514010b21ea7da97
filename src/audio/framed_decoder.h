#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"

namespace velmora {

// Block framing shared by every decoder with a fixed number of bytes per sample (linear PCM,
// float, G.711, raw): whole frames only, at most kMaxBlockFrames per call, the delivered
// channels picked out of each frame. A trailing partial frame is never decoded: the call that
// meets it returns 0 without setting `end`, and the caller stops on the 0.
template <typename Out, std::size_t BytesPerSample, typename ConvertSample>
int DecodeFramed(SoundData& data, int channels, void* left, void* right, bool& end,
                 ConvertSample convert) {
  const std::size_t frameBytes = static_cast<std::size_t>(channels) * BytesPerSample;
  const std::size_t n = std::min<std::size_t>(kMaxBlockFrames, data.Remaining() / frameBytes);
  const std::uint8_t* p = data.Here();
  auto* l = static_cast<Out*>(left);
  if (channels == 1) {
    for (std::size_t i = 0; i < n; ++i) l[i] = convert(p + i * BytesPerSample);
  } else {
    auto* r = static_cast<Out*>(right);
    const std::size_t second = static_cast<std::size_t>(SecondDeliveredChannel(channels)) * BytesPerSample;
    for (std::size_t i = 0; i < n; ++i, p += frameBytes) {
      l[i] = convert(p);
      r[i] = convert(p + second);
    }
  }
  data.pos += n * frameBytes;
  if (data.pos >= data.end) end = true;
  return static_cast<int>(n);
}

// The same framing at full resolution: every sample of every whole frame, in file order.
template <typename FullOut, std::size_t BytesPerSample, typename ConvertFull>
int DecodeFramedFull(SoundData& data, int channels, void* frames, bool& end, ConvertFull convert) {
  const std::size_t frameBytes = static_cast<std::size_t>(channels) * BytesPerSample;
  const std::size_t n = std::min<std::size_t>(kMaxBlockFrames, data.Remaining() / frameBytes);
  const std::size_t samples = n * static_cast<std::size_t>(channels);
  const std::uint8_t* p = data.Here();
  auto* out = static_cast<FullOut*>(frames);
  for (std::size_t i = 0; i < samples; ++i) out[i] = convert(p + i * BytesPerSample);
  data.pos += n * frameBytes;
  if (data.pos >= data.end) end = true;
  return static_cast<int>(n);
}

// A BlockDecoder for one sample conversion of the framing above: `convert` gives the 8/16-bit
// sample, `convertFull` the full-resolution one.
template <typename Out, std::size_t BytesPerSample, typename FullOut, typename ConvertSample, typename ConvertFull>
class FramedDecoder final : public BlockDecoder {
 public:
  FramedDecoder(int channels, ConvertSample convert, ConvertFull convertFull)
      : m_channels(channels), m_convert(convert), m_convertFull(convertFull) {}

  int Decode(SoundData& data, void* left, void* right, bool& end) override {
    return DecodeFramed<Out, BytesPerSample>(data, m_channels, left, right, end, m_convert);
  }

  int DecodeFull(SoundData& data, void* frames, bool& end) override {
    return DecodeFramedFull<FullOut, BytesPerSample>(data, m_channels, frames, end, m_convertFull);
  }

 private:
  int m_channels;
  ConvertSample m_convert;
  ConvertFull m_convertFull;
};

template <typename Out, std::size_t BytesPerSample, typename FullOut, typename ConvertSample, typename ConvertFull>
std::unique_ptr<BlockDecoder> MakeFramedDecoder(int channels, ConvertSample convert, ConvertFull convertFull) {
  return std::make_unique<FramedDecoder<Out, BytesPerSample, FullOut, ConvertSample, ConvertFull>>(
      channels, convert, convertFull);
}

}  // namespace velmora
