#include "audio/id3v2_screen.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#include "audio/big_endian.h"

namespace velmora {
namespace {

constexpr std::size_t kTagHeaderBytes = 10;
constexpr std::uint8_t kTagUnsynchronised = 0x80;
constexpr std::uint8_t kTagExtendedHeader = 0x40;  // in version 2.2: the whole tag is compressed
// Frame format flags, version 2.3 and version 2.4.
constexpr std::uint8_t kV3Compressed = 0x80, kV3Encrypted = 0x40, kV3Grouped = 0x20;
constexpr std::uint8_t kV4Grouped = 0x40, kV4Compressed = 0x08, kV4Encrypted = 0x04, kV4Unsynchronised = 0x02,
                       kV4DataLength = 0x01;
// Encodings 0 to 3: ISO-8859-1, UTF-16 with a byte order mark, UTF-16BE, UTF-8.
constexpr std::uint8_t kLastEncoding = 3;

std::size_t Syncsafe(const std::uint8_t* p) {
  return (std::size_t{p[0]} << 21) | (std::size_t{p[1]} << 14) | (std::size_t{p[2]} << 7) | p[3];
}
bool IsSyncsafe(const std::uint8_t* p) { return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0; }

void PutSyncsafe(std::uint8_t* p, std::size_t value) {
  for (int i = 3; i >= 0; --i, value >>= 7) p[i] = static_cast<std::uint8_t>(value & 0x7F);
}

// Unsynchronisation put a zero after every 0xFF; this takes them out again.
std::vector<std::uint8_t> Resynchronise(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  out.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    out.push_back(data[i]);
    if (data[i] == 0xFF && i + 1 < size && data[i + 1] == 0) ++i;
  }
  return out;
}

// How far a deflated stream goes: the bytes it gives, counted up to `limit + 1` and no
// further, and whether it ends cleanly there.
struct Inflation {
  std::size_t bytes = 0;
  bool ended = false;
};

// Inflates into a small scratch buffer only to count, so a frame that lies about its size costs
// the work of its real contents (up to what it declares) and never the memory it declares.
Inflation Measure(const std::uint8_t* data, std::size_t dataSize, std::size_t limit) {
  Inflation result;
  if (dataSize > UINT32_MAX) return result;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return result;
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(dataSize);
  std::uint8_t scratch[16384];
  // Anything but Z_OK ends it: the stream's end, damage, or input that ran out (Z_BUF_ERROR).
  int status = Z_OK;
  while (status == Z_OK && result.bytes <= limit) {
    stream.next_out = scratch;
    stream.avail_out = sizeof scratch;
    status = inflate(&stream, Z_NO_FLUSH);
    result.bytes = stream.total_out;
  }
  result.ended = status == Z_STREAM_END;
  inflateEnd(&stream);
  return result;
}

// Inflates exactly `size` bytes; a stream that ends early or would give more is damaged.
bool Inflate(const std::uint8_t* data, std::size_t dataSize, std::size_t size, std::vector<std::uint8_t>& out) {
  if (dataSize > UINT32_MAX || size > UINT32_MAX) return false;
  out.resize(size);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(dataSize);
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(size);
  const int result = inflate(&stream, Z_FINISH);
  const bool whole = result == Z_STREAM_END && stream.total_out == size;
  inflateEnd(&stream);
  return whole;
}

enum class FrameKind { Text, Comment, Picture };

struct KnownFrame {
  const char* id;
  FrameKind kind;
};
constexpr KnownFrame kFramesV2[] = {{"TT2", FrameKind::Text}, {"TP1", FrameKind::Text},    {"TAL", FrameKind::Text},
                                    {"TYE", FrameKind::Text}, {"TRK", FrameKind::Text},    {"TCO", FrameKind::Text},
                                    {"TCR", FrameKind::Text}, {"COM", FrameKind::Comment}, {"PIC", FrameKind::Picture}};
constexpr KnownFrame kFramesV3[] = {{"TIT2", FrameKind::Text},    {"TPE1", FrameKind::Text}, {"TALB", FrameKind::Text},
                                    {"TYER", FrameKind::Text},    {"TDRC", FrameKind::Text}, {"TRCK", FrameKind::Text},
                                    {"TCON", FrameKind::Text},    {"TCOP", FrameKind::Text}, {"COMM", FrameKind::Comment},
                                    {"APIC", FrameKind::Picture}};
constexpr std::size_t kKnownFrames = std::size(kFramesV3);
// Only the first of each text is read. Of the comments without a description the first with
// text is read; a few more stand in for a first one that holds none.
constexpr int kMaxCommentFrames = 4;
// The stop flag is looked at once every so many frames: often enough to stop within a
// millisecond, seldom enough to cost nothing.
constexpr std::size_t kStopCheckFrames = 4096;

// The index of a frame Velmora reads in its version's table, or -1.
int KnownIndex(const std::uint8_t* id, int major) {
  if (major == 2) {
    for (std::size_t i = 0; i < std::size(kFramesV2); ++i) {
      if (std::memcmp(id, kFramesV2[i].id, 3) == 0) return static_cast<int>(i);
    }
    return -1;
  }
  for (std::size_t i = 0; i < kKnownFrames; ++i) {
    if (std::memcmp(id, kFramesV3[i].id, 4) == 0) return static_cast<int>(i);
  }
  return -1;
}

std::uint8_t EncodingOf(std::uint8_t stored) { return stored > kLastEncoding ? 0 : stored; }

// The position after the text that starts at `pos` and its terminator (two zero bytes, in
// step with the text, for UTF-16), or 0 when there is no terminator.
std::size_t AfterText(const std::uint8_t* p, std::size_t size, std::size_t pos, std::uint8_t encoding) {
  const bool wide = encoding == 1 || encoding == 2;
  for (; wide ? size - pos >= 2 : pos < size; pos += wide ? 2 : 1) {
    if (p[pos] == 0 && (!wide || p[pos + 1] == 0)) return pos + (wide ? 2 : 1);
  }
  return 0;
}

// Where a picture frame's image starts: after the encoding, the MIME type (three letters in
// version 2.2), the picture type and the description. 0 when the frame ends first.
std::size_t ImageStart(const std::uint8_t* p, std::size_t size, int major) {
  if (size < 1) return 0;
  std::size_t pos = 1;
  if (major == 2) {
    pos += 3;
  } else {
    pos = AfterText(p, size, pos, 0);
    if (pos == 0) return 0;
  }
  if (pos >= size) return 0;
  pos = AfterText(p, size, pos + 1, EncodingOf(p[0]));  // past the picture type
  return pos < size ? pos : 0;
}

// Whether a comment frame (encoding, language, description, text) has no description: the
// others are programs' private data, which Velmora never reads.
bool Undescribed(const std::uint8_t* p, std::size_t size) {
  if (size < 5) return false;
  const std::uint8_t encoding = EncodingOf(p[0]);
  std::size_t pos = 4;
  if (encoding == 1 && size >= 6 && ((p[4] == 0xFF && p[5] == 0xFE) || (p[4] == 0xFE && p[5] == 0xFF))) pos = 6;
  return AfterText(p, size, pos, encoding) == pos + (encoding == 1 || encoding == 2 ? 2 : 1);
}
// One frame's contents as stored, with what the frame header says about them.
struct FrameData {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t plainSize;  // the size once inflated and resynchronised, where the frame says
  bool compressed = false;
  bool unsynchronised = false;
};

// Reads the extra header fields of a version 2.3 or 2.4 frame; false for frames that cannot
// be read (encrypted, or too short for the fields their flags announce).
bool ReadFrameFlags(int major, std::uint8_t format, bool tagUnsynchronised, FrameData& frame) {
  auto skip = [&frame](std::size_t bytes) {
    if (frame.size < bytes) return false;
    frame.data += bytes;
    frame.size -= bytes;
    return true;
  };
  if (major == 3) {
    if (format & kV3Encrypted) return false;
    frame.compressed = (format & kV3Compressed) != 0;
    if (frame.compressed) {
      if (frame.size < 4) return false;
      frame.plainSize = Be32(frame.data);
      skip(4);
    }
    return !(format & kV3Grouped) || skip(1);
  }
  if (format & kV4Encrypted) return false;
  if ((format & kV4Grouped) && !skip(1)) return false;
  frame.compressed = (format & kV4Compressed) != 0;
  frame.unsynchronised = tagUnsynchronised || (format & kV4Unsynchronised);
  if (format & kV4DataLength) {
    if (frame.size < 4) return false;
    frame.plainSize = Syncsafe(frame.data);
    skip(4);
  } else if (frame.compressed) {
    return false;  // the inflated size is unknown, so it cannot be bounded beforehand
  }
  if (!frame.compressed) frame.plainSize = frame.size;
  return true;
}

void AppendFrame(std::vector<std::uint8_t>& out, int major, const std::uint8_t* id, const std::uint8_t* data,
                 std::size_t size) {
  const std::size_t idBytes = major == 2 ? 3 : 4;
  out.insert(out.end(), id, id + idBytes);
  const std::size_t at = out.size();
  if (major == 2) {
    for (int shift = 16; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(size >> shift));
  } else if (major == 3) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(size >> shift));
  } else {
    out.resize(at + 4);
    PutSyncsafe(out.data() + at, size);
  }
  if (major > 2) out.insert(out.end(), {0, 0});  // no flags
  const std::size_t start = out.size();
  out.insert(out.end(), data, data + size);
  if (size > 0 && out[start] > kLastEncoding) out[start] = 0;
}

// The limit each kind of note passed, as the note carries it.
std::uint64_t LimitOf(TagNote::Kind kind) {
  switch (kind) {
    case TagNote::Kind::TextChunkOverLimit:
    case TagNote::Kind::TextFrameOverLimit: return kMaxTagTextBytes;
    case TagNote::Kind::PictureOverLimit: return kMaxTagPictureBytes;
    case TagNote::Kind::TooManyPictures: return kMaxTagPictures;
    case TagNote::Kind::TooManyChunks: return kMaxMetadataChunks;
    case TagNote::Kind::InflatingOverLimit: return kMaxTagInflateBytes;
    case TagNote::Kind::Id3ChunkTooLarge:
    case TagNote::Kind::ChunkTooLarge: return kMaxMetadataChunkBytes;
    case TagNote::Kind::DamagedText:
    case TagNote::Kind::OutputTagTooLarge:
    case TagNote::Kind::PictureOverBlock:
    case TagNote::Kind::ChunksNotKept:
    case TagNote::Kind::FloatAsInteger:
    case TagNote::Kind::PictureNotCarried:
    case TagNote::Kind::MarkerDropped:
    case TagNote::Kind::LoopBadPlayMode:
    case TagNote::Kind::LoopMarkerMissing:
    case TagNote::Kind::LoopEndBeforeBegin:
    case TagNote::Kind::SamplerChunkShort: break;
  }
  return 0;
}

}  // namespace

bool TagBudget::TakeText(std::size_t bytes, std::string_view chunkId) {
  if (bytes <= textBytes) {
    textBytes -= bytes;
    return true;
  }
  Note(TagNote::Kind::TextChunkOverLimit, chunkId, bytes);
  return false;
}

void TagBudget::Note(TagNote::Kind kind, std::string_view id, std::uint64_t bytes, std::uint64_t count) {
  CountNote(m_notes, kind, id, bytes, LimitOf(kind), count);
}

ScreenedTag ScreenId3v2Tag(const std::uint8_t* bytes, std::size_t size, TagBudget& budget) {
  if (size < kTagHeaderBytes || std::memcmp(bytes, "ID3", 3) != 0) return {};
  const int major = bytes[3];
  const std::uint8_t flags = bytes[5];
  if (major < 2 || major > 4 || !IsSyncsafe(bytes + 6)) return {};
  std::size_t bodySize = Syncsafe(bytes + 6);
  if (bodySize > size - kTagHeaderBytes) return {};
  const std::uint8_t* body = bytes + kTagHeaderBytes;
  if ((flags & kTagExtendedHeader) && major == 2) return {};
  // Up to version 2.3 unsynchronisation covers the whole tag; in 2.4 it is undone frame by frame.
  std::vector<std::uint8_t> resynchronised;
  if ((flags & kTagUnsynchronised) && major < 4) {
    resynchronised = Resynchronise(body, bodySize);
    body = resynchronised.data();
    bodySize = resynchronised.size();
  }
  std::size_t pos = 0;
  if (flags & kTagExtendedHeader) {
    if (bodySize < 4) return {};
    pos = major == 3 ? Be32(body) + 4 : Syncsafe(body);
    if (pos > bodySize) return {};
  }

  const std::size_t idBytes = major == 2 ? 3 : 4;
  const std::size_t frameHeaderBytes = major == 2 ? 6 : 10;
  const KnownFrame* known = major == 2 ? kFramesV2 : kFramesV3;
  ScreenedTag out;
  out.version = major;
  out.texts = {'I', 'D', '3', static_cast<std::uint8_t>(major), 0, 0, 0, 0, 0, 0};
  std::array<int, kKnownFrames> kept{};
  // Frames run up to the padding (a zero byte where an id would start) or the tag's end.
  for (std::size_t seen = 1; bodySize - pos >= frameHeaderBytes && body[pos] != 0; ++seen) {
    if (seen % kStopCheckFrames == 0 && budget.Stopped()) return {};
    const std::uint8_t* header = body + pos;
    const std::size_t frameSize = major == 2 ? Be24(header + 3) : major == 3 ? Be32(header + 4) : Syncsafe(header + 4);
    if (frameSize > bodySize - pos - frameHeaderBytes) break;
    pos += frameHeaderBytes + frameSize;
    const int index = KnownIndex(header, major);
    if (index < 0) continue;
    const FrameKind kind = known[index].kind;
    const bool picture = kind == FrameKind::Picture;
    if (picture && !budget.keepPictures) continue;
    const int limit = kind == FrameKind::Text ? 1 : kMaxCommentFrames;
    if (picture ? budget.pictures == 0 : kept[static_cast<std::size_t>(index)] == limit) {
      if (picture) budget.Note(TagNote::Kind::TooManyPictures, {});
      continue;
    }
    FrameData frame{header + frameHeaderBytes, frameSize, frameSize};
    if (major > 2 && !ReadFrameFlags(major, header[9], (flags & kTagUnsynchronised) != 0, frame)) continue;
    // What the frame declares it holds; restoring unsynchronised data only shrinks it.
    if (frame.plainSize > (picture ? budget.pictureBytes : budget.textBytes)) {
      const std::string_view id(reinterpret_cast<const char*>(header), idBytes);
      if (picture) budget.Note(TagNote::Kind::PictureOverLimit, {}, frame.plainSize);
      else budget.Note(TagNote::Kind::TextFrameOverLimit, id, frame.plainSize);
      continue;
    }
    std::vector<std::uint8_t> contents;  // the frame's own copy, once restored or inflated
    if (frame.unsynchronised) {
      contents = Resynchronise(frame.data, frame.size);
      frame.data = contents.data();
      frame.size = contents.size();
    }
    if (frame.compressed) {
      if (frame.plainSize > budget.inflateBytes) {
        budget.Note(TagNote::Kind::InflatingOverLimit, {}, frame.plainSize);
        continue;
      }
      // A frame that ends early or gives more than it declares is damaged, and costs nothing
      // but the work of finding out.
      const Inflation measured = Measure(frame.data, frame.size, frame.plainSize);
      budget.inflateBytes -= std::min(measured.bytes, budget.inflateBytes);
      std::vector<std::uint8_t> inflated;
      if (!measured.ended || measured.bytes != frame.plainSize ||
          !Inflate(frame.data, frame.size, frame.plainSize, inflated)) {
        continue;
      }
      contents = std::move(inflated);
      frame.data = contents.data();
      frame.size = contents.size();
    }
    if (kind == FrameKind::Comment && !Undescribed(frame.data, frame.size)) continue;
    if (!picture) {
      budget.textBytes -= frame.size;
      ++kept[static_cast<std::size_t>(index)];
      AppendFrame(out.texts, major, header, frame.data, frame.size);
      continue;
    }
    const std::size_t imageAt = ImageStart(frame.data, frame.size, major);
    if (imageAt == 0) continue;  // no image
    if (contents.empty()) contents.assign(frame.data, frame.data + frame.size);
    contents[0] = EncodingOf(contents[0]);
    budget.pictureBytes -= contents.size();
    --budget.pictures;
    out.pictures.push_back({std::move(contents), imageAt});
  }
  if (out.texts.size() == kTagHeaderBytes) out.texts.clear();
  else PutSyncsafe(out.texts.data() + 6, out.texts.size() - kTagHeaderBytes);
  return out;
}

}  // namespace velmora
