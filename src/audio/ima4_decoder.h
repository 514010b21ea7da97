#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

namespace velmora {

// "ima4": IMA ADPCM in 34-byte packets, each a 2-byte header and 64 four-bit codes of one
// channel; a block is one packet per channel, in channel order. Each call decodes one block
// into 64 frames. Channels 0 and 1 are delivered (0 and 3 of six) and the other packets are
// skipped, or at full resolution every channel as 16-bit samples.
class Ima4Decoder final : public BlockDecoder {
 public:
  static constexpr std::size_t kPacketBytes = 34;
  static constexpr int kPacketFrames = 64;

  explicit Ima4Decoder(int channels);

  int Decode(SoundData& data, void* left, void* right, bool& end) override;
  int DecodeFull(SoundData& data, void* frames, bool& end) override;

 private:
  struct ChannelState {
    int predictor = 0;
    int stepIndex = 0;
    bool started = false;
  };

  static void DecodePacket(const std::uint8_t* packet, ChannelState& state, std::int16_t* out);

  int m_channels;
  int m_second;  // the channel delivered in the right buffer
  std::size_t m_blockBytes;
  std::array<ChannelState, kMaxChannels> m_state{};  // one per channel of the file
};

std::unique_ptr<BlockDecoder> MakeIma4Decoder(const SourceInfo& info);

}  // namespace velmora
