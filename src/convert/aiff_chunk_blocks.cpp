#include "convert/aiff_chunk_blocks.h"

#include <array>
#include <bit>
#include <cstring>

namespace velmora {
namespace {

constexpr std::size_t kFormHeaderBytes = 12;  // "FORM", its size and "AIFF"
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kSsndFieldBytes = 8;  // the offset and block size before the samples
constexpr std::size_t kCommRateAt = 8;      // after channels, frames and sample size
constexpr std::size_t kExtendedBytes = 10;  // an 80-bit rate
constexpr std::size_t kApplicationIdBytes = sizeof kAiffApplicationId;

std::uint32_t Be32At(std::span<const std::uint8_t> file, std::size_t offset) {
  const std::uint8_t* p = file.data() + offset;
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

bool IdIs(const std::array<char, 4>& id, const char* text) { return std::memcmp(id.data(), text, 4) == 0; }

// Whether COMM's 80-bit rate at `at` is `rate` exactly, in the normalised form: the rebuilt
// COMM takes the whole-number rate FLAC keeps.
bool RateIsExactly(std::span<const std::uint8_t> file, std::size_t at, std::int32_t rate) {
  if (rate <= 0) return false;
  const int top = std::bit_width(static_cast<std::uint32_t>(rate)) - 1;
  const std::uint64_t mantissa = std::uint64_t{static_cast<std::uint32_t>(rate)} << (63 - top);
  std::array<std::uint8_t, kExtendedBytes> bytes{};
  const unsigned exponent = 16383u + static_cast<unsigned>(top);
  bytes[0] = static_cast<std::uint8_t>(exponent >> 8);
  bytes[1] = static_cast<std::uint8_t>(exponent);
  for (int i = 0; i < 8; ++i)
    bytes[2 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(mantissa >> (56 - 8 * i));
  return std::memcmp(file.data() + at, bytes.data(), bytes.size()) == 0;
}

// Whether the file is a plain AIFF that FLAC can give back whole: see AiffChunkBlocks.
bool Restorable(const SourceInfo& info, const ChunkLayout& layout) {
  const std::span<const std::uint8_t> file = layout.file;
  if (!layout.complete || file.size() < kFormHeaderBytes || std::memcmp(file.data() + 8, "AIFF", 4) != 0) return false;
  if (Be32At(file, 4) != file.size() - kChunkHeaderBytes) return false;
  if (info.compression != CompressionKind::Pcm || info.fullFloat || info.bitsPerSample != info.fullBits) return false;
  // The flac tool rebuilds no file without sound.
  if (info.frames == 0) return false;
  int comms = 0;
  int ssnds = 0;
  for (const ChunkPlace& chunk : layout.chunks) {
    const std::size_t data = chunk.offset + kChunkHeaderBytes;
    if (IdIs(chunk.id, "COMM")) {
      // A second COMM, which the reader skips, may be too short to hold a rate.
      if (++comms > 1 || chunk.size < kCommRateAt + kExtendedBytes) return false;
      if (!RateIsExactly(file, data + kCommRateAt, info.sampleRate)) return false;
    }
    if (!IdIs(chunk.id, "SSND")) continue;
    ++ssnds;
    // The rebuilt SSND has no leading bytes and no block size.
    const std::uint64_t sound =
        info.frames * static_cast<std::uint64_t>(info.channels) * static_cast<std::uint64_t>(info.fullBits / 8);
    if (chunk.size != kSsndFieldBytes + sound || Be32At(file, data) != 0 || Be32At(file, data + 4) != 0) return false;
  }
  return comms == 1 && ssnds == 1;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> AiffChunkBlocks(const AiffReader& reader, std::vector<TagNote>& notes) {
  const ChunkLayout layout = reader.Layout();
  if (!Restorable(reader.Info(), layout)) return {};
  const std::uint8_t* file = layout.file.data();
  std::vector<std::vector<std::uint8_t>> blocks;
  blocks.emplace_back(file, file + kFormHeaderBytes);
  TagNote leftOut{TagNote::Kind::ChunksNotKept, {}, 0, 0, kMaxFlacBlockBytes};
  for (const ChunkPlace& chunk : layout.chunks) {
    const std::uint64_t whole = IdIs(chunk.id, "SSND") ? kSsndFieldBytes : chunk.size + (chunk.size & 1);
    const std::uint64_t bytes = kChunkHeaderBytes + whole;
    if (bytes + kApplicationIdBytes > kMaxFlacBlockBytes) {
      // One note for all: the id of the first, the count and size of them all.
      if (leftOut.count++ == 0) leftOut.id.assign(chunk.id.data(), chunk.id.size());
      leftOut.bytes += bytes;
      continue;
    }
    const std::uint8_t* start = file + chunk.offset;
    blocks.emplace_back(start, start + bytes);
  }
  if (leftOut.count > 0) notes.push_back(leftOut);
  return blocks;
}

}  // namespace velmora
