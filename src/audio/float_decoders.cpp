#include "audio/float_decoders.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "audio/framed_decoder.h"

namespace velmora {
namespace {

constexpr double kFullScale = 2147483647.0;

std::uint64_t LoadBe(const std::uint8_t* b, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | b[i];
  return value;
}

float LoadFloat(const std::uint8_t* b) { return std::bit_cast<float>(static_cast<std::uint32_t>(LoadBe(b, 4))); }
double LoadDouble(const std::uint8_t* b) { return std::bit_cast<double>(LoadBe(b, 8)); }

}  // namespace

std::int16_t FloatToSample16(double value) {
  if (std::isnan(value)) return 0;
  // Wrapping the scaled value to 32 bits would turn 1.5 into a negative sample; clip instead.
  if (value >= 1.0) return 32767;
  if (value <= -1.0) return -32768;
  const auto scaled = static_cast<std::int32_t>(value * kFullScale);
  return static_cast<std::int16_t>(scaled >> 16);
}

std::unique_ptr<BlockDecoder> MakeFloat32Decoder(const SourceInfo& info) {
  return MakeFramedDecoder<std::int16_t, 4, float>(
      info.channels, [](const std::uint8_t* b) { return FloatToSample16(LoadFloat(b)); }, LoadFloat);
}

std::unique_ptr<BlockDecoder> MakeFloat64Decoder(const SourceInfo& info) {
  return MakeFramedDecoder<std::int16_t, 8, double>(
      info.channels, [](const std::uint8_t* b) { return FloatToSample16(LoadDouble(b)); }, LoadDouble);
}

}  // namespace velmora
