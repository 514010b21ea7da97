#include "audio/sampler_info.h"

#include <algorithm>

#include "audio/big_endian.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

constexpr std::size_t kMarkerHeaderBytes = 6;  // id, position
constexpr std::size_t kInstBytes = 20;
constexpr std::size_t kLoopBytes = 6;  // play mode, begin and end marker ids

std::int16_t Be16Signed(const std::uint8_t* p) { return static_cast<std::int16_t>(Be16(p)); }


void ReadMarkers(const std::uint8_t* p, std::size_t size, std::uint64_t frames, SamplerInfo& out) {
  if (size < 2) {
    CountNote(out.notes, TagNote::Kind::SamplerChunkShort, "MARK");
    return;
  }
  const unsigned count = Be16(p);
  // The ids kept so far: a chunk of 65,535 markers is checked in linear time.
  std::vector<bool> seen(std::size_t{1} << 15);
  std::size_t pos = 2;
  for (unsigned i = 0; i < count; ++i) {
    if (size - pos < kMarkerHeaderBytes + 1) {
      CountNote(out.notes, TagNote::Kind::SamplerChunkShort, "MARK");
      return;
    }
    SamplerMarker marker;
    marker.id = Be16Signed(p + pos);
    marker.position = Be32(p + pos + 2);
    const std::size_t length = p[pos + kMarkerHeaderBytes];
    const std::uint8_t* text = p + pos + kMarkerHeaderBytes + 1;
    // The count byte and the text together take an even number of bytes; the last marker's
    // pad byte may be missing.
    const std::size_t stored = (length + 1) + ((length + 1) & 1);
    if (size - pos - kMarkerHeaderBytes < length + 1) {
      CountNote(out.notes, TagNote::Kind::SamplerChunkShort, "MARK");
      return;
    }
    std::string name(reinterpret_cast<const char*>(text), length);
    name.erase(std::find(name.begin(), name.end(), '\0'), name.end());
    marker.name = IsValidUtf8(name) ? name : Latin1ToUtf8(name);
    pos = std::min(size, pos + kMarkerHeaderBytes + stored);
    if (marker.id <= 0 || seen[static_cast<std::size_t>(marker.id)] || marker.position > frames) {
      CountNote(out.notes, TagNote::Kind::MarkerDropped, {}, 0, frames);
      continue;
    }
    seen[static_cast<std::size_t>(marker.id)] = true;
    out.markers.push_back(std::move(marker));
  }
}

std::optional<SamplerLoop> ReadLoop(const std::uint8_t* p, const SamplerInfo& info, std::vector<TagNote>& notes) {
  const std::int16_t mode = Be16Signed(p);
  if (mode == 0) return std::nullopt;
  if (mode != 1 && mode != 2) {
    CountNote(notes, TagNote::Kind::LoopBadPlayMode);
    return std::nullopt;
  }
  const auto find = [&](std::int16_t id) {
    return std::find_if(info.markers.begin(), info.markers.end(),
                        [&](const SamplerMarker& marker) { return marker.id == id; });
  };
  const auto begin = find(Be16Signed(p + 2));
  const auto end = find(Be16Signed(p + 4));
  if (begin == info.markers.end() || end == info.markers.end()) {
    CountNote(notes, TagNote::Kind::LoopMarkerMissing);
    return std::nullopt;
  }
  if (end->position <= begin->position) {
    CountNote(notes, TagNote::Kind::LoopEndBeforeBegin);
    return std::nullopt;
  }
  return SamplerLoop{static_cast<SamplerLoop::Mode>(mode), begin->position, end->position};
}

}  // namespace

SamplerInfo ParseSamplerInfo(const std::uint8_t* mark, std::size_t markSize, const std::uint8_t* inst,
                             std::size_t instSize, std::uint64_t frames) {
  SamplerInfo info;
  if (mark) ReadMarkers(mark, markSize, frames, info);
  if (!inst) return info;
  if (instSize < kInstBytes) {
    CountNote(info.notes, TagNote::Kind::SamplerChunkShort, "INST");
    return info;
  }
  info.instrument = true;
  // MIDI values are 0-127 and the detune -50 to 50 cents; anything outside is clamped.
  const auto midi = [](std::uint8_t value) { return std::min<int>(value, 127); };
  info.baseNote = midi(inst[0]);
  info.detune = std::clamp<int>(static_cast<std::int8_t>(inst[1]), -50, 50);
  info.lowNote = midi(inst[2]);
  info.highNote = midi(inst[3]);
  info.lowVelocity = midi(inst[4]);
  info.highVelocity = midi(inst[5]);
  info.gain = Be16Signed(inst + 6);
  info.sustainLoop = ReadLoop(inst + 8, info, info.notes);
  info.releaseLoop = ReadLoop(inst + 8 + kLoopBytes, info, info.notes);
  return info;
}

}  // namespace velmora
