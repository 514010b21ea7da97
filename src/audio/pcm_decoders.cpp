#include "audio/pcm_decoders.h"

#include <cstdint>

#include "audio/big_endian.h"
#include "audio/framed_decoder.h"

namespace velmora {
namespace {

// b0 is the byte at the lowest address; the result keeps the two most significant bytes.
std::int16_t Le16At(const std::uint8_t* b) { return static_cast<std::int16_t>((b[1] << 8) | b[0]); }

// A whole sample of `Bytes` bytes, sign-extended: the bytes go to the top of 32 bits, and an
// arithmetic shift brings them back down.
template <int Bytes, bool Little>
std::int32_t WholeSample(const std::uint8_t* b) {
  std::uint32_t value = 0;
  for (int i = 0; i < Bytes; ++i) value |= std::uint32_t{b[Little ? i : Bytes - 1 - i]} << (8 * i);
  return static_cast<std::int32_t>(value << (32 - 8 * Bytes)) >> (32 - 8 * Bytes);
}

template <int Bytes, bool Little, typename Convert>
std::unique_ptr<BlockDecoder> MakeWide(int channels, Convert convert) {
  return MakeFramedDecoder<std::int16_t, Bytes, std::int32_t>(channels, convert, WholeSample<Bytes, Little>);
}

}  // namespace

std::unique_ptr<BlockDecoder> MakePcmDecoder(const SourceInfo& info) {
  const bool little = info.byteOrder == ByteOrder::LittleEndian;
  const int bits = info.bitsPerSample;
  const int channels = info.channels;
  if (bits >= 1 && bits <= 8) {
    // Signed two's complement to offset binary; byte order does not matter for one byte.
    return MakeFramedDecoder<std::uint8_t, 1, std::int32_t>(
        channels, [](const std::uint8_t* b) { return static_cast<std::uint8_t>(b[0] ^ 0x80); },
        WholeSample<1, false>);
  }
  if (bits <= 16) {
    return little ? MakeWide<2, true>(channels, [](const std::uint8_t* b) { return Le16At(b); })
                  : MakeWide<2, false>(channels, [](const std::uint8_t* b) { return static_cast<std::int16_t>(Be16(b)); });
  }
  if (bits <= 24) {
    return little ? MakeWide<3, true>(channels, [](const std::uint8_t* b) { return Le16At(b + 1); })
                  : MakeWide<3, false>(channels, [](const std::uint8_t* b) { return static_cast<std::int16_t>(Be16(b)); });
  }
  if (bits <= 32) {
    return little ? MakeWide<4, true>(channels, [](const std::uint8_t* b) { return Le16At(b + 2); })
                  : MakeWide<4, false>(channels, [](const std::uint8_t* b) { return static_cast<std::int16_t>(Be16(b)); });
  }
  return nullptr;
}

std::unique_ptr<BlockDecoder> MakeRaw8Decoder(const SourceInfo& info) {
  return MakeFramedDecoder<std::uint8_t, 1, std::int32_t>(
      info.channels, [](const std::uint8_t* b) { return b[0]; },
      [](const std::uint8_t* b) { return std::int32_t{b[0]} - kSilence8; });
}

}  // namespace velmora
