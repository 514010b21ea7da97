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

bool GsmDecoder::DecodeFrame(SoundData& data, bool& end) {
  if (data.Remaining() < kFrameBytes) {
    end = true;
    return false;
  }
  // libgsm takes a non-const frame pointer but only reads it. A frame with a bad signature
  // nibble is damaged: it costs its 20 ms as silence, and decoding goes on with the next one.
  auto* frame = const_cast<std::uint8_t*>(data.Here());
  auto* decoded = m_pending.data() + m_pendingCount;
  if (gsm_decode(m_gsm, frame, decoded) < 0) std::fill_n(decoded, kFrameSamples, std::int16_t{0});
  m_pendingCount += kFrameSamples;
  data.pos += kFrameBytes;
  if (data.pos >= data.end) end = true;
  return true;
}

void GsmDecoder::Consume(std::size_t frames) {
  // Carry the samples of an unfinished channel frame to the front for the next GSM frame.
  const std::size_t used = frames * static_cast<std::size_t>(m_channels);
  m_pendingCount -= used;
  std::memmove(m_pending.data(), m_pending.data() + used, m_pendingCount * sizeof(std::int16_t));
}

int GsmDecoder::Decode(SoundData& data, void* left, void* right, bool& end) {
  if (!DecodeFrame(data, end)) return 0;
  auto* l = static_cast<std::int16_t*>(left);
  auto* r = static_cast<std::int16_t*>(right);
  const auto channels = static_cast<std::size_t>(m_channels);
  const std::size_t frames = m_pendingCount / channels;
  for (std::size_t i = 0; i < frames; ++i) {
    l[i] = m_pending[i * channels];
    if (channels > 1) r[i] = m_pending[i * channels + static_cast<std::size_t>(m_second)];
  }
  Consume(frames);
  return static_cast<int>(frames);
}

int GsmDecoder::DecodeFull(SoundData& data, void* frames, bool& end) {
  if (!DecodeFrame(data, end)) return 0;
  const std::size_t whole = m_pendingCount / static_cast<std::size_t>(m_channels);
  std::copy_n(m_pending.data(), whole * static_cast<std::size_t>(m_channels), static_cast<std::int32_t*>(frames));
  Consume(whole);
  return static_cast<int>(whole);
}

std::unique_ptr<BlockDecoder> MakeGsmDecoder(const SourceInfo& info) {
  auto decoder = std::make_unique<GsmDecoder>(info.channels);
  if (!decoder->Valid()) return nullptr;
  return decoder;
}

}  // namespace velmora
