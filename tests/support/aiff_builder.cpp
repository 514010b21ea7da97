#include "support/aiff_builder.h"

#include <cmath>
#include <cstring>

namespace velmora::test {

void PutBe16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void PutBe32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutId(Bytes& out, const char* id) { out.insert(out.end(), id, id + 4); }

void PutExtendedRate(Bytes& out, double rate) {
  if (rate <= 0) {
    out.insert(out.end(), 10, 0);
    return;
  }
  int exponent = 0;
  const double mantissa = std::frexp(rate, &exponent);  // rate = mantissa * 2^exponent, 0.5 <= m < 1
  const auto bits = static_cast<std::uint64_t>(std::ldexp(mantissa, 64));
  PutBe16(out, static_cast<unsigned>(16382 + exponent));
  PutBe32(out, static_cast<std::uint32_t>(bits >> 32));
  PutBe32(out, static_cast<std::uint32_t>(bits));
}

Bytes Chunk(const char* id, const Bytes& payload) {
  Bytes out;
  PutId(out, id);
  PutBe32(out, static_cast<std::uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  if (payload.size() % 2) out.push_back(0);
  return out;
}

Bytes AiffBuilder::CommChunk() const {
  Bytes payload;
  PutBe16(payload, static_cast<unsigned>(channels));
  PutBe32(payload, frames);
  PutBe16(payload, static_cast<unsigned>(bits));
  PutExtendedRate(payload, rate);
  if (aifc) {
    PutId(payload, compression.c_str());
    payload.push_back(0);  // empty compression name (a Pascal string) and its pad byte
    payload.push_back(0);
  }
  return Chunk("COMM", payload);
}

Bytes AiffBuilder::SsndChunk() const {
  Bytes payload;
  PutBe32(payload, ssndOffset);
  PutBe32(payload, 0);
  payload.insert(payload.end(), ssndOffset, 0);
  payload.insert(payload.end(), sound.begin(), sound.end());
  return Chunk("SSND", payload);
}

Bytes AiffBuilder::Build() const {
  Bytes body;
  PutId(body, aifc ? "AIFC" : "AIFF");
  for (const Bytes& chunk : chunksBefore) body.insert(body.end(), chunk.begin(), chunk.end());
  const Bytes comm = CommChunk();
  const Bytes ssnd = SsndChunk();
  const Bytes& first = ssndFirst ? ssnd : comm;
  const Bytes& second = ssndFirst ? comm : ssnd;
  body.insert(body.end(), first.begin(), first.end());
  body.insert(body.end(), second.begin(), second.end());
  for (const Bytes& chunk : chunksAfter) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes out;
  PutId(out, "FORM");
  PutBe32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes StereoStepAiff(int frames) {
  AiffBuilder b;
  b.channels = 2;
  b.frames = static_cast<std::uint32_t>(frames);
  for (int i = 0; i < frames * 2; ++i) PutBe16(b.sound, static_cast<unsigned>(i * 37) & 0xFFFF);
  return b.Build();
}

}  // namespace velmora::test
