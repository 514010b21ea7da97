#include "audio/pcm_decoders.h"

#include <cstdint>

#include "audio/framed_decoder.h"

namespace velmora {
namespace {

// b0 is the byte at the lowest address; the result keeps the two most significant bytes.
std::int16_t Be16(const std::uint8_t* b) { return static_cast<std::int16_t>((b[0] << 8) | b[1]); }
std::int16_t Le16At(const std::uint8_t* b) { return static_cast<std::int16_t>((b[1] << 8) | b[0]); }

}  // namespace

std::unique_ptr<BlockDecoder> MakePcmDecoder(const SourceInfo& info) {
  const bool little = info.byteOrder == ByteOrder::LittleEndian;
  const int bits = info.bitsPerSample;
  const int channels = info.channels;
  if (bits >= 1 && bits <= 8) {
    // Signed two's complement to offset binary; byte order does not matter for one byte.
    return MakeFramedDecoder<std::uint8_t, 1>(
        channels, [](const std::uint8_t* b) { return static_cast<std::uint8_t>(b[0] ^ 0x80); });
  }
  if (bits <= 16) {
    return little ? MakeFramedDecoder<std::int16_t, 2>(channels, [](const std::uint8_t* b) { return Le16At(b); })
                  : MakeFramedDecoder<std::int16_t, 2>(channels, [](const std::uint8_t* b) { return Be16(b); });
  }
  if (bits <= 24) {
    return little ? MakeFramedDecoder<std::int16_t, 3>(channels, [](const std::uint8_t* b) { return Le16At(b + 1); })
                  : MakeFramedDecoder<std::int16_t, 3>(channels, [](const std::uint8_t* b) { return Be16(b); });
  }
  if (bits <= 32) {
    return little ? MakeFramedDecoder<std::int16_t, 4>(channels, [](const std::uint8_t* b) { return Le16At(b + 2); })
                  : MakeFramedDecoder<std::int16_t, 4>(channels, [](const std::uint8_t* b) { return Be16(b); });
  }
  return nullptr;
}

std::unique_ptr<BlockDecoder> MakeRaw8Decoder(const SourceInfo& info) {
  return MakeFramedDecoder<std::uint8_t, 1>(info.channels, [](const std::uint8_t* b) { return b[0]; });
}

}  // namespace velmora
