#include "convert/wav_full_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "audio/source_info.h"
#include "convert/little_endian.h"
#include "convert/wav_layout.h"

namespace velmora {
namespace {

using namespace wav_layout;

constexpr std::uint32_t kFactBytes = 4;

constexpr std::uint32_t kSpeakerFrontLeft = 0x1;
constexpr std::uint32_t kSpeakerFrontRight = 0x2;
constexpr std::uint32_t kSpeakerFrontCentre = 0x4;

bool Extensible(const WavFullFormat& f) { return f.isFloat || f.channels > 2 || f.bits > 16; }

// The plain header's bytes: RIFF header, fmt chunk, a fact chunk for the extensible format,
// and the data chunk's header.
std::uint32_t PlainHeaderBytes(const WavFullFormat& f) {
  return Extensible(f) ? kRiffHeaderBytes + 3 * kChunkHeaderBytes + kExtensibleFmtBytes + kFactBytes
                       : kRiffHeaderBytes + 2 * kChunkHeaderBytes + kPcmFmtBytes;
}

bool ValidFormat(const WavFullFormat& f) {
  if (f.channels < 1 || f.channels > kMaxChannels) return false;
  if (f.isFloat) return f.bits == 32 || f.bits == 64;
  return f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32;
}

// Packs `samples` samples into little-endian bytes of the format's width.
void Pack(const void* frames, std::size_t samples, const WavFullFormat& f, std::uint8_t* out) {
  if (f.isFloat && f.bits == 32) {
    const auto* in = static_cast<const float*>(frames);
    for (std::size_t i = 0; i < samples; ++i, out += 4) PutLe32(out, std::bit_cast<std::uint32_t>(in[i]));
    return;
  }
  if (f.isFloat) {
    const auto* in = static_cast<const double*>(frames);
    for (std::size_t i = 0; i < samples; ++i, out += 8) PutLe64(out, std::bit_cast<std::uint64_t>(in[i]));
    return;
  }
  const auto* in = static_cast<const std::int32_t*>(frames);
  switch (f.bits) {
    case 8:
      // WAV's 8-bit samples are unsigned, silence in the middle.
      for (std::size_t i = 0; i < samples; ++i) out[i] = static_cast<std::uint8_t>(in[i] + kSilence8);
      return;
    case 16:
      for (std::size_t i = 0; i < samples; ++i, out += 2) PutLe16(out, static_cast<std::uint32_t>(in[i]));
      return;
    case 24:
      for (std::size_t i = 0; i < samples; ++i, out += 3) {
        const auto v = static_cast<std::uint32_t>(in[i]);
        PutLe16(out, v);
        out[2] = static_cast<std::uint8_t>(v >> 16);
      }
      return;
    default:
      for (std::size_t i = 0; i < samples; ++i, out += 4) PutLe32(out, static_cast<std::uint32_t>(in[i]));
      return;
  }
}

}  // namespace

std::uint32_t WavChannelMask(int channels) {
  switch (channels) {
    case 1: return kSpeakerFrontCentre;
    case 2: return kSpeakerFrontLeft | kSpeakerFrontRight;
    case 3: return kSpeakerFrontLeft | kSpeakerFrontRight | kSpeakerFrontCentre;
    default: return 0;
  }
}

bool WavFullWriter::NeedsRf64(std::uint64_t frames, const WavFullFormat& format, std::uint64_t trailingBytes) {
  const auto frameBytes = static_cast<std::uint64_t>(std::max(format.channels, 0)) *
                          static_cast<std::uint64_t>(std::max(format.bits, 0) / 8);
  // Frame counts past 2^50 are not files; they cannot make the product wrap.
  const std::uint64_t dataBytes = std::min<std::uint64_t>(frames, std::uint64_t{1} << 50) * frameBytes;
  return wav_layout::NeedsRf64(PlainHeaderBytes(format), dataBytes, (dataBytes & 1) + trailingBytes);
}

bool WavFullWriter::Open(OutputFile& file, const WavFullFormat& format) {
  m_file = &file;
  m_format = format;
  m_frames = m_dataBytes = 0;
  m_hash = SampleHash();
  m_tooLarge = m_rateTooHigh = false;
  m_failed = !m_file->IsOpen() || !ValidFormat(format);
  if (m_failed) return false;

  const auto channels = static_cast<std::uint32_t>(format.channels);
  const auto bits = static_cast<std::uint32_t>(format.bits);
  const auto rate = static_cast<std::uint32_t>(format.sampleRate);
  const std::uint64_t byteRate = std::uint64_t{channels} * bits / 8 * rate;
  m_rateTooHigh = format.sampleRate <= 0 || byteRate > 0xFFFFFFFFull;
  if (m_rateTooHigh) return !(m_failed = true);

  const bool extensible = Extensible(format);
  const std::uint32_t fmtBytes = extensible ? kExtensibleFmtBytes : kPcmFmtBytes;
  m_rf64 = NeedsRf64(m_plannedFrames, format, m_trailing.size());
  std::uint8_t header[kRf64ExtraBytes + kRiffHeaderBytes + 3 * kChunkHeaderBytes + kExtensibleFmtBytes + kFactBytes] = {};
  std::uint8_t* fmt = PutRiffStart(header, m_rf64);
  std::memcpy(fmt, "fmt ", 4);
  PutLe32(fmt + 4, fmtBytes);
  fmt += kChunkHeaderBytes;
  PutLe16(fmt, extensible ? kFormatExtensible : kFormatPcm);
  PutLe16(fmt + 2, channels);
  PutLe32(fmt + 4, rate);
  PutLe32(fmt + 8, static_cast<std::uint32_t>(byteRate));
  PutLe16(fmt + 12, channels * bits / 8);
  PutLe16(fmt + 14, bits);
  if (extensible) {
    PutLe16(fmt + 16, kExtensionBytes);
    PutLe16(fmt + 18, bits);  // every bit of the container is valid
    PutLe32(fmt + 20, WavChannelMask(format.channels));
    PutLe16(fmt + 24, format.isFloat ? kFormatFloat : kFormatPcm);
    std::memcpy(fmt + 26, kSubtypeTail, sizeof kSubtypeTail);
  }
  std::uint8_t* next = fmt + fmtBytes;
  // A WAV file of any format but plain PCM carries its frame count in a fact chunk.
  m_factOffset = 0;
  if (extensible) {
    std::memcpy(next, "fact", 4);
    PutLe32(next + 4, kFactBytes);
    m_factOffset = static_cast<std::uint32_t>(next + kChunkHeaderBytes - header);
    next += kChunkHeaderBytes + kFactBytes;
  }
  std::memcpy(next, "data", 4);
  if (m_rf64) PutLe32(next + 4, kSizeInDs64);
  m_headerBytes = static_cast<std::uint32_t>(next + kChunkHeaderBytes - header);
  m_scratch.resize(static_cast<std::size_t>(kMaxBlockFrames) * kMaxChannels * 8);
  return m_file->Write(header, m_headerBytes) || (m_failed = true, false);
}

bool WavFullWriter::Write(const void* frames, int count) {
  if (m_failed || count <= 0) return !m_failed;
  const auto n = static_cast<std::size_t>(count);
  const std::size_t samples = n * static_cast<std::size_t>(m_format.channels);
  const std::size_t bytes = samples * static_cast<std::size_t>(m_format.bits / 8);
  // A plain file's RIFF size (file size - 8, a pad byte included) must fit in 32 bits.
  if (!m_rf64 && m_headerBytes - 8 + m_dataBytes + bytes + 1 > kMaxRiffSize) {
    m_tooLarge = m_failed = true;
    return false;
  }
  if (m_scratch.size() < bytes) m_scratch.resize(bytes);
  Pack(frames, samples, m_format, m_scratch.data());
  if (m_hashing) {
    if (m_format.isFloat && m_format.bits == 32) m_hash.Add(static_cast<const float*>(frames), samples);
    else if (m_format.isFloat) m_hash.Add(static_cast<const double*>(frames), samples);
    else m_hash.Add(static_cast<const std::int32_t*>(frames), samples);
  }
  m_dataBytes += bytes;
  m_frames += n;
  if (!m_file->Write(m_scratch.data(), bytes)) m_failed = true;
  return !m_failed;
}

bool WavFullWriter::Close() {
  if (!m_file || !m_file->IsOpen() || m_failed) return false;
  const std::uint8_t pad[1] = {0};
  const std::uint64_t padBytes = m_dataBytes & 1;
  std::uint8_t size[4];
  const std::uint64_t riffSize = m_headerBytes - 8 + m_dataBytes + padBytes + m_trailing.size();
  if (!m_rf64 && riffSize > kMaxRiffSize) {
    m_tooLarge = m_failed = true;
    return false;
  }
  bool ok = padBytes == 0 || m_file->Write(pad, 1);
  ok = ok && (m_trailing.empty() || m_file->Write(m_trailing.data(), m_trailing.size()));
  ok = ok && PatchSizes(*m_file, m_rf64, riffSize, m_dataBytes, m_frames, m_headerBytes - 4);
  // In a plain file the frames fit in 32 bits, as the data would pass 4 GiB first; an RF64
  // file's count that does not fit is in the ds64 chunk.
  PutLe32(size, static_cast<std::uint32_t>(std::min<std::uint64_t>(m_frames, kSizeInDs64)));
  ok = ok && (m_factOffset == 0 || m_file->WriteAt(m_factOffset, size, 4));
  if (!m_file->Close()) ok = false;
  m_failed = !ok;
  return ok;
}

FileOutcome WavFullWriter::Failure() const {
  if (m_rateTooHigh) return FileOutcome::RateFailure(FileReason::WavRateTooHigh, m_format.sampleRate);
  if (m_tooLarge) return FileOutcome::Failure(FileReason::WavTooLarge);
  return FileOutcome::Failure(FileReason::WriteFailed, {}, m_file ? m_file->Error() : 0);
}

}  // namespace velmora
