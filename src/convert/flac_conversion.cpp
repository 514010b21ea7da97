#include "convert/flac_conversion.h"

#include <FLAC/stream_decoder.h>

#include <cmath>
#include <vector>

#include "convert/aiff_chunk_blocks.h"
#include "convert/block_pump.h"
#include "convert/flac_writer.h"
#include "convert/gain.h"
#include "convert/sample_hash.h"
#include "convert/tag_writer.h"
#include "convert/wav_full_writer.h"

namespace velmora {
namespace {

// Float samples (1.0 = full scale) rounded to integers of kFlacFloatBits, clipped at the
// width's limits; NaN is silence.
template <typename Float>
void FloatToInteger(const Float* in, std::size_t count, std::int32_t* out) {
  constexpr double kScale = 1 << (kFlacFloatBits - 1);
  constexpr double kHighest = kScale - 1;
  for (std::size_t i = 0; i < count; ++i) {
    const double value = std::nearbyint(static_cast<double>(in[i]) * kScale);
    out[i] = value >= -kScale && value <= kHighest ? static_cast<std::int32_t>(value)
             : value > kHighest                    ? static_cast<std::int32_t>(kHighest)
             : value < -kScale                     ? static_cast<std::int32_t>(-kScale)
                                                   : 0;
  }
}

// What the decoder hears while reading a file back.
struct ReadBack {
  SampleHash hash;
  std::uint64_t frames = 0;
  int channels = 0;
  int sampleRate = 0;
  bool failed = false;
  const std::atomic<bool>* cancel = nullptr;  // the batch's Cancel, looked at every frame
  bool cancelled = false;
  std::vector<std::int32_t> frame;
};

FLAC__StreamDecoderWriteStatus OnDecoded(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                         const FLAC__int32* const buffer[], void* client) {
  auto* back = static_cast<ReadBack*>(client);
  if (back->cancel && back->cancel->load(std::memory_order_relaxed)) {
    back->cancelled = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  const unsigned channels = frame->header.channels;
  back->frame.resize(channels);
  for (unsigned i = 0; i < frame->header.blocksize; ++i) {
    for (unsigned c = 0; c < channels; ++c) back->frame[c] = buffer[c][i];
    back->hash.Add(back->frame.data(), channels);
  }
  back->frames += frame->header.blocksize;
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* client) {
  if (block->type != FLAC__METADATA_TYPE_STREAMINFO) return;
  auto* back = static_cast<ReadBack*>(client);
  back->channels = static_cast<int>(block->data.stream_info.channels);
  back->sampleRate = static_cast<int>(block->data.stream_info.sample_rate);
}

void OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* client) {
  static_cast<ReadBack*>(client)->failed = true;
}

}  // namespace

std::optional<WavFormat> FlacHandedOn(const SourceInfo& source, const ConversionOptions&) {
  if (source.sampleRate <= 0) return std::nullopt;
  return WavFormat{source.sampleRate, source.channels, source.fullFloat ? kFlacFloatBits : source.fullBits};
}

FileOutcome ConvertFileToFlac(AiffReader& reader, const std::string&, OutputFile& output,
                              const ConversionOptions& options, const FileContext& context) {
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  std::vector<TagNote> notes;
  FlacMetadata metadata;
  metadata.tags = TagsToCarry(reader, options.tags, {}, notes, context.cancel);
  metadata.named = LoudnessTexts(context);
  if (info.channels > 2) metadata.channelMask = WavChannelMask(info.channels);
  if (options.flac.keepChunks) metadata.applicationAiff = AiffChunkBlocks(reader, notes);
  if (StopSeen(context)) return FileOutcome::Cancelled();

  const int bits = info.fullFloat ? kFlacFloatBits : info.fullBits;
  if (info.fullFloat) notes.push_back({TagNote::Kind::FloatAsInteger, {}, 1, 0, kFlacFloatBits});
  FlacWriter writer;
  if (!writer.Open(output, {info.channels, info.sampleRate, bits}, options.flac.level, info.frames, metadata, notes)) {
    return writer.Failure();
  }
  metadata = {};  // the encoder holds its own copies; a cover or a chunk can be megabytes

  // FLAC has no amplification of its own: only normalisation changes the samples.
  const std::optional<float> gain = ChooseGain(std::nullopt, context);
  const auto channels = static_cast<std::size_t>(info.channels);
  const std::size_t blockSamples = static_cast<std::size_t>(kMaxBlockFrames) * channels;
  // Room for a block of the widest sample type; int32_t and float blocks use its storage too.
  std::vector<double> block(blockSamples);
  std::vector<std::int32_t> converted(info.fullFloat ? blockSamples : 0);
  // The samples are hashed only to be read back: the hash costs a sixth of the encoding.
  SampleHash hash;
  const bool hashing = options.output.verify;

  FileOutcome outcome = PumpBlocks(
      reader, context, [&](bool& end) { return reader.ReadFullBlock(block.data(), end); },
      [&](int frames) {
        const std::size_t count = static_cast<std::size_t>(frames) * channels;
        if (gain) ApplyGainFull(block.data(), count, info.fullBits, info.fullFloat, *gain);
        const std::int32_t* samples = reinterpret_cast<const std::int32_t*>(block.data());
        if (info.fullFloat) {
          if (info.fullBits == 64) FloatToInteger(block.data(), count, converted.data());
          else FloatToInteger(reinterpret_cast<const float*>(block.data()), count, converted.data());
          samples = converted.data();
        }
        if (hashing) hash.Add(samples, count);
        return writer.Write(samples, frames);
      });
  if (outcome.result != FileResult::Converted) {
    return outcome.reason == FileReason::WriteFailed ? writer.Failure() : outcome;
  }
  if (!writer.Close()) return writer.Failure();
  outcome.tagNotes = std::move(notes);
  outcome.written = {outcome.framesRead, info.sampleRate, info.channels,
                     hashing ? std::optional<std::uint64_t>(hash.Value()) : std::nullopt};
  return outcome;
}

FileOutcome VerifyFlacFile(const std::string& path, const WrittenSound& written, const ConversionOptions&,
                           const std::atomic<bool>* cancel) {
  const auto fail = [](std::string detail) {
    return FileOutcome::Failure(FileReason::VerificationFailed, std::move(detail));
  };
  FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
  if (!decoder) return FileOutcome::Failure(FileReason::OutOfMemory);
  ReadBack back;
  back.cancel = cancel;
  FLAC__stream_decoder_set_md5_checking(decoder, true);
  bool decoded = false;
  if (FLAC__stream_decoder_init_file(decoder, path.c_str(), OnDecoded, OnMetadata, OnError, &back) ==
      FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    decoded = FLAC__stream_decoder_process_until_end_of_stream(decoder) != 0;
  }
  // Finishing checks the MD5 of the samples against STREAMINFO's.
  const bool md5Agrees = FLAC__stream_decoder_finish(decoder) != 0;
  FLAC__stream_decoder_delete(decoder);
  if (back.cancelled) return FileOutcome::Cancelled();
  if (!decoded || back.failed) return fail("the file does not decode");
  if (!md5Agrees) return fail("the MD5 of the decoded samples differs");
  if (back.channels != written.channels || back.sampleRate != written.sampleRate) {
    return fail("the stream's rate or channels differ");
  }
  if (back.frames != written.frames) {
    return fail("decoded " + std::to_string(back.frames) + " frames, written " + std::to_string(written.frames));
  }
  if (written.sampleHash && back.hash.Value() != *written.sampleHash) return fail("decoded samples differ");
  return FileOutcome{FileResult::Converted, FileReason::None, 0, {}, 0, 0};
}

}  // namespace velmora
