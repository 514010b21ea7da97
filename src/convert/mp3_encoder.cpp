#include "convert/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/source_info.h"
#include "settings/option_limits.h"

namespace velmora {
namespace {

constexpr int kMinBitRate = kMp3BitRates.front();
constexpr int kMaxBitRate = kMp3BitRates.back();
constexpr int kModeStereo = STEREO;
constexpr int kModeJoint = JOINT_STEREO;
constexpr int kModeMono = MONO;
static_assert(kModeStereo == kMp3ModeStereo && kModeJoint == kMp3ModeJointStereo && kModeMono == kMp3ModeMono);

// CRC-16 with the reflected polynomial 0x8005, as the information frame's own check.
std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t size) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
  }
  return crc;
}

// A ReplayGain field of the LAME extension: name code (1 track, 2 album), originator (3: set by
// analysis), sign, and the gain in tenths of a dB (at most 51.1).
std::uint16_t GainField(int name, double gainDb) {
  constexpr int kMaxTenths = 0x1FF;
  constexpr int kOriginatorMeasured = 3;
  const int tenths = std::min(static_cast<int>(std::lround(std::fabs(gainDb) * 10)), kMaxTenths);
  return static_cast<std::uint16_t>(name << 13 | kOriginatorMeasured << 10 | (gainDb < 0 ? 1 << 9 : 0) | tenths);
}

void PutBe(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

// Writes the ReplayGain into the information frame's LAME extension, which follows the 120
// bytes of the "Xing"/"Info" header: the peak (1.0 = 2^23) 11 bytes in, the track and album
// fields after it, and the CRC of everything before it 34 bytes in. False when the frame has
// no such extension.
bool PutReplayGain(std::uint8_t* frame, std::size_t size, const Mp3Encoder::ReplayGain& values) {
  constexpr std::size_t kXingBytes = 120, kPeak = 11, kTrack = 15, kAlbum = 17, kCrc = 34, kSearch = 64;
  constexpr double kPeakOne = 8388608.0;
  for (std::size_t at = 4; at + 4 <= kSearch && at + kXingBytes + kCrc + 2 <= size; ++at) {
    if (std::memcmp(frame + at, "Xing", 4) != 0 && std::memcmp(frame + at, "Info", 4) != 0) continue;
    std::uint8_t* lame = frame + at + kXingBytes;
    if (std::memcmp(lame, "LAME", 4) != 0) return false;
    PutBe(lame + kPeak, static_cast<std::uint32_t>(std::lround(std::clamp(values.peak, 0.0, 255.0) * kPeakOne)), 4);
    PutBe(lame + kTrack, GainField(1, values.trackGain), 2);
    PutBe(lame + kAlbum, values.albumGain ? GainField(2, *values.albumGain) : 0, 2);
    PutBe(lame + kCrc, Crc16(frame, static_cast<std::size_t>(lame + kCrc - frame)), 2);
    return true;
  }
  return false;
}

}  // namespace

Mp3Encoder::~Mp3Encoder() { ReleaseEncoder(); }

void Mp3Encoder::ReleaseEncoder() {
  if (m_lame) lame_close(m_lame);
  m_lame = nullptr;
  m_started = false;
}

bool Mp3Encoder::Open(OutputFile& file) {
  ReleaseEncoder();
  m_file = &file;
  m_failed = !m_file->IsOpen();
  if (m_failed) return false;
  m_lame = lame_init();
  if (!m_lame) m_failed = true;
  return m_lame != nullptr;
}

void Mp3Encoder::SetInputChannels(int channels) { m_inputChannels = std::clamp(channels, 1, 2); }

void Mp3Encoder::SetBitRate(int kbps) { m_bitRate = std::clamp(kbps, kMinBitRate, kMaxBitRate); }

void Mp3Encoder::SetVbrQuality(int quality) {
  if (quality < 0) m_vbrQuality.reset();
  else m_vbrQuality = std::min(quality, kMp3LowestVbrQuality);
}

void Mp3Encoder::SetChannelMode(int mode) {
  m_mode = (mode == kModeStereo || mode == kModeJoint || mode == kModeMono) ? mode : kModeStereo;
}

bool Mp3Encoder::ApplyParameters(lame_global_struct* lame) const {
  lame_set_num_channels(lame, m_inputChannels);
  if (m_inputRate) lame_set_in_samplerate(lame, *m_inputRate);
  if (m_bitRate && !m_vbrQuality) lame_set_brate(lame, *m_bitRate);
  if (m_outputRate) lame_set_out_samplerate(lame, *m_outputRate);
  if (m_mode) lame_set_mode(lame, static_cast<MPEG_mode>(*m_mode));
  if (m_vbrQuality) {
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, static_cast<float>(*m_vbrQuality));
  } else {
    lame_set_VBR(lame, vbr_off);
  }
  // With the frame on, the library reserves room for it in front of the first audio frame. The
  // frame carries the track's ReplayGain, measured as the command-line encoder does.
  const bool informationFrame = m_vbrQuality || m_gapless;
  lame_set_bWriteVbrTag(lame, informationFrame ? 1 : 0);
  lame_set_findReplayGain(lame, informationFrame ? 1 : 0);
  // The library quietly replaces an output rate it cannot write; a requested rate is refused
  // instead, like any other rejected parameter. (Bit rates it rounds to the nearest one the
  // chosen MPEG version offers.)
  return lame_init_params(lame) >= 0 && (!m_outputRate || lame_get_out_samplerate(lame) == *m_outputRate);
}

std::optional<Mp3Encoder::Output> Mp3Encoder::PlannedOutput() const {
  lame_global_struct* lame = lame_init();
  if (!lame) return std::nullopt;
  std::optional<Output> output;
  if (ApplyParameters(lame)) output = Output{lame_get_out_samplerate(lame), lame_get_mode(lame) == MONO ? 1 : 2};
  lame_close(lame);
  return output;
}

bool Mp3Encoder::Start() {
  if (!m_lame || m_started) return false;
  if (!ApplyParameters(m_lame)) {
    m_failed = true;
    return false;
  }
  m_output.resize(OutputBufferBytes(kMaxBlockFrames, lame_get_in_samplerate(m_lame), lame_get_out_samplerate(m_lame)));
  if (!m_leadingTag.empty() && !m_file->Write(m_leadingTag.data(), m_leadingTag.size())) {
    m_failed = true;
    return false;
  }
  std::vector<std::uint8_t>().swap(m_leadingTag);  // a cover can be megabytes; it is written now
  m_streamStart.reset();
  m_started = true;
  return true;
}

std::size_t Mp3Encoder::OutputBufferBytes(int inputFrames, int inputRate, int outputRate) {
  constexpr std::uint64_t kFixedBytes = 7200;
  const auto in = static_cast<std::uint64_t>(std::max(inputRate, 1));
  const auto out = static_cast<std::uint64_t>(std::max(outputRate, 1));
  const std::uint64_t outputSamples = (static_cast<std::uint64_t>(inputFrames) * out + in - 1) / in + 1;
  return static_cast<std::size_t>(outputSamples + (outputSamples + 3) / 4 + kFixedBytes);
}

bool Mp3Encoder::WriteOutput(int bytes) {
  if (bytes < 0) {
    m_failed = true;
    return false;
  }
  if (bytes > 0 && !m_streamStart) m_streamStart = m_file->Size();
  if (bytes > 0 && !m_file->Write(m_output.data(), static_cast<std::size_t>(bytes))) m_failed = true;
  return !m_failed;
}

int Mp3Encoder::BitRate() const { return m_started ? lame_get_brate(m_lame) : 0; }

int Mp3Encoder::OutputRate() const { return m_started ? lame_get_out_samplerate(m_lame) : 0; }

int Mp3Encoder::OutputChannels() const {
  if (!m_started) return 0;
  return lame_get_mode(m_lame) == MONO ? 1 : 2;
}

bool Mp3Encoder::GaplessFrameFits() const {
  if (!m_started || m_vbrQuality || !m_gapless) return true;
  // A frame takes 144 (MPEG-1, from 32 kHz) or 72 (MPEG-2 and 2.5) times bit rate / sample rate
  // bytes. The information frame needs 160 of them, plus the side information: 17 or 32 bytes
  // (mono or stereo) in MPEG-1, 9 or 17 in MPEG-2.
  constexpr int kLowestMpeg1Rate = 32000;
  constexpr long long kInformationFrameBytes = 160;
  const bool mpeg1 = OutputRate() >= kLowestMpeg1Rate;
  const bool mono = lame_get_mode(m_lame) == MONO;
  const long long frameBytes = (mpeg1 ? 144LL : 72LL) * BitRate() * 1000 / OutputRate();
  const long long sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return frameBytes >= kInformationFrameBytes + sideInfo;
}

// Blocks larger than the output buffer's worst case go through in pieces. A mono encoder never
// reads the right channel, but the library wants a valid pointer.
template <typename Sample, typename EncodeBuffer>
bool Mp3Encoder::EncodeInPieces(const Sample* left, const Sample* right, int frames, EncodeBuffer encodeBuffer) {
  if (!m_started || !left || frames < 0) return false;
  if (!right) right = left;
  for (int done = 0; done < frames; done += kMaxBlockFrames) {
    const int count = std::min(kMaxBlockFrames, frames - done);
    const int bytes = encodeBuffer(m_lame, left + done, right + done, count, m_output.data(),
                                   static_cast<int>(m_output.size()));
    if (!WriteOutput(bytes)) return false;
  }
  return true;
}

bool Mp3Encoder::Encode(const std::int16_t* left, const std::int16_t* right, int frames) {
  return EncodeInPieces(left, right, frames, lame_encode_buffer);
}

bool Mp3Encoder::EncodeFloat(const float* left, const float* right, int frames) {
  return EncodeInPieces(left, right, frames, lame_encode_buffer_float);
}

// The final information frame, known only after the flush, replaces the placeholder the library
// put at the start of the stream. Nothing to do when the stream has none: the library leaves it
// out (and gives an empty frame) where a constant-bit-rate frame is too small to hold it, below
// 64 kbit/s.
bool Mp3Encoder::WriteInformationFrame() {
  if (!lame_get_bWriteVbrTag(m_lame)) return true;
  const std::size_t size = lame_get_lametag_frame(m_lame, m_output.data(), m_output.size());
  if (size == 0) return true;
  if (size > m_output.size() || !m_streamStart || m_file->Size() < *m_streamStart + size) return false;
  if (m_replayGain) PutReplayGain(m_output.data(), size, *m_replayGain);
  return m_file->WriteAt(*m_streamStart, m_output.data(), size);
}

bool Mp3Encoder::Close() {
  if (!m_file || !m_file->IsOpen() || !m_started || m_failed) return false;
  WriteOutput(lame_encode_flush(m_lame, m_output.data(), static_cast<int>(m_output.size())));
  // The flush settles the padding; the frames written hold delay, sound and padding.
  const auto frames = static_cast<std::uint64_t>(std::max(lame_get_frameNum(m_lame), 0)) *
                      static_cast<std::uint64_t>(std::max(lame_get_framesize(m_lame), 0));
  const auto around = static_cast<std::uint64_t>(std::max(lame_get_encoder_delay(m_lame), 0)) +
                      static_cast<std::uint64_t>(std::max(lame_get_encoder_padding(m_lame), 0));
  m_outputFrames = frames > around ? frames - around : 0;
  if (!m_failed && !WriteInformationFrame()) m_failed = true;
  if (!m_failed && m_id3 && !m_file->Write(m_id3->data(), m_id3->size())) m_failed = true;
  if (!m_file->Close()) m_failed = true;
  ReleaseEncoder();
  return !m_failed;
}

}  // namespace velmora
