#include "audio/aiff_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "audio/big_endian.h"
#include "audio/compression_table.h"
#include "audio/gsm_decoder.h"
#include "audio/id3v2_screen.h"
#include "audio/ima4_decoder.h"
#include "platform/system_calls.h"

namespace velmora {
namespace {

constexpr std::size_t kFormHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;

// The frames `bytes` of sound data decode to at most, whatever COMM counts.
std::uint64_t FramesTheDataCanHold(const SourceInfo& info, std::uint64_t bytes) {
  const auto channels = static_cast<std::uint64_t>(info.channels);
  switch (info.compression) {
    case CompressionKind::Ima4:
    case CompressionKind::Gsm: return info.frames;  // counted from the data already
    case CompressionKind::Dwvw: return bytes * 8 / channels;  // a sample takes at least one bit
    case CompressionKind::Float32: return bytes / (4 * channels);
    case CompressionKind::Float64: return bytes / (8 * channels);
    case CompressionKind::Ulaw:
    case CompressionKind::Alaw:
    case CompressionKind::Raw8: return bytes / channels;
    case CompressionKind::Pcm: break;
  }
  return bytes / (static_cast<std::uint64_t>(info.bitsPerSample + 7) / 8 * channels);
}
constexpr std::uint64_t kAiffCommBytes = 18;
constexpr std::uint64_t kAifcMinCommBytes = 22;
constexpr std::uint64_t kSsndHeaderBytes = 8;

bool IdIs(const std::uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

std::string PrintableCode(const std::uint8_t* code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    if (code[i] >= 0x20 && code[i] < 0x7F) {
      text += static_cast<char>(code[i]);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", code[i]);
      text += escaped;
    }
  }
  return text;
}


}  // namespace

std::int32_t ConvertFromExtended(const std::uint8_t bytes[10]) {
  const int exponent = ((bytes[0] & 0x7F) << 8) | bytes[1];
  const std::uint32_t hi = Be32(bytes + 2);
  const std::uint32_t lo = Be32(bytes + 6);
  if (exponent == 0 && hi == 0 && lo == 0) return 0;
  if (exponent == 0x7FFF) return 0;  // infinity or NaN
  double value = std::ldexp(static_cast<double>(hi), exponent - 16383 - 31) +
                 std::ldexp(static_cast<double>(lo), exponent - 16383 - 63);
  if (bytes[0] & 0x80) value = -value;
  if (!(std::fabs(value) < 9223372036854775808.0)) return 0;
  // Keep the low 32 bits of the truncated value, read as signed.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(value)));
}

AiffReader::~AiffReader() { Close(); }

bool AiffReader::Fail(AiffError error, std::string detail) {
  const std::string kept = std::move(detail);
  Close();
  m_error = error;
  m_errorDetail = kept;
  return false;
}

bool AiffReader::Open(const std::string& path) {
  Close();
  switch (m_file.Open(path)) {
    case MappedFile::Result::Ok: break;
    case MappedFile::Result::CannotOpen: return Fail(AiffError::CannotOpen, SystemErrorText(m_file.LastErrno()));
    case MappedFile::Result::Empty: return Fail(AiffError::EmptyFile);
    case MappedFile::Result::TooLarge: return Fail(AiffError::TooLarge);
    case MappedFile::Result::NotRegular: return Fail(AiffError::NotRegularFile);
    case MappedFile::Result::CannotMap: return Fail(AiffError::CannotMap, SystemErrorText(m_file.LastErrno()));
  }
  if (!Parse(m_file.data(), m_file.size())) return false;
  if (m_file.Damaged()) return Fail(AiffError::SourceChanged);
  return true;
}

bool AiffReader::OpenMemory(const std::uint8_t* bytes, std::size_t size) {
  Close();
  return Parse(bytes, size);
}

// Walk every chunk to the end of the file (not to the end the FORM size declares); the order
// of COMM and SSND does not matter, and metadata chunks may come before or after them. Once
// both are known, later COMM and SSND chunks are ignored.
bool AiffReader::Parse(const std::uint8_t* bytes, std::size_t size) {
  m_data.bytes = bytes;
  m_fileSize = size;
  if (size < kFormHeaderBytes + kChunkHeaderBytes) return Fail(AiffError::TooShort);
  if (!IdIs(bytes, "FORM")) return Fail(AiffError::NotAiff);
  const bool aifc = IdIs(bytes + 8, "AIFC");
  if (!aifc && !IdIs(bytes + 8, "AIFF")) return Fail(AiffError::NotAiff);

  bool haveComm = false;
  bool haveSsnd = false;
  std::size_t pos = kFormHeaderBytes;
  while (size - pos >= kChunkHeaderBytes) {
    const std::uint8_t* header = bytes + pos;
    const std::uint64_t declared = Be32(header + 4);
    const std::uint64_t padded = declared + (declared & 1);
    const std::size_t data = pos + kChunkHeaderBytes;
    const bool soundKnown = haveComm && haveSsnd;
    if (m_chunks.size() < kMaxLayoutChunks) {
      ChunkPlace place{{}, pos, declared};
      std::memcpy(place.id.data(), header, 4);
      m_chunks.push_back(place);
    } else {
      m_chunksLeftOut = true;
    }
    if (!soundKnown && IdIs(header, "COMM")) {
      if (!ParseComm(data, padded, aifc)) return false;
      haveComm = true;
    } else if (!soundKnown && IdIs(header, "SSND")) {
      if (!ParseSsnd(data, declared)) return false;
      haveSsnd = true;
    } else if ((IdIs(header, "MARK") || IdIs(header, "INST")) && declared <= size - data) {
      MetadataChunk& kept = IdIs(header, "MARK") ? m_mark : m_inst;
      if (!kept.data) {
        kept = {{}, bytes + data, static_cast<std::size_t>(declared)};
        std::memcpy(kept.id.data(), header, 4);
      }
    } else if (IsMetadataChunk(header) && declared <= size - data) {
      MetadataChunk chunk{{}, bytes + data, static_cast<std::size_t>(declared)};
      std::memcpy(chunk.id.data(), header, 4);
      if (m_metadata.size() < kMaxMetadataChunks) m_metadata.push_back(chunk);
      else ++m_metadataLeftOut;
    }
    if (padded > size - data) break;  // the chunk runs past the end of the file
    pos = data + static_cast<std::size_t>(padded);
  }
  m_chunksComplete = pos == size && !m_chunksLeftOut;
  if (!haveComm) return Fail(AiffError::MissingComm);
  // A file with no sample frames needs no SSND chunk: it is valid and simply holds no sound.
  if (!haveSsnd && m_info.frames != 0) return Fail(AiffError::MissingSsnd);
  if (!haveSsnd) m_data.pos = m_data.end = 0;

  // IMA4 and GSM frame counts come from the amount of sound data, not from COMM: whole packets
  // (one per channel) of 64 frames, or whole GSM frames of 160 samples shared by the channels.
  const auto channels = static_cast<std::uint64_t>(m_info.channels);
  if (m_info.compression == CompressionKind::Ima4) {
    m_info.frames = m_ssndDataSize / (Ima4Decoder::kPacketBytes * channels) * Ima4Decoder::kPacketFrames;
  } else if (m_info.compression == CompressionKind::Gsm) {
    m_info.frames = m_ssndDataSize / GsmDecoder::kFrameBytes * GsmDecoder::kFrameSamples / channels;
  }

  m_decoder = MakeBlockDecoder(m_info);
  if (!m_decoder) return Fail(AiffError::BadSampleSize, std::to_string(m_info.bitsPerSample));
  m_mostFrames = std::max(m_info.frames, FramesTheDataCanHold(m_info, m_data.Remaining()));
  return true;
}

bool AiffReader::ParseComm(std::size_t offset, std::uint64_t size, bool aifc) {
  if (size > m_fileSize - offset) return Fail(AiffError::TruncatedComm);
  if (aifc ? size < kAifcMinCommBytes : size != kAiffCommBytes) {
    return Fail(AiffError::BadCommSize, std::to_string(size));
  }
  const std::uint8_t* p = m_data.bytes + offset;
  const int channels = Be16(p);
  if (channels < 1 || channels > 6 || channels == 5) {
    return Fail(AiffError::BadChannelCount, std::to_string(channels));
  }
  m_info.channels = channels;
  m_info.outputChannels = std::min(channels, 2);
  m_info.frames = Be32(p + 2);
  m_info.bitsPerSample = Be16(p + 6);
  m_info.sampleRate = ConvertFromExtended(p + 8);
  m_info.compression = CompressionKind::Pcm;
  m_info.byteOrder = ByteOrder::BigEndian;
  std::memcpy(m_info.compressionCode.data(), "NONE", 4);

  if (aifc) {
    const std::uint8_t* code = p + 18;
    const CompressionEntry* entry = FindCompression(code);
    if (!entry) return Fail(AiffError::UnsupportedCompression, PrintableCode(code));
    std::memcpy(m_info.compressionCode.data(), code, 4);
    m_info.compression = entry->kind;
    m_info.byteOrder = entry->byteOrder;
    if (entry->fixedBits) m_info.bitsPerSample = entry->fixedBits;
  }
  // A sample size of 0 would make every frame zero bytes long; DWVW words are 8 to 24 bits.
  const int bits = m_info.bitsPerSample;
  const bool dwvw = m_info.compression == CompressionKind::Dwvw;
  if ((m_info.compression == CompressionKind::Pcm && (bits < 1 || bits > 32)) || (dwvw && (bits < 8 || bits > 24))) {
    return Fail(AiffError::BadSampleSize, std::to_string(bits));
  }
  return true;
}

bool AiffReader::ParseSsnd(std::size_t offset, std::uint64_t size) {
  const std::size_t fileSize = m_fileSize;
  if (size < kSsndHeaderBytes || fileSize - offset < kSsndHeaderBytes) return Fail(AiffError::BadSsnd);
  const std::uint32_t dataOffset = Be32(m_data.bytes + offset);
  // The sound data ends where the chunk's declared size ends (a pad byte after an odd size is
  // not sound), and never past the file.
  const std::uint64_t start = offset + kSsndHeaderBytes + dataOffset;
  const std::uint64_t end = std::min<std::uint64_t>(offset + size, fileSize);
  m_data.pos = static_cast<std::size_t>(std::min(start, end));
  m_data.end = static_cast<std::size_t>(end);
  m_ssndDataSize = size - kSsndHeaderBytes > dataOffset ? size - kSsndHeaderBytes - dataOffset : 0;
  return true;
}

int AiffReader::ReadBlock(void* left, void* right, bool& end) {
  if (!m_decoder) {
    end = true;
    return 0;
  }
  return Finish(m_decoder->Decode(m_data, left, right, end), end);
}

int AiffReader::ReadFullBlock(void* frames, bool& end) {
  if (!m_decoder) {
    end = true;
    return 0;
  }
  return Finish(m_decoder->DecodeFull(m_data, frames, end), end);
}

int AiffReader::Finish(int frames, bool& end) {
  if (m_file.Damaged()) {
    m_error = AiffError::SourceChanged;
    end = true;
    return 0;
  }
  m_file.ReleaseBefore(m_data.pos);
  return frames;
}

SourceTags AiffReader::Tags(const TagReading& reading) const {
  SourceTags tags = ParseSourceTags(m_metadata, reading, m_metadataLeftOut);
  // A memory image (OpenMemory) is not the reader's to let go of.
  if (m_file.data()) {
    for (const MetadataChunk& chunk : m_metadata) m_file.Release(chunk.data, chunk.size);
  }
  return tags;
}

SamplerInfo AiffReader::Sampler() const {
  return ParseSamplerInfo(m_mark.data, m_mark.size, m_inst.data, m_inst.size, m_info.frames);
}

ChunkLayout AiffReader::Layout() const { return {{m_data.bytes, m_fileSize}, m_chunks, m_chunksComplete}; }

void AiffReader::Close() {
  m_decoder.reset();
  m_file.Close();
  m_info = SourceInfo{};
  m_data = SoundData{};
  m_metadata.clear();
  m_metadataLeftOut = 0;
  m_chunks.clear();
  m_mark = MetadataChunk{};
  m_inst = MetadataChunk{};
  m_chunksComplete = false;
  m_chunksLeftOut = false;
  m_ssndDataSize = 0;
  m_mostFrames = 0;
  m_fileSize = 0;
  m_error = AiffError::None;
  m_errorDetail.clear();
}

}  // namespace velmora
