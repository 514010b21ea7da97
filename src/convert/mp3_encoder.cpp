#include "convert/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>

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

bool Mp3Encoder::Start() {
  if (!m_lame || m_started) return false;
  lame_set_num_channels(m_lame, m_inputChannels);
  if (m_inputRate) lame_set_in_samplerate(m_lame, *m_inputRate);
  if (m_bitRate && !m_vbrQuality) lame_set_brate(m_lame, *m_bitRate);
  if (m_outputRate) lame_set_out_samplerate(m_lame, *m_outputRate);
  if (m_mode) lame_set_mode(m_lame, static_cast<MPEG_mode>(*m_mode));
  if (m_vbrQuality) {
    lame_set_VBR(m_lame, vbr_default);
    lame_set_VBR_quality(m_lame, static_cast<float>(*m_vbrQuality));
  } else {
    lame_set_VBR(m_lame, vbr_off);
  }
  // With the frame on, the library reserves room for it in front of the first audio frame. The
  // frame carries the track's ReplayGain, measured as the command-line encoder does.
  const bool informationFrame = m_vbrQuality || m_gapless;
  lame_set_bWriteVbrTag(m_lame, informationFrame ? 1 : 0);
  lame_set_findReplayGain(m_lame, informationFrame ? 1 : 0);
  // The library quietly replaces an output rate it cannot write; a requested rate is refused
  // instead, like any other rejected parameter. (Bit rates it rounds to the nearest one the
  // chosen MPEG version offers.)
  if (lame_init_params(m_lame) < 0 || (m_outputRate && lame_get_out_samplerate(m_lame) != *m_outputRate)) {
    m_failed = true;
    return false;
  }
  m_output.resize(OutputBufferBytes(kMaxBlockFrames, lame_get_in_samplerate(m_lame), lame_get_out_samplerate(m_lame)));
  if (!m_leadingTag.empty() && !m_file->Write(m_leadingTag.data(), m_leadingTag.size())) {
    m_failed = true;
    return false;
  }
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

bool Mp3Encoder::Encode(const std::int16_t* left, const std::int16_t* right, int frames) {
  if (!m_started || !left || frames < 0) return false;
  // A mono encoder never reads the right channel, but the library wants a valid pointer.
  if (!right) right = left;
  // Blocks larger than the output buffer's worst case go through in pieces.
  for (int done = 0; done < frames; done += kMaxBlockFrames) {
    const int count = std::min(kMaxBlockFrames, frames - done);
    const int bytes = lame_encode_buffer(m_lame, left + done, right + done, count, m_output.data(),
                                         static_cast<int>(m_output.size()));
    if (!WriteOutput(bytes)) return false;
  }
  return true;
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
  return m_file->WriteAt(*m_streamStart, m_output.data(), size);
}

bool Mp3Encoder::Close() {
  if (!m_file || !m_file->IsOpen() || !m_started || m_failed) return false;
  WriteOutput(lame_encode_flush(m_lame, m_output.data(), static_cast<int>(m_output.size())));
  if (!m_failed && !WriteInformationFrame()) m_failed = true;
  if (!m_failed && m_id3 && !m_file->Write(m_id3->data(), m_id3->size())) m_failed = true;
  if (!m_file->Close()) m_failed = true;
  ReleaseEncoder();
  return !m_failed;
}

}  // namespace velmora
