#include "convert/lossless_conversion.h"

#include <string>
#include <vector>

#include "convert/block_pump.h"
#include "convert/gain.h"
#include "convert/sampler_chunks.h"
#include "convert/tag_writer.h"
#include "convert/wav_full_writer.h"

namespace velmora {

FileOutcome ConvertFileToLosslessWav(AiffReader& reader, OutputFile& output, const ConversionOptions& options,
                                     const FileContext& context) {
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  WavFullWriter writer;
  std::vector<TagNote> tagNotes;
  std::vector<std::uint8_t> trailing =
      BuildWavTagChunks(TagsToCarry(reader, options.tags, {}, tagNotes, context.cancel), &tagNotes, LoudnessTexts(context));
  SamplerInfo sampler = reader.Sampler();
  if (StopSeen(context)) return FileOutcome::Cancelled();
  // The most frames the reader can deliver: the writer chooses plain WAV or RF64 from them
  // before the first block, so no output fails at 4 GiB.
  writer.PlanFrames(reader.MostFrames());
  // The chunks after the sound count in that choice; the markers are placed again in the
  // frames actually written, which can only keep fewer of them.
  writer.SetTrailingChunks(WithSamplerChunks(trailing, sampler, info.sampleRate, info.sampleRate, reader.MostFrames()));
  if (!writer.Open(output, {info.channels, info.sampleRate, info.fullBits, info.fullFloat})) return writer.Failure();
  // Only a file that is read back needs its samples hashed.
  writer.SetHashing(options.output.verify);
  const std::optional<float> gain = ChooseGain(options.wav.gain, context);
  const auto channels = static_cast<std::size_t>(info.channels);
  // Room for a block of the widest sample type; int32_t and float blocks use its storage too.
  std::vector<double> block(static_cast<std::size_t>(kMaxBlockFrames) * channels);

  FileOutcome outcome = PumpBlocks(
      reader, context, [&](bool& end) { return reader.ReadFullBlock(block.data(), end); },
      [&](int frames) {
        if (gain) {
          ApplyGainFull(block.data(), static_cast<std::size_t>(frames) * channels, info.fullBits, info.fullFloat, *gain);
        }
        return writer.Write(block.data(), frames);
      });
  if (outcome.result != FileResult::Converted) {
    return outcome.reason == FileReason::WriteFailed ? writer.Failure() : outcome;
  }
  // The markers and loops go after the tags, placed in the frames actually written.
  writer.SetTrailingChunks(
      WithSamplerChunks(std::move(trailing), sampler, info.sampleRate, info.sampleRate, writer.Written().frames));
  if (!writer.Close()) return writer.Failure();
  tagNotes.insert(tagNotes.end(), sampler.notes.begin(), sampler.notes.end());
  outcome.tagNotes = std::move(tagNotes);
  outcome.written = writer.Written();
  return outcome;
}

}  // namespace velmora
