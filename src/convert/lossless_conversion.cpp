#include "convert/lossless_conversion.h"

#include <string>
#include <vector>

#include "convert/gain.h"
#include "convert/tag_writer.h"
#include "convert/wav_full_writer.h"

namespace velmora {

FileOutcome ConvertFileToLosslessWav(AiffReader& reader, OutputFile& output, const ConverterSettings& settings,
                                     const FileContext& context) {
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) return FileOutcome::Failure(FileReason::InvalidSampleRate, std::to_string(info.sampleRate));
  WavFullWriter writer;
  if (!writer.Open(output, {info.channels, info.sampleRate, info.fullBits, info.fullFloat})) return writer.Failure();
  if (settings.CopyTags) writer.SetTrailingChunks(BuildWavTagChunks(reader.Tags()));
  const float gain = ChooseGain(settings.AmplifyWav, settings.AmplifyWavCoeff);
  const auto channels = static_cast<std::size_t>(info.channels);
  // Room for a block of the widest sample type; int32_t and float blocks use its storage too.
  std::vector<double> block(static_cast<std::size_t>(kMaxBlockFrames) * channels);

  // As in the other conversions: a Cancel seen with the block that ends the data comes too late
  // to matter, and that block is written.
  FileOutcome outcome{FileResult::Converted, FileReason::None, 0, {}, 0, info.frames};
  bool end = false;
  while (!end) {
    const int frames = reader.ReadFullBlock(block.data(), end);
    if (frames <= 0) break;
    outcome.framesRead += static_cast<std::uint64_t>(frames);
    if (context.progress) context.progress(outcome.framesRead);
    if (context.cancel && context.cancel->load(std::memory_order_relaxed) && !end) {
      return {FileResult::Cancelled, FileReason::None, 0, {}, 0, 0};
    }
    if (gain != 0.0f) {
      ApplyGainFull(block.data(), static_cast<std::size_t>(frames) * channels, info.fullBits, info.fullFloat, gain);
    }
    if (!writer.Write(block.data(), frames)) return writer.Failure();
  }
  if (reader.Error() != AiffError::None) return FileOutcome::Failure(FileReason::SourceUnreadable, reader.ErrorText());
  if (!writer.Close()) return writer.Failure();
  if (outcome.framesRead < outcome.framesExpected) outcome.reason = FileReason::SourceEndsEarly;
  return outcome;
}

}  // namespace velmora
