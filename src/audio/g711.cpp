#include "audio/g711.h"

#include <array>

#include "audio/framed_decoder.h"

namespace velmora {
namespace {

// A-law stores its codes with the even bits inverted; mu-law stores them all inverted.
constexpr unsigned kAlawToggle = 0x55;
constexpr unsigned kUlawBias = 0x84;
constexpr unsigned kSignBit = 0x80;
// A-law's segment 0 is linear with a half-step offset; the other segments add the segment
// base before shifting into place.
constexpr int kAlawSegmentZeroOffset = 8;
constexpr int kAlawSegmentBase = 0x108;

}  // namespace

namespace {

// Both expanders are functions of one byte: the decoders look them up in a 256-entry table.
template <std::int16_t (*Expand)(std::uint8_t)>
const std::array<std::int16_t, 256>& ExpansionTable() {
  static const std::array<std::int16_t, 256> table = [] {
    std::array<std::int16_t, 256> values{};
    for (unsigned code = 0; code < 256; ++code) values[code] = Expand(static_cast<std::uint8_t>(code));
    return values;
  }();
  return table;
}

template <std::int16_t (*Expand)(std::uint8_t)>
std::unique_ptr<BlockDecoder> MakeG711Decoder(const SourceInfo& info) {
  const std::int16_t* table = ExpansionTable<Expand>().data();
  auto expand = [table](const std::uint8_t* b) { return table[*b]; };
  auto expandFull = [table](const std::uint8_t* b) { return std::int32_t{table[*b]}; };
  return MakeFramedDecoder<std::int16_t, 1, std::int32_t>(info.channels, expand, expandFull);
}

}  // namespace

std::int16_t AlawToLinear(std::uint8_t code) {
  const unsigned a = code ^ kAlawToggle;
  int t = static_cast<int>((a & 0x0F) << 4);
  const unsigned segment = (a >> 4) & 7;
  if (segment == 0) {
    t += kAlawSegmentZeroOffset;
  } else {
    t = (t + kAlawSegmentBase) << (segment - 1);
  }
  return static_cast<std::int16_t>((a & kSignBit) ? t : -t);
}

std::int16_t UlawToLinear(std::uint8_t code) {
  const unsigned u = ~code & 0xFFu;
  int t = static_cast<int>(((u & 0x0F) << 3) + kUlawBias);
  t <<= (u >> 4) & 7;
  return static_cast<std::int16_t>((u & kSignBit) ? static_cast<int>(kUlawBias) - t : t - static_cast<int>(kUlawBias));
}

std::unique_ptr<BlockDecoder> MakeAlawDecoder(const SourceInfo& info) { return MakeG711Decoder<AlawToLinear>(info); }

std::unique_ptr<BlockDecoder> MakeUlawDecoder(const SourceInfo& info) { return MakeG711Decoder<UlawToLinear>(info); }

}  // namespace velmora
