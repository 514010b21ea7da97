#pragma once

#include <cstdint>
#include <vector>

#include "audio/aiff_reader.h"
#include "audio/block_decoder.h"

namespace velmora::test {

// Everything a decoder delivered, call by call, until it returned 0 or raised the end flag.
struct Decoded {
  std::vector<std::int16_t> left;
  std::vector<std::int16_t> right;
  std::vector<int> framesPerCall;
  bool end = false;
  bool stopped = false;  // a call returned 0 frames
};

// Runs `decoder` over `sound` as a file's whole sound data (16-bit output); `right` stays
// empty unless `stereo`.
Decoded DecodeBytes(BlockDecoder& decoder, const std::vector<std::uint8_t>& sound, bool stereo = true);

// Runs an open reader to its end. 8-bit output is widened into the int16 vectors unchanged
// (0..255).
Decoded DecodeReader(AiffReader& reader);

}  // namespace velmora::test
