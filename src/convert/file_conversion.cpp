#include "convert/file_conversion.h"

#include <array>
#include <utility>

#include "convert/wav_writer.h"

namespace velmora {
namespace {

// Planar block buffers for what the reader delivers (int16_t, or bytes for 8-bit sources).
struct ReadBuffers {
  std::array<std::int16_t, kMaxBlockFrames> left{};
  std::array<std::int16_t, kMaxBlockFrames> right{};
};

bool CancelRequested(const FileContext& context) {
  return context.cancel && context.cancel->load(std::memory_order_relaxed);
}

}  // namespace

FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile&& output, const ConverterSettings& settings,
                             const FileContext& context) {
  (void)settings;
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) {
    output.Discard();
    return {FileResult::Failed, "invalid sample rate " + std::to_string(info.sampleRate)};
  }
  const int bits = info.outputBits;
  const bool stereo = info.outputChannels == 2;
  WavWriter writer;
  if (!writer.Open(std::move(output), stereo, bits, info.sampleRate)) {
    const std::string reason = writer.ErrorText();
    writer.Discard();
    return {FileResult::Failed, reason};
  }

  ReadBuffers buffers;
  bool end = false;
  std::int64_t done = 0;
  while (!end) {
    const int frames = reader.ReadBlock(buffers.left.data(), buffers.right.data(), end);
    if (frames <= 0) break;
    done += frames;
    if (context.progress) context.progress(done);
    if (CancelRequested(context)) {
      if (end) break;  // the last block arrived: the file is complete without it
      writer.Discard();
      return {FileResult::Cancelled, {}};
    }
    const bool written =
        bits == 16 ? writer.Write16(buffers.left.data(), buffers.right.data(), frames)
                   : writer.Write8(reinterpret_cast<const std::uint8_t*>(buffers.left.data()),
                                   reinterpret_cast<const std::uint8_t*>(buffers.right.data()), frames);
    if (!written) break;
  }
  if (reader.Error() != AiffError::None) {
    writer.Discard();
    return {FileResult::Failed, reader.ErrorText()};
  }
  if (!writer.Close()) {
    const std::string reason = writer.ErrorText();
    writer.Discard();
    return {FileResult::Failed, reason};
  }
  return {FileResult::Converted, {}};
}

}  // namespace velmora
