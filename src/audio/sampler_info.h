#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/tag_note.h"

namespace velmora {

// A point in the sound, between frames: 0 is before the first frame, `frames` after the last.
struct SamplerMarker {
  std::int16_t id = 0;
  std::uint32_t position = 0;
  std::string name;  // UTF-8; empty when the marker has none
  bool operator==(const SamplerMarker&) const = default;
};

// A loop over the frames [begin, end), taken from the positions of its two markers.
struct SamplerLoop {
  enum class Mode : std::int16_t { Forward = 1, ForwardBackward = 2 };
  Mode mode = Mode::Forward;
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  bool operator==(const SamplerLoop&) const = default;
};

// What a sampler reads from a sound file: its markers, and, when the file has an instrument
// chunk, the key and velocity range it plays on and its two loops. Only values that hold
// together are kept; whatever was dropped is named in `notes`.
struct SamplerInfo {
  std::vector<SamplerMarker> markers;  // in file order
  bool instrument = false;             // whether the values below were read
  int baseNote = 60;                   // MIDI note the sound plays at unchanged
  int detune = 0;                      // cents, -50 to 50
  int lowNote = 0;
  int highNote = 127;
  int lowVelocity = 1;
  int highVelocity = 127;
  int gain = 0;  // dB
  std::optional<SamplerLoop> sustainLoop;
  std::optional<SamplerLoop> releaseLoop;
  std::vector<TagNote> notes;

  bool Empty() const { return markers.empty() && !instrument; }
};

// Reads the AIFF MARK and INST chunks (either may be absent: null) of a file of `frames`
// frames. Markers past the last frame and markers whose id is not positive or repeats are
// dropped; a loop is dropped when its play mode is not 0, 1 or 2, when a marker it names is
// missing, or when it ends before it begins (a play mode of 0 is no loop, and no note). A
// chunk too short for what it declares is read as far as it goes, with a note. Never reads
// past `markSize` or `instSize`.
SamplerInfo ParseSamplerInfo(const std::uint8_t* mark, std::size_t markSize, const std::uint8_t* inst,
                             std::size_t instSize, std::uint64_t frames);

}  // namespace velmora
