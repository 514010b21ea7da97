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

// A BlockDecoder for one sample conversion of the framing above.
template <typename Out, std::size_t BytesPerSample, typename ConvertSample>
class FramedDecoder final : public BlockDecoder {
 public:
  FramedDecoder(int channels, ConvertSample convert) : m_channels(channels), m_convert(convert) {}

  int Decode(SoundData& data, void* left, void* right, bool& end) override {
    return DecodeFramed<Out, BytesPerSample>(data, m_channels, left, right, end, m_convert);
  }

 private:
  int m_channels;
  ConvertSample m_convert;
};

template <typename Out, std::size_t BytesPerSample, typename ConvertSample>
std::unique_ptr<BlockDecoder> MakeFramedDecoder(int channels, ConvertSample convert) {
  return std::make_unique<FramedDecoder<Out, BytesPerSample, ConvertSample>>(channels, convert);
}

}  // namespace velmora
