#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/aiff_builder.h"

namespace velmora::test {

struct Marker {
  int id = 0;
  std::uint32_t position = 0;
  std::string name;
};

struct Instrument {
  int baseNote = 60;
  int detune = 0;  // cents
  struct Loop {
    unsigned mode = 0;  // stored as 16 bits: 0xFFFF is -1
    int begin = 0;      // marker ids
    int end = 0;
  };
  Loop sustain;
  Loop release;
};

// A MARK chunk with the markers in order, each name a padded Pascal string.
Bytes MarkChunk(const std::vector<Marker>& markers);

// An INST chunk: notes 0-127, velocities 1-127, gain 0 dB, and the two loops.
Bytes InstChunk(const Instrument& instrument);

}  // namespace velmora::test
