#include "convert/wav_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "audio/source_info.h"
#include "convert/little_endian.h"
#include "convert/wav_layout.h"

namespace velmora {
namespace {

using namespace wav_layout;

// A plain file's RIFF size (file size - 8) must fit in 32 bits.
constexpr std::uint64_t kMaxDataBytes = kMaxRiffSize - (WavWriter::kHeaderBytes - 8);

}  // namespace

bool WavWriter::NeedsRf64(std::uint64_t frames, bool stereo, int bitsPerSample, std::uint64_t trailingBytes) {
  const std::uint64_t frameBytes = (stereo ? 2u : 1u) * static_cast<std::uint64_t>(bitsPerSample / 8);
  // Frame counts past 2^60 are not files; they cannot make the product wrap.
  const std::uint64_t dataBytes = std::min<std::uint64_t>(frames, std::uint64_t{1} << 60) * frameBytes;
  const std::uint64_t padBytes = trailingBytes ? dataBytes & 1 : 0;
  return wav_layout::NeedsRf64(kHeaderBytes, dataBytes, padBytes + trailingBytes);
}

bool WavWriter::Open(OutputFile& file, bool stereo, int bitsPerSample, int sampleRate) {
  m_file = &file;
  m_channels = stereo ? 2 : 1;
  m_sampleRate = sampleRate;
  m_dataBytes = 0;
  m_frames = 0;
  m_hash = SampleHash();
  m_tooLarge = false;
  m_failed = !m_file->IsOpen();
  if (m_failed) return false;
  m_scratch.resize(static_cast<std::size_t>(kMaxBlockFrames) * 4 * 2);

  const auto channels = static_cast<std::uint32_t>(m_channels);
  const auto bits = static_cast<std::uint32_t>(bitsPerSample);
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  const std::uint64_t byteRate = std::uint64_t{channels} * bits * rate / 8;
  m_rateTooHigh = sampleRate <= 0 || byteRate > 0xFFFFFFFFull;
  if (m_rateTooHigh) return !(m_failed = true);
  m_rf64 = NeedsRf64(m_plannedFrames, stereo, bitsPerSample, m_trailing.size());
  m_headerBytes = kHeaderBytes + (m_rf64 ? kRf64ExtraBytes : 0);
  std::uint8_t header[kHeaderBytes + kRf64ExtraBytes] = {};
  std::uint8_t* fmt = PutRiffStart(header, m_rf64);
  std::memcpy(fmt, "fmt ", 4);
  PutLe32(fmt + 4, kPcmFmtBytes);
  PutLe16(fmt + 8, kFormatPcm);
  PutLe16(fmt + 10, channels);
  PutLe32(fmt + 12, rate);
  PutLe32(fmt + 16, static_cast<std::uint32_t>(byteRate));
  PutLe16(fmt + 20, channels * bits / 8);
  PutLe16(fmt + 22, bits);
  std::memcpy(fmt + 24, "data", 4);
  if (m_rf64) PutLe32(fmt + 28, kSizeInDs64);
  return m_file->Write(header, m_headerBytes) || (m_failed = true, false);
}

bool WavWriter::Append(const std::uint8_t* bytes, std::size_t size) {
  if (m_failed) return false;
  if (!m_rf64 && m_dataBytes + size > kMaxDataBytes) {
    m_tooLarge = m_failed = true;
    return false;
  }
  m_dataBytes += size;
  if (!m_file->Write(bytes, size)) m_failed = true;
  return !m_failed;
}

void WavWriter::Hash(const std::int16_t* left, const std::int16_t* right, std::size_t frames) {
  m_frames += frames;
  if (!m_hashing) return;
  m_samples.resize(frames * static_cast<std::size_t>(m_channels));
  for (std::size_t i = 0, s = 0; i < frames; ++i) {
    m_samples[s++] = left[i];
    if (m_channels == 2) m_samples[s++] = right[i];
  }
  m_hash.Add(m_samples.data(), m_samples.size());
}

bool WavWriter::Write16(const std::int16_t* left, const std::int16_t* right, int frames) {
  if (frames <= 0) return !m_failed;
  const auto n = static_cast<std::size_t>(frames);
  Hash(left, right, n);
  if (m_scratch.size() < n * 4) m_scratch.resize(n * 4);
  std::uint8_t* out = m_scratch.data();
  if (m_channels == 2) {
    for (std::size_t i = 0; i < n; ++i, out += 4) {
      PutLe16(out, static_cast<std::uint16_t>(left[i]));
      PutLe16(out + 2, static_cast<std::uint16_t>(right[i]));
    }
    return Append(m_scratch.data(), n * 4);
  }
  if constexpr (std::endian::native == std::endian::little) {
    return Append(reinterpret_cast<const std::uint8_t*>(left), n * 2);
  }
  for (std::size_t i = 0; i < n; ++i, out += 2) PutLe16(out, static_cast<std::uint16_t>(left[i]));
  return Append(m_scratch.data(), n * 2);
}

bool WavWriter::Write8(const std::uint8_t* left, const std::uint8_t* right, int frames) {
  if (frames <= 0) return !m_failed;
  const auto n = static_cast<std::size_t>(frames);
  m_frames += n;
  if (m_hashing) {
    // Hashed as signed values, as the lossless writer's 8-bit samples are.
    m_samples.resize(n * static_cast<std::size_t>(m_channels));
    for (std::size_t i = 0, s = 0; i < n; ++i) {
      m_samples[s++] = left[i] - kSilence8;
      if (m_channels == 2) m_samples[s++] = right[i] - kSilence8;
    }
    m_hash.Add(m_samples.data(), m_samples.size());
  }
  if (m_channels == 1) return Append(left, n);
  if (m_scratch.size() < n * 2) m_scratch.resize(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    m_scratch[2 * i] = left[i];
    m_scratch[2 * i + 1] = right[i];
  }
  return Append(m_scratch.data(), n * 2);
}

bool WavWriter::Close() {
  if (!m_file || !m_file->IsOpen() || m_failed) return false;
  std::uint64_t extraBytes = 0;
  if (!m_trailing.empty()) {
    const std::uint8_t pad = 0;
    const std::uint64_t padBytes = m_dataBytes & 1;
    extraBytes = padBytes + m_trailing.size();
    if (!m_rf64 && m_dataBytes + extraBytes > kMaxDataBytes) {
      m_tooLarge = m_failed = true;
      return false;
    }
    m_failed = (padBytes && !m_file->Write(&pad, 1)) || !m_file->Write(m_trailing.data(), m_trailing.size());
    if (m_failed) return false;
  }
  const std::uint64_t riffSize = m_dataBytes + extraBytes + m_headerBytes - 8;
  m_failed = !PatchSizes(*m_file, m_rf64, riffSize, m_dataBytes, m_frames, m_headerBytes - 4);
  if (!m_file->Close()) m_failed = true;
  return !m_failed;
}

FileOutcome WavWriter::Failure() const {
  if (m_rateTooHigh) return FileOutcome::RateFailure(FileReason::WavRateTooHigh, m_sampleRate);
  if (m_tooLarge) return FileOutcome::Failure(FileReason::WavTooLarge);
  return FileOutcome::Failure(FileReason::WriteFailed, {}, m_file ? m_file->Error() : 0);
}

}  // namespace velmora
