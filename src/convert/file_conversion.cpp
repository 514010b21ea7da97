#include "convert/file_conversion.h"

#include <utility>
#include <vector>

#include "convert/block_pump.h"
#include "convert/gain.h"
#include "convert/id3_block.h"
#include "convert/lossless_conversion.h"
#include "convert/mp3_encoder.h"
#include "convert/sample_converter.h"
#include "convert/tag_writer.h"
#include "convert/wav_writer.h"
#include "platform/file_system.h"
#include "settings/option_limits.h"

namespace velmora {
namespace {

// Planar buffers for one block: 16-bit samples, or bytes in the same storage for 8-bit data.
struct PlanarBuffers {
  explicit PlanarBuffers(int frames) : left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames)) {}
  std::vector<std::int16_t> left, right;
  std::uint8_t* Left8() { return reinterpret_cast<std::uint8_t*>(left.data()); }
  std::uint8_t* Right8() { return reinterpret_cast<std::uint8_t*>(right.data()); }
};

// The reader's next block, in the planar buffers.
auto ReadInto(AiffReader& reader, PlanarBuffers& read) {
  return [&reader, &read](bool& end) { return reader.ReadBlock(read.left.data(), read.right.data(), end); };
}

void ApplyGain(PlanarBuffers& buffers, int frames, int channels, int bits, float gain) {
  if (gain == 0.0f || frames <= 0) return;
  if (bits == 16) ApplyGain16(buffers.left.data(), buffers.right.data(), frames, channels, gain);
  else ApplyGain8(buffers.Left8(), buffers.Right8(), frames, channels, gain);
}

}  // namespace

WavTarget WavTargetFromSettings(const ConverterSettings& settings) {
  if (settings.WAVLossless) return {std::nullopt, std::nullopt, std::nullopt, true};
  if (settings.AutoDestWAVEncodingParam) return {};
  return {settings.WAVSampleRate, settings.WAVChannelNum == 1 ? 1 : 2, settings.WAVBitsPerSample == 8 ? 8 : 16, false};
}

WavFormat ChooseWavFormat(const SourceInfo& source, const WavTarget& target) {
  return {target.sampleRate.value_or(source.sampleRate), target.channels.value_or(source.outputChannels),
          target.bits.value_or(source.outputBits)};
}

float ChooseGain(std::int32_t enabled, std::int32_t percent) {
  return enabled && percent != kUnityGainPercent ? GainFactor(percent) : 0.0f;
}

float ChooseGain(std::int32_t enabled, std::int32_t percent, const FileContext& context) {
  if (context.loudness && context.loudness->gain) return *context.loudness->gain;
  return ChooseGain(enabled, percent);
}

std::vector<std::pair<std::string, std::string>> LoudnessTexts(const FileContext& context) {
  if (!context.loudness || !context.loudness->replayGain) return {};
  return ReplayGainTags(*context.loudness->replayGain);
}

namespace {

// The encoder's parameters from the settings, for the conversion and for measuring before it.
void ConfigureMp3Encoder(Mp3Encoder& encoder, const SourceInfo& info, const ConverterSettings& settings) {
  encoder.SetInputChannels(info.outputChannels);
  encoder.SetInputRate(info.sampleRate);
  // Variable bit rate and the information frame apply with automatic parameters too; with
  // explicit ones, the quality level takes the bit rate's place.
  encoder.SetVbrQuality(settings.MP3VbrQuality);
  encoder.SetGapless(settings.MP3Gapless != 0);
  if (!settings.AutoDestMP3EncodingParam) {
    encoder.SetBitRate(settings.MP3BitRate);
    encoder.SetOutputRate(settings.MP3SampleRate);
    encoder.SetChannelMode(settings.MP3ChannelMode);
  }
}

}  // namespace

std::optional<WavFormat> ConvertedFormat(const SourceInfo& source, OutputFormat format, const WavTarget& target,
                                         const ConverterSettings& settings) {
  if (source.sampleRate <= 0) return std::nullopt;
  if (format == OutputFormat::Wav) return ChooseWavFormat(source, target);
  Mp3Encoder encoder;
  ConfigureMp3Encoder(encoder, source, settings);
  const auto output = encoder.PlannedOutput();
  if (!output) return std::nullopt;
  return WavFormat{output->rate, output->channels, 16};
}

FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile& output, const WavTarget& target,
                             const ConverterSettings& settings, const FileContext& context) {
  if (target.lossless) return ConvertFileToLosslessWav(reader, output, settings, context);
  const SourceInfo& info = reader.Info();
  const WavFormat format = ChooseWavFormat(info, target);
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  const bool converting = format.sampleRate != info.sampleRate || format.channels != info.outputChannels ||
                          format.bits != info.outputBits;
  SampleConverter converter;
  if (converting && !converter.Configure(info.sampleRate, info.outputChannels, info.outputBits, format.sampleRate,
                                         format.channels, format.bits)) {
    return FileOutcome::Failure(FileReason::CannotResample, std::to_string(info.sampleRate) + " Hz to " +
                                                                std::to_string(format.sampleRate) + " Hz");
  }
  WavWriter writer;
  if (!writer.Open(output, format.channels == 2, format.bits, format.sampleRate)) return writer.Failure();
  std::vector<std::string> tagNotes;
  writer.SetTrailingChunks(
      BuildWavTagChunks(TagsToCarry(reader, settings, {}, tagNotes, context.cancel), &tagNotes, LoudnessTexts(context)));
  if (StopSeen(context)) return CancelledOutcome();
  const float gain = ChooseGain(settings.AmplifyWav, settings.AmplifyWavCoeff, context);
  PlanarBuffers read(kMaxBlockFrames);
  PlanarBuffers converted(converting ? converter.OutputCapacity(kMaxBlockFrames) : 0);
  PlanarBuffers& out = converting ? converted : read;

  auto write = [&](int frames) {
    ApplyGain(out, frames, format.channels, format.bits, gain);
    return format.bits == 16 ? writer.Write16(out.left.data(), out.right.data(), frames)
                             : writer.Write8(out.Left8(), out.Right8(), frames);
  };
  FileOutcome outcome = PumpBlocks(reader, context, ReadInto(reader, read), [&](int frames) {
    if (converting) frames = converter.Convert(read.left.data(), read.right.data(), frames, out.left.data(), out.right.data());
    return write(frames);
  });
  if (outcome.result != FileResult::Converted) {
    return outcome.reason == FileReason::WriteFailed ? writer.Failure() : outcome;
  }
  if (converting) {
    const int frames = converter.Flush(out.left.data(), out.right.data(), context.cancel);
    if (StopSeen(context)) return CancelledOutcome();
    if (!write(frames)) return writer.Failure();
  }
  if (!writer.Close()) return writer.Failure();
  outcome.tagNotes = std::move(tagNotes);
  return outcome;
}

FileOutcome ConvertFileToMp3(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                             const ConverterSettings& settings, const FileContext& context) {
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  Mp3Encoder encoder;
  if (!encoder.Open(output)) return FileOutcome::Failure(FileReason::EncoderUnavailable);
  const Id3TagRecord& options = settings.ID3Tag;
  const std::string title = options.TitleFromFileName() ? Id3TitleFromFileName(FileNamePart(sourcePath)) : options.Title();
  if (settings.AddID3Tag) {
    encoder.SetId3Block(BuildId3Block(title, options.Artist(), options.Album(), options.Year(), options.Comment(),
                                      options.Genre()));
  }
  std::vector<std::string> tagNotes;
  encoder.SetLeadingTag(
      BuildId3v2Tag(TagsToCarry(reader, settings, title, tagNotes, context.cancel), &tagNotes, LoudnessTexts(context)));
  if (StopSeen(context)) return CancelledOutcome();
  if (context.loudness && context.loudness->replayGain) {
    const ReplayGainValues& values = *context.loudness->replayGain;
    encoder.SetReplayGain({values.trackGain, values.albumGain, values.trackPeak});
  }
  ConfigureMp3Encoder(encoder, info, settings);
  if (!encoder.Start()) {
    const bool vbr = settings.MP3VbrQuality != kMp3ConstantBitRate;
    const std::string quality =
        vbr ? "V" + std::to_string(settings.MP3VbrQuality) : std::to_string(settings.MP3BitRate) + " kbit/s";
    const std::string asked = settings.AutoDestMP3EncodingParam
                                  ? std::to_string(info.sampleRate) + " Hz input"
                                  : quality + " at " + std::to_string(settings.MP3SampleRate) + " Hz";
    return FileOutcome::Failure(FileReason::EncoderRejects, asked);
  }
  // A frame too small for the gapless information frame is named in the outcome.
  const std::string smallFrame = encoder.GaplessFrameFits() ? std::string()
                                                            : std::to_string(encoder.BitRate()) + " kbit/s at " +
                                                                  std::to_string(encoder.OutputRate()) + " Hz";
  // The encoder takes 16-bit samples: 8-bit sources are widened on the way.
  const bool widening = info.outputBits == 8;
  SampleConverter widener;
  if (widening) widener.Configure(info.sampleRate, info.outputChannels, 8, info.sampleRate, info.outputChannels, 16);
  const float gain = ChooseGain(settings.AmplifyMp3, settings.AmplifyMp3Coeff, context);
  PlanarBuffers read(kMaxBlockFrames);
  PlanarBuffers widened(widening ? widener.OutputCapacity(kMaxBlockFrames) : 0);
  PlanarBuffers& out = widening ? widened : read;

  FileOutcome outcome = PumpBlocks(reader, context, ReadInto(reader, read), [&](int frames) {
    if (widening) frames = widener.Convert(read.left.data(), read.right.data(), frames, out.left.data(), out.right.data());
    ApplyGain(out, frames, info.outputChannels, 16, gain);
    return encoder.Encode(out.left.data(), out.right.data(), frames);
  });
  if (outcome.result == FileResult::Converted && !encoder.Close()) outcome.reason = FileReason::WriteFailed;
  if (outcome.result == FileResult::Converted && outcome.reason == FileReason::None && !smallFrame.empty()) {
    outcome.reason = FileReason::GaplessFrameLeftOut;
    outcome.detail = smallFrame;
  }
  if (outcome.reason == FileReason::WriteFailed) {
    return FileOutcome::Failure(FileReason::WriteFailed, {}, output.Error());
  }
  if (outcome.result == FileResult::Converted) outcome.tagNotes = std::move(tagNotes);
  return outcome;
}

}  // namespace velmora
