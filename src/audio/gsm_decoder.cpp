#include "audio/gsm_decoder.h"

#include <gsm.h>

#include <algorithm>
#include <cstring>

namespace velmora {

GsmDecoder::GsmDecoder(int channels)
    : m_gsm(gsm_create()), m_channels(channels), m_second(SecondDeliveredChannel(channels)) {}

GsmDecoder::~GsmDecoder() {
  if (m_gsm) gsm_destroy(m_gsm);
}

int GsmDecoder::Decode(SoundData& data, void* left, void* right, bool& end) {
  if (data.Remaining() < kFrameBytes) {
    end = true;
    return 0;
  }
  // libgsm takes a non-const frame pointer but only reads it. A frame with a bad signature
  // nibble is damaged: it costs its 20 ms as silence, and decoding goes on with the next one.
  auto* frame = const_cast<std::uint8_t*>(data.Here());
  auto* decoded = m_pending.data() + m_pendingCount;
  if (gsm_decode(m_gsm, frame, decoded) < 0) std::fill_n(decoded, kFrameSamples, std::int16_t{0});
  data.pos += kFrameBytes;
  if (data.pos >= data.end) end = true;

  auto* l = static_cast<std::int16_t*>(left);
  if (m_channels == 1) {
    std::copy_n(decoded, kFrameSamples, l);
    return kFrameSamples;
  }
  auto* r = static_cast<std::int16_t*>(right);
  const auto channels = static_cast<std::size_t>(m_channels);
  const std::size_t available = m_pendingCount + kFrameSamples;
  const std::size_t frames = available / channels;
  for (std::size_t i = 0; i < frames; ++i) {
    l[i] = m_pending[i * channels];
    r[i] = m_pending[i * channels + static_cast<std::size_t>(m_second)];
  }
  // Carry the samples of an unfinished channel frame to the front for the next GSM frame.
  m_pendingCount = available - frames * channels;
  std::memmove(m_pending.data(), m_pending.data() + frames * channels, m_pendingCount * sizeof(std::int16_t));
  return static_cast<int>(frames);
}

std::unique_ptr<BlockDecoder> MakeGsmDecoder(const SourceInfo& info) {
  auto decoder = std::make_unique<GsmDecoder>(info.channels);
  if (!decoder->Valid()) return nullptr;
  return decoder;
}

}  // namespace velmora
