#include "audio/compression_table.h"

#include <cstring>
#include <iterator>

#include "audio/dwvw_decoder.h"
#include "audio/float_decoders.h"
#include "audio/g711.h"
#include "audio/gsm_decoder.h"
#include "audio/ima4_decoder.h"
#include "audio/pcm_decoders.h"

namespace velmora {
namespace {

constexpr CompressionEntry kCompressions[] = {
    {{'N', 'O', 'N', 'E'}, CompressionKind::Pcm, 0, ByteOrder::BigEndian},
    {{'t', 'w', 'o', 's'}, CompressionKind::Pcm, 0, ByteOrder::BigEndian},
    {{'i', 'n', '2', '4'}, CompressionKind::Pcm, 0, ByteOrder::BigEndian},
    {{'i', 'n', '3', '2'}, CompressionKind::Pcm, 0, ByteOrder::BigEndian},
    {{'s', 'o', 'w', 't'}, CompressionKind::Pcm, 0, ByteOrder::LittleEndian},
    {{'2', '3', 'n', 'i'}, CompressionKind::Pcm, 0, ByteOrder::LittleEndian},
    {{'f', 'l', '3', '2'}, CompressionKind::Float32, 32, ByteOrder::BigEndian},
    {{'F', 'L', '3', '2'}, CompressionKind::Float32, 32, ByteOrder::BigEndian},
    {{'f', 'l', '6', '4'}, CompressionKind::Float64, 64, ByteOrder::BigEndian},
    {{'F', 'L', '6', '4'}, CompressionKind::Float64, 64, ByteOrder::BigEndian},
    {{'a', 'l', 'a', 'w'}, CompressionKind::Alaw, 8, ByteOrder::BigEndian},
    {{'A', 'L', 'A', 'W'}, CompressionKind::Alaw, 8, ByteOrder::BigEndian},
    {{'u', 'l', 'a', 'w'}, CompressionKind::Ulaw, 8, ByteOrder::BigEndian},
    {{'U', 'L', 'A', 'W'}, CompressionKind::Ulaw, 8, ByteOrder::BigEndian},
    {{'r', 'a', 'w', ' '}, CompressionKind::Raw8, 8, ByteOrder::BigEndian},
    {{'i', 'm', 'a', '4'}, CompressionKind::Ima4, 4, ByteOrder::BigEndian},
    {{'G', 'S', 'M', ' '}, CompressionKind::Gsm, 0, ByteOrder::BigEndian},
    {{'D', 'W', 'V', 'W'}, CompressionKind::Dwvw, 0, ByteOrder::BigEndian},
};

}  // namespace

const CompressionEntry* FindCompression(const std::uint8_t* code) {
  for (const auto& entry : kCompressions) {
    if (std::memcmp(entry.code, code, 4) == 0) return &entry;
  }
  return nullptr;
}

namespace {

// The width the full-resolution path delivers: PCM its whole bytes, the floats their own
// type, the compressed codes what they decode to.
void ChooseFullFormat(SourceInfo& info) {
  info.fullFloat = false;
  switch (info.compression) {
    case CompressionKind::Pcm: info.fullBits = (info.bitsPerSample + 7) / 8 * 8; return;
    case CompressionKind::Raw8: info.fullBits = 8; return;
    case CompressionKind::Float32:
    case CompressionKind::Float64:
      info.fullBits = info.bitsPerSample;
      info.fullFloat = true;
      return;
    case CompressionKind::Dwvw: info.fullBits = DwvwFullBits(info.bitsPerSample); return;
    case CompressionKind::Alaw:
    case CompressionKind::Ulaw:
    case CompressionKind::Ima4:
    case CompressionKind::Gsm: info.fullBits = 16; return;
  }
}

}  // namespace

std::unique_ptr<BlockDecoder> MakeBlockDecoder(SourceInfo& info) {
  info.outputBits = 16;
  ChooseFullFormat(info);
  switch (info.compression) {
    case CompressionKind::Pcm:
      if (info.bitsPerSample <= 8) info.outputBits = 8;
      return MakePcmDecoder(info);
    case CompressionKind::Raw8:
      info.outputBits = 8;
      return MakeRaw8Decoder(info);
    case CompressionKind::Float32:
      return MakeFloat32Decoder(info);
    case CompressionKind::Float64:
      return MakeFloat64Decoder(info);
    case CompressionKind::Alaw:
      return MakeAlawDecoder(info);
    case CompressionKind::Ulaw:
      return MakeUlawDecoder(info);
    case CompressionKind::Ima4:
      return MakeIma4Decoder(info);
    case CompressionKind::Gsm:
      return MakeGsmDecoder(info);
    case CompressionKind::Dwvw:
      return MakeDwvwDecoder(info);
  }
  return nullptr;
}

}  // namespace velmora
