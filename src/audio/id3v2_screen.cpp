#include "audio/id3v2_screen.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

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

enum class FrameKind { Other, Text, Picture };

FrameKind KindOf(const std::uint8_t* id, int major) {
  static constexpr const char* kTextV2[] = {"TT2", "TP1", "TAL", "TYE", "TRK", "TCO", "TCR", "COM"};
  static constexpr const char* kTextV3[] = {"TIT2", "TPE1", "TALB", "TYER", "TDRC", "TRCK", "TCON", "TCOP", "COMM"};
  if (major == 2) {
    if (std::memcmp(id, "PIC", 3) == 0) return FrameKind::Picture;
    for (const char* known : kTextV2) {
      if (std::memcmp(id, known, 3) == 0) return FrameKind::Text;
    }
    return FrameKind::Other;
  }
  if (std::memcmp(id, "APIC", 4) == 0) return FrameKind::Picture;
  for (const char* known : kTextV3) {
    if (std::memcmp(id, known, 4) == 0) return FrameKind::Text;
  }
  return FrameKind::Other;
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

}  // namespace

bool TagBudget::TakeText(std::size_t bytes, const char* what) {
  if (bytes <= textBytes) {
    textBytes -= bytes;
    return true;
  }
  const std::string note = std::string(what) + " of " + SizeText(bytes) + " left out (over the " +
                           SizeText(kMaxTagTextBytes) + " limit for texts)";
  if (std::find(notes.begin(), notes.end(), note) == notes.end()) notes.push_back(note);
  return false;
}

bool TagBudget::TakePicture(std::size_t bytes) {
  if (bytes <= pictureBytes) {
    pictureBytes -= bytes;
    return true;
  }
  notes.push_back("picture of " + SizeText(bytes) + " left out (over the " + SizeText(kMaxTagPictureBytes) +
                  " limit)");
  return false;
}

std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kKiB = 1024, kMiB = kKiB * 1024;
  if (bytes >= kMiB) return std::to_string((bytes + kMiB - 1) / kMiB) + " MiB";
  return std::to_string((bytes + kKiB - 1) / kKiB) + " KiB";
}

std::vector<std::uint8_t> ScreenId3v2Tag(const std::uint8_t* bytes, std::size_t size, TagBudget& budget) {
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

  const std::size_t frameHeaderBytes = major == 2 ? 6 : 10;
  std::vector<std::uint8_t> out = {'I', 'D', '3', static_cast<std::uint8_t>(major), 0, 0, 0, 0, 0, 0};
  // Frames run up to the padding (a zero byte where an id would start) or the tag's end.
  while (bodySize - pos >= frameHeaderBytes && body[pos] != 0) {
    const std::uint8_t* header = body + pos;
    const std::size_t frameSize = major == 2 ? Be24(header + 3) : major == 3 ? Be32(header + 4) : Syncsafe(header + 4);
    if (frameSize > bodySize - pos - frameHeaderBytes) break;
    pos += frameHeaderBytes + frameSize;
    const FrameKind kind = KindOf(header, major);
    if (kind == FrameKind::Other) continue;
    FrameData frame{header + frameHeaderBytes, frameSize, frameSize};
    if (major > 2 && !ReadFrameFlags(major, header[9], (flags & kTagUnsynchronised) != 0, frame)) continue;
    const std::string what = "ID3 frame " + std::string(reinterpret_cast<const char*>(header), major == 2 ? 3 : 4);
    const std::size_t cost = std::max(frame.size, frame.plainSize);
    if (!(kind == FrameKind::Picture ? budget.TakePicture(cost) : budget.TakeText(cost, what.c_str()))) continue;
    std::vector<std::uint8_t> resynced, inflated;
    if (frame.unsynchronised) {
      resynced = Resynchronise(frame.data, frame.size);
      frame.data = resynced.data();
      frame.size = resynced.size();
    }
    if (frame.compressed) {
      if (!Inflate(frame.data, frame.size, frame.plainSize, inflated)) continue;
      frame.data = inflated.data();
      frame.size = inflated.size();
    }
    AppendFrame(out, major, header, frame.data, frame.size);
  }
  if (out.size() == kTagHeaderBytes) return {};
  PutSyncsafe(out.data() + 6, out.size() - kTagHeaderBytes);
  return out;
}

}  // namespace velmora
