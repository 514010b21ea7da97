#include "audio/ima4_decoder.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {
namespace {

constexpr int kMaxStepIndex = 88;
// A header is a coarse snapshot of the encoder's state: its predictor keeps only the top 9
// bits. While it agrees with where decoding already stands, the running state is the finer one.
constexpr int kPredictorTolerance = 127;
constexpr unsigned kPredictorMask = 0xFF80;
constexpr unsigned kStepIndexMask = 0x7F;
constexpr std::size_t kHeaderBytes = 2;

constexpr std::array<int, kMaxStepIndex + 1> kStepTable = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr std::array<int, 16> kIndexTable = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

}  // namespace

Ima4Decoder::Ima4Decoder(int channels)
    : m_channels(channels),
      m_second(SecondDeliveredChannel(channels)),
      m_blockBytes(static_cast<std::size_t>(channels) * kPacketBytes) {}

void Ima4Decoder::DecodePacket(const std::uint8_t* packet, ChannelState& state, std::int16_t* out) {
  const unsigned header = (unsigned{packet[0]} << 8) | packet[1];
  const int predictor = static_cast<std::int16_t>(header & kPredictorMask);
  const int stepIndex = std::min(static_cast<int>(header & kStepIndexMask), kMaxStepIndex);
  if (!state.started || stepIndex != state.stepIndex ||
      std::abs(predictor - state.predictor) > kPredictorTolerance) {
    state.predictor = predictor;
    state.stepIndex = stepIndex;
    state.started = true;
  }

  int sample = state.predictor;
  int index = state.stepIndex;
  for (int i = 0; i < kPacketFrames; ++i) {
    // The low nibble of each byte is the earlier sample.
    const std::uint8_t byte = packet[kHeaderBytes + static_cast<std::size_t>(i / 2)];
    const unsigned code = (i % 2 == 0) ? (byte & 0x0Fu) : (byte >> 4);
    const int step = kStepTable[static_cast<std::size_t>(index)];
    index = std::clamp(index + kIndexTable[code], 0, kMaxStepIndex);
    int diff = step >> 3;
    if (code & 1) diff += step >> 2;
    if (code & 2) diff += step >> 1;
    if (code & 4) diff += step;
    if (code & 8) diff = -diff;
    sample = std::clamp(sample + diff, -32768, 32767);
    out[i] = static_cast<std::int16_t>(sample);
  }
  state.predictor = sample;
  state.stepIndex = index;
}

int Ima4Decoder::Decode(SoundData& data, void* left, void* right, bool& end) {
  if (data.Remaining() < m_blockBytes) {
    end = true;
    return 0;
  }
  const std::uint8_t* block = data.Here();
  DecodePacket(block, m_state[0], static_cast<std::int16_t*>(left));
  if (m_channels > 1) {
    const auto second = static_cast<std::size_t>(m_second);
    DecodePacket(block + second * kPacketBytes, m_state[second], static_cast<std::int16_t*>(right));
  }
  data.pos += m_blockBytes;
  if (data.pos >= data.end) end = true;
  return kPacketFrames;
}

int Ima4Decoder::DecodeFull(SoundData& data, void* frames, bool& end) {
  if (data.Remaining() < m_blockBytes) {
    end = true;
    return 0;
  }
  const auto channels = static_cast<std::size_t>(m_channels);
  std::array<std::int16_t, kPacketFrames> packet{};
  auto* out = static_cast<std::int32_t*>(frames);
  for (std::size_t c = 0; c < channels; ++c) {
    DecodePacket(data.Here() + c * kPacketBytes, m_state[c], packet.data());
    for (std::size_t i = 0; i < kPacketFrames; ++i) out[i * channels + c] = packet[i];
  }
  data.pos += m_blockBytes;
  if (data.pos >= data.end) end = true;
  return kPacketFrames;
}

std::unique_ptr<BlockDecoder> MakeIma4Decoder(const SourceInfo& info) {
  return std::make_unique<Ima4Decoder>(info.channels);
}

}  // namespace velmora
