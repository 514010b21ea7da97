#include "support/sampler_chunks.h"

namespace velmora::test {

Bytes MarkChunk(const std::vector<Marker>& markers) {
  Bytes payload;
  PutBe16(payload, static_cast<unsigned>(markers.size()));
  for (const Marker& marker : markers) {
    PutBe16(payload, static_cast<unsigned>(marker.id) & 0xFFFF);
    PutBe32(payload, marker.position);
    payload.push_back(static_cast<std::uint8_t>(marker.name.size()));
    payload.insert(payload.end(), marker.name.begin(), marker.name.end());
    if (marker.name.size() % 2 == 0) payload.push_back(0);
  }
  return Chunk("MARK", payload);
}

Bytes InstChunk(const Instrument& instrument) {
  Bytes payload = {
      static_cast<std::uint8_t>(instrument.baseNote), static_cast<std::uint8_t>(instrument.detune), 0, 127, 1, 127};
  PutBe16(payload, 0);
  for (const Instrument::Loop& loop : {instrument.sustain, instrument.release}) {
    PutBe16(payload, loop.mode);
    PutBe16(payload, static_cast<unsigned>(loop.begin));
    PutBe16(payload, static_cast<unsigned>(loop.end));
  }
  return Chunk("INST", payload);
}

}  // namespace velmora::test
