#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/block_decoder.h"
#include "audio/source_info.h"

struct gsm_state;

namespace velmora {

// "GSM ": GSM 06.10 full-rate frames of 33 bytes, 160 samples each, decoded by libgsm. Files
// with several channels carry one stream with every channel's samples interleaved, so a
// frame's samples are dealt out to channels in turn, the leftover of one frame starting the
// next. Each call decodes one frame: 160 frames for mono, fewer for more channels. A damaged
// frame decodes as silence.
class GsmDecoder final : public BlockDecoder {
 public:
  static constexpr std::size_t kFrameBytes = 33;
  static constexpr int kFrameSamples = 160;

  explicit GsmDecoder(int channels);
  ~GsmDecoder() override;
  GsmDecoder(const GsmDecoder&) = delete;
  GsmDecoder& operator=(const GsmDecoder&) = delete;

  // False when libgsm could not create its state.
  bool Valid() const { return m_gsm != nullptr; }

  int Decode(SoundData& data, void* left, void* right, bool& end) override;
  int DecodeFull(SoundData& data, void* frames, bool& end) override;

 private:
  // Decodes one GSM frame behind the pending samples; false (and `end` set) when no whole
  // frame is left.
  bool DecodeFrame(SoundData& data, bool& end);
  // Drops the `frames` whole channel frames at the front of the pending samples.
  void Consume(std::size_t frames);

  // Holds one frame's samples plus a partial channel frame (at most five samples of six
  // channels) carried from the previous one.
  static constexpr std::size_t kPendingSize = kFrameSamples + kMaxChannels - 1;

  gsm_state* m_gsm;
  int m_channels;
  int m_second;
  std::array<std::int16_t, kPendingSize> m_pending{};
  std::size_t m_pendingCount = 0;
};

// Null when the libgsm state cannot be created.
std::unique_ptr<BlockDecoder> MakeGsmDecoder(const SourceInfo& info);

}  // namespace velmora
