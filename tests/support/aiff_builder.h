#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

void PutBe16(Bytes& out, unsigned value);
void PutBe32(Bytes& out, std::uint32_t value);
void PutId(Bytes& out, const char* id);
// The 80-bit extended form of a whole-number rate, as AIFF stores it (44100 -> 40 0E AC 44 ...).
void PutExtendedRate(Bytes& out, double rate);

// Builds AIFF / AIFF-C images chunk by chunk. Sizes are computed unless overridden, so odd
// headers stay small and readable in the tests.
struct AiffBuilder {
  bool aifc = false;
  int channels = 1;
  std::uint32_t frames = 0;
  int bits = 16;
  double rate = 44100;
  std::string compression = "NONE";   // AIFF-C only
  std::uint32_t ssndOffset = 0;
  Bytes sound;                        // the SSND sound bytes after the offset
  std::vector<Bytes> chunksBefore;    // whole chunks (id + size + data) placed before COMM
  std::vector<Bytes> chunksAfter;     // and after SSND
  bool ssndFirst = false;

  Bytes CommChunk() const;
  Bytes SsndChunk() const;
  Bytes Build() const;
};

// A plain 16-bit stereo AIFF at 44.1 kHz whose samples step by 37: `frames` frames of a sound
// every reader and peer decodes the same.
Bytes StereoStepAiff(int frames);

// A chunk with any id and payload (padded to even length).
Bytes Chunk(const char* id, const Bytes& payload);

}  // namespace velmora::test
