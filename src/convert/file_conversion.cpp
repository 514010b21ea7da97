#include "convert/file_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "convert/block_pump.h"
#include "convert/full_precision_converter.h"
#include "convert/gain.h"
#include "convert/id3_block.h"
#include "convert/lossless_conversion.h"
#include "convert/mp3_encoder.h"
#include "convert/sample_converter.h"
#include "convert/sampler_chunks.h"
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

void ApplyGain(PlanarBuffers& buffers, int frames, int channels, int bits, std::optional<float> gain) {
  if (!gain || frames <= 0) return;
  if (bits == 16) ApplyGain16(buffers.left.data(), buffers.right.data(), frames, channels, *gain);
  else ApplyGain8(buffers.Left8(), buffers.Right8(), frames, channels, *gain);
}

// Whether the gain is applied before the sound is cut to the output's width (16 bits for
// MP3): always for normalisation, and for a coefficient when the source holds more than the
// output keeps (wider integers, floats). Scaling samples already cut would scale the cut too:
// a quiet source would come out as a few coarse steps. A coefficient on a source no wider than
// the output scales exact samples, and keeps the bytes it has always given.
bool GainAtFullPrecision(const SourceInfo& info, int outBits, std::optional<float> gain, const FileContext& context) {
  if (!gain) return false;
  return (context.loudness && context.loudness->gain) || info.fullFloat || info.fullBits > outBits;
}

// The gain a file gets. A normalisation factor of exactly 1 (a source too quiet to measure)
// leaves the sound as it is. Where the ceiling held the gain, dither to `ditherBits` (0 for
// none) and rounding must not carry the peak past it: they move a sample by less than 1.5
// steps, the true peak between samples a little more, so the gain leaves two steps of room
// (0.0005 dB at 16 bits, 0.15 dB at 8).
std::optional<float> OutputGain(std::optional<float> formatGain, const FileContext& context, int ditherBits) {
  const std::optional<float> gain = ChooseGain(formatGain, context);
  if (!context.loudness || !context.loudness->gain) return gain;
  if (*gain == 1.0f) return std::nullopt;
  const LoudnessNote& note = context.loudness->note;
  if (note.kind != LoudnessNote::Kind::HeldByCeiling || ditherBits == 0) return gain;
  constexpr double kDitherRoom = 2.0;
  const double room = kDitherRoom * std::ldexp(1.0, 1 - ditherBits) / std::pow(10.0, note.ceiling / 20.0);
  return static_cast<float>(*gain * std::max(0.0, 1.0 - room));
}

// The source at full precision through `converter` (configured for it); `consume(frames)`
// takes each block of its output and returns false when the output failed. Ends the
// converter's stream as well.
template <typename Consume>
FileOutcome PumpFullPrecision(AiffReader& reader, const FileContext& context, FullPrecisionConverter& converter,
                              Consume consume) {
  FileOutcome outcome = PumpBlocks(
      reader, context, [&](bool& end) { return reader.ReadFullBlock(converter.Block(), end); },
      [&](int frames) { return consume(converter.Convert(frames)); });
  if (outcome.result != FileResult::Converted) return outcome;
  const int frames = converter.Flush(context.cancel);
  // A Cancel stops the end of a resampled stream, which would leave the output short; the
  // other conversions are complete with the last block.
  if (converter.Resampling() && StopSeen(context)) return FileOutcome::Cancelled();
  if (!consume(frames)) return {FileResult::Failed, FileReason::WriteFailed, 0, {}, 0, 0};
  return outcome;
}

// The reader's 16- or 8-bit blocks, through `converter` where there is one, with the gain
// applied at the output's width; `write(buffers, frames)` takes each block. Ends the
// converter's stream as well.
template <typename Write>
FileOutcome PumpNarrowBlocks(AiffReader& reader, const FileContext& context, SampleConverter* converter,
                             const WavFormat& format, std::optional<float> gain, Write write) {
  PlanarBuffers read(kMaxBlockFrames);
  PlanarBuffers converted(converter ? converter->OutputCapacity(kMaxBlockFrames) : 0);
  PlanarBuffers& out = converter ? converted : read;
  auto apply = [&](int frames) {
    ApplyGain(out, frames, format.channels, format.bits, gain);
    return write(out, frames);
  };
  FileOutcome outcome = PumpBlocks(reader, context, ReadInto(reader, read), [&](int frames) {
    if (converter) frames = converter->Convert(read.left.data(), read.right.data(), frames, out.left.data(), out.right.data());
    return apply(frames);
  });
  if (outcome.result != FileResult::Converted || !converter) return outcome;
  const int frames = converter->Flush(out.left.data(), out.right.data(), context.cancel);
  if (converter->Resampling() && StopSeen(context)) return FileOutcome::Cancelled();
  if (!apply(frames)) return {FileResult::Failed, FileReason::WriteFailed, 0, {}, 0, 0};
  return outcome;
}

FileOutcome CannotResample(int from, int to) { return FileOutcome::RateFailure(FileReason::CannotResample, from, to); }

}  // namespace

std::uint64_t ResampledFrames(std::uint64_t frames, int fromRate, int toRate) {
  if (fromRate <= 0 || toRate <= 0 || fromRate == toRate) return frames;
  // ceil(frames * to / from), split so that no product passes 64 bits.
  const auto from = static_cast<std::uint64_t>(fromRate);
  const auto to = static_cast<std::uint64_t>(toRate);
  return frames / from * to + (frames % from * to + from - 1) / from;
}

WavFormat ChooseWavFormat(const SourceInfo& source, const WavTarget& target) {
  return {target.sampleRate.value_or(source.sampleRate), target.channels.value_or(source.outputChannels),
          target.bits.value_or(source.outputBits)};
}

namespace {

// The encoder's parameters from the options, for the conversion and for measuring before it.
void ConfigureMp3Encoder(Mp3Encoder& encoder, const SourceInfo& info, const Mp3Options& options) {
  encoder.SetInputChannels(info.outputChannels);
  encoder.SetInputRate(info.sampleRate);
  // Variable bit rate and the information frame apply with automatic parameters too; with
  // explicit ones, the quality level takes the bit rate's place.
  encoder.SetVbrQuality(options.vbrQuality.value_or(kMp3ConstantBitRate));
  encoder.SetGapless(options.gapless);
  if (options.fixed) {
    encoder.SetBitRate(options.fixed->bitRate);
    encoder.SetOutputRate(options.fixed->sampleRate);
    encoder.SetChannelMode(static_cast<int>(options.fixed->channels));
  }
}

}  // namespace

std::optional<WavFormat> Mp3EncodedFormat(const SourceInfo& source, const Mp3Options& options) {
  if (source.sampleRate <= 0) return std::nullopt;
  Mp3Encoder encoder;
  ConfigureMp3Encoder(encoder, source, options);
  const auto output = encoder.PlannedOutput();
  if (!output) return std::nullopt;
  return WavFormat{output->rate, output->channels, 16};
}

FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile& output, const ConversionOptions& options,
                             const FileContext& context) {
  if (options.wav.target.lossless) return ConvertFileToLosslessWav(reader, output, options, context);
  const SourceInfo& info = reader.Info();
  const WavFormat format = ChooseWavFormat(info, options.wav.target);
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  const std::optional<float> gain = OutputGain(options.wav.gain, context, format.bits);
  const bool precise = GainAtFullPrecision(info, format.bits, gain, context);
  const bool converting = format.sampleRate != info.sampleRate || format.channels != info.outputChannels ||
                          format.bits != info.outputBits;
  SampleConverter converter;
  FullPrecisionConverter preciseConverter;
  if (precise ? !preciseConverter.Configure(info, format.sampleRate, format.channels)
              : converting && !converter.Configure(info.sampleRate, info.outputChannels, info.outputBits,
                                                   format.sampleRate, format.channels, format.bits)) {
    return CannotResample(info.sampleRate, format.sampleRate);
  }
  WavWriter writer;
  std::vector<TagNote> tagNotes;
  std::vector<std::uint8_t> trailing =
      BuildWavTagChunks(TagsToCarry(reader, options.tags, {}, tagNotes, context.cancel), &tagNotes, LoudnessTexts(context));
  SamplerInfo sampler = reader.Sampler();
  if (StopSeen(context)) return FileOutcome::Cancelled();
  // The most frames the reader can deliver bound the output's before the first block: the
  // writer chooses plain WAV or RF64 from them, so no output fails at 4 GiB.
  const std::uint64_t planned = ResampledFrames(reader.MostFrames(), info.sampleRate, format.sampleRate);
  writer.PlanFrames(planned);
  // The chunks after the sound count in that choice; the markers are placed again in the
  // frames actually written, which can only keep fewer of them.
  writer.SetTrailingChunks(WithSamplerChunks(trailing, sampler, info.sampleRate, format.sampleRate, planned));
  if (!writer.Open(output, format.channels == 2, format.bits, format.sampleRate)) return writer.Failure();
  // Only a file that is read back needs its samples hashed.
  writer.SetHashing(options.output.verify);
  auto write = [&](PlanarBuffers& out, int frames) {
    return format.bits == 16 ? writer.Write16(out.left.data(), out.right.data(), frames)
                             : writer.Write8(out.Left8(), out.Right8(), frames);
  };
  FileOutcome outcome;
  if (precise) {
    // The gain, then dither down to the output's width.
    DitheredGain dithered(format.bits, *gain);
    PlanarBuffers out(preciseConverter.OutputCapacity());
    void* const outputs[2] = {format.bits == 16 ? static_cast<void*>(out.left.data()) : out.Left8(),
                              format.bits == 16 ? static_cast<void*>(out.right.data()) : out.Right8()};
    outcome = PumpFullPrecision(reader, context, preciseConverter, [&](int frames) {
      const float* converted[2] = {preciseConverter.Left(), preciseConverter.Right()};
      for (int c = 0; c < format.channels; ++c) dithered.Reduce(converted[c], static_cast<std::size_t>(frames), outputs[c]);
      return write(out, frames);
    });
  } else {
    outcome = PumpNarrowBlocks(reader, context, converting ? &converter : nullptr, format, gain, write);
  }
  if (outcome.result != FileResult::Converted) {
    return outcome.reason == FileReason::WriteFailed ? writer.Failure() : outcome;
  }
  // The markers and loops go after the tags, placed in the frames actually written.
  writer.SetTrailingChunks(
      WithSamplerChunks(std::move(trailing), sampler, info.sampleRate, format.sampleRate, writer.Written().frames));
  if (!writer.Close()) return writer.Failure();
  tagNotes.insert(tagNotes.end(), sampler.notes.begin(), sampler.notes.end());
  outcome.tagNotes = std::move(tagNotes);
  outcome.written = writer.Written();
  return outcome;
}

FileOutcome EncodeMp3File(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                          const ConversionOptions& options, const FileContext& context) {
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  Mp3Encoder encoder;
  if (!encoder.Open(output)) return FileOutcome::Failure(FileReason::EncoderUnavailable);
  const Id3TagRecord& texts = options.tags.id3Texts;
  const std::string title = texts.TitleFromFileName() ? Id3TitleFromFileName(FileNamePart(sourcePath)) : texts.Title();
  if (options.tags.id3) {
    encoder.SetId3Block(
        BuildId3Block(title, texts.Artist(), texts.Album(), texts.Year(), texts.Comment(), texts.Genre()));
  }
  std::vector<TagNote> tagNotes;
  encoder.SetLeadingTag(
      BuildId3v2Tag(TagsToCarry(reader, options.tags, title, tagNotes, context.cancel), &tagNotes, LoudnessTexts(context)));
  if (StopSeen(context)) return FileOutcome::Cancelled();
  if (context.loudness && context.loudness->replayGain) {
    const ReplayGainValues& values = *context.loudness->replayGain;
    encoder.SetReplayGain({values.trackGain, values.albumGain, values.trackPeak});
  }
  const Mp3Options& mp3 = options.mp3;
  ConfigureMp3Encoder(encoder, info, mp3);
  if (!encoder.Start()) {
    FileOutcome refused = FileOutcome::Failure(FileReason::EncoderRejects);
    refused.mp3 = mp3.fixed ? Mp3Figures{mp3.fixed->bitRate, mp3.fixed->sampleRate,
                                         mp3.vbrQuality.value_or(kMp3ConstantBitRate), false}
                            : Mp3Figures{0, info.sampleRate, kMp3ConstantBitRate, true};
    return refused;
  }
  // A frame too small for the gapless information frame is named in the outcome.
  const bool frameFits = encoder.GaplessFrameFits();
  const Mp3Figures frame{encoder.BitRate(), encoder.OutputRate()};
  const int outputChannels = encoder.OutputChannels();
  const std::optional<float> gain = OutputGain(mp3.gain, context, 0);
  FileOutcome outcome;
  if (GainAtFullPrecision(info, 16, gain, context)) {
    // The encoder takes the source's rate and channels, so nothing is converted before the
    // gain, and floats, so nothing is cut to 16 bits: its own quantisation is the only one.
    FullPrecisionConverter converter;
    converter.Configure(info, info.sampleRate, info.outputChannels);
    std::array<std::vector<float>, 2> scaled;
    for (auto& channel : scaled) channel.resize(static_cast<std::size_t>(converter.OutputCapacity()));
    outcome = PumpFullPrecision(reader, context, converter, [&](int frames) {
      const float* converted[2] = {converter.Left(), converter.Right()};
      for (int c = 0; c < info.outputChannels; ++c) {
        ApplyGainTo16BitScale(converted[c], static_cast<std::size_t>(frames), *gain, scaled[c].data());
      }
      return encoder.EncodeFloat(scaled[0].data(), scaled[1].data(), frames);
    });
  } else {
    auto encode = [&](PlanarBuffers& out, int frames) { return encoder.Encode(out.left.data(), out.right.data(), frames); };
    // The encoder takes 16-bit samples: 8-bit sources are widened on the way.
    const bool widening = info.outputBits == 8;
    SampleConverter widener;
    if (widening) widener.Configure(info.sampleRate, info.outputChannels, 8, info.sampleRate, info.outputChannels, 16);
    outcome = PumpNarrowBlocks(reader, context, widening ? &widener : nullptr, {info.sampleRate, info.outputChannels, 16},
                           gain, encode);
  }
  if (outcome.result == FileResult::Converted && !encoder.Close()) outcome.reason = FileReason::WriteFailed;
  if (outcome.result == FileResult::Converted && outcome.reason == FileReason::None && !frameFits) {
    outcome.reason = FileReason::GaplessFrameLeftOut;
    outcome.mp3 = frame;
  }
  if (outcome.reason == FileReason::WriteFailed) {
    return FileOutcome::Failure(FileReason::WriteFailed, {}, output.Error());
  }
  if (outcome.result == FileResult::Converted) {
    outcome.tagNotes = std::move(tagNotes);
    // Every frame read was handed on; where the encoder resamples, only its resampler knows how
    // many it made of them.
    const bool resampled = frame.hz != info.sampleRate;
    outcome.written = {resampled ? encoder.OutputFrames() : outcome.framesRead, frame.hz, outputChannels, {}};
  }
  return outcome;
}

}  // namespace velmora
