#include "convert/sampler_chunks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "convert/little_endian.h"

namespace velmora {
namespace {

constexpr double kPitchFractionUnit = 4294967296.0;  // 2^32: one semitone

void PutId(std::vector<std::uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t bytes[4];
  PutLe32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

// Patches the size of the chunk whose header starts at `start` and pads it to an even size.
void EndChunk(std::vector<std::uint8_t>& out, std::size_t start) {
  PutLe32(out.data() + start + 4, static_cast<std::uint32_t>(out.size() - start - 8));
  if (out.size() % 2 != 0) out.push_back(0);
}

std::size_t BeginChunk(std::vector<std::uint8_t>& out, const char* id) {
  const std::size_t start = out.size();
  PutId(out, id);
  Put32(out, 0);
  return start;
}

struct WavLoop {
  std::uint32_t type = 0;  // 0 forward, 1 alternating
  std::uint32_t first = 0;
  std::uint32_t last = 0;  // inclusive
};

}  // namespace

std::vector<std::uint8_t> BuildWavSamplerChunks(const SamplerInfo& info, int sourceRate, int outputRate,
                                                std::uint64_t outputFrames) {
  std::vector<std::uint8_t> out;
  if (info.Empty() || sourceRate <= 0 || outputRate <= 0) return out;
  const double scale = static_cast<double>(outputRate) / sourceRate;
  const std::uint64_t limit = std::min<std::uint64_t>(outputFrames, UINT32_MAX);
  const auto place = [&](std::uint32_t position) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::llround(position * scale), limit));
  };

  if (info.instrument) {
    std::vector<WavLoop> loops;
    for (const auto& loop : {info.sustainLoop, info.releaseLoop}) {
      if (!loop) continue;
      const std::uint32_t begin = place(loop->begin);
      const std::uint32_t end = place(loop->end);
      if (end <= begin) continue;
      loops.push_back({loop->mode == SamplerLoop::Mode::ForwardBackward ? 1U : 0U, begin, end - 1});
    }
    // A negative detune is a fraction above the note below.
    int note = info.baseNote;
    double cents = info.detune;
    if (cents < 0) {
      if (note > 0) {
        --note;
        cents += 100;
      } else {
        cents = 0;
      }
    }
    const std::size_t smpl = BeginChunk(out, "smpl");
    Put32(out, 0);  // manufacturer
    Put32(out, 0);  // product
    Put32(out, static_cast<std::uint32_t>(std::llround(1e9 / outputRate)));
    Put32(out, static_cast<std::uint32_t>(note));
    Put32(out, static_cast<std::uint32_t>(
                   std::min(std::llround(cents / 100 * kPitchFractionUnit), static_cast<long long>(UINT32_MAX))));
    Put32(out, 0);  // SMPTE format
    Put32(out, 0);  // SMPTE offset
    Put32(out, static_cast<std::uint32_t>(loops.size()));
    Put32(out, 0);  // sampler data bytes
    for (std::size_t i = 0; i < loops.size(); ++i) {
      Put32(out, static_cast<std::uint32_t>(i));
      Put32(out, loops[i].type);
      Put32(out, loops[i].first);
      Put32(out, loops[i].last);
      Put32(out, 0);  // fraction
      Put32(out, 0);  // play count: endless
    }
    EndChunk(out, smpl);
  }

  if (!info.markers.empty()) {
    const std::size_t cue = BeginChunk(out, "cue ");
    Put32(out, static_cast<std::uint32_t>(info.markers.size()));
    for (const SamplerMarker& marker : info.markers) {
      const std::uint32_t position = place(marker.position);
      Put32(out, static_cast<std::uint32_t>(marker.id));
      Put32(out, position);
      PutId(out, "data");
      Put32(out, 0);  // chunk start
      Put32(out, 0);  // block start
      Put32(out, position);
    }
    EndChunk(out, cue);
  }

  const bool named = std::any_of(info.markers.begin(), info.markers.end(),
                                 [](const SamplerMarker& marker) { return !marker.name.empty(); });
  if (named) {
    const std::size_t list = BeginChunk(out, "LIST");
    PutId(out, "adtl");
    for (const SamplerMarker& marker : info.markers) {
      if (marker.name.empty()) continue;
      const std::size_t labl = BeginChunk(out, "labl");
      Put32(out, static_cast<std::uint32_t>(marker.id));
      out.insert(out.end(), marker.name.begin(), marker.name.end());
      out.push_back(0);
      EndChunk(out, labl);
    }
    EndChunk(out, list);
  }
  return out;
}

}  // namespace velmora
