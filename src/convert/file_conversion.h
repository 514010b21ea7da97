#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/file_outcome.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

namespace velmora {

// The WAV format a source is written in.
struct WavFormat {
  int sampleRate = 0;
  int channels = 0;
  int bits = 0;
};
WavFormat ChooseWavFormat(const SourceInfo& source, const WavTarget& target);

// The frames `frames` source frames become when resampled from `fromRate` to `toRate`:
// ceil(frames * toRate / fromRate), as SampleConverter delivers them.
std::uint64_t ResampledFrames(std::uint64_t frames, int fromRate, int toRate);

// The sound a conversion to MP3 hands to its encoder, before any gain: the encoder's output
// rate and channels, 16 bits. Nothing when the encoder refuses the source's rate.
std::optional<WavFormat> Mp3EncodedFormat(const SourceInfo& source, const Mp3Options& options);

// Convert an opened source into an output file created for it, in the WAV format of
// `options.wav.target`. On Converted the output is
// complete and closed, ready to take its final name; otherwise the caller discards it. A
// converted outcome says SourceEndsEarly when the source held fewer frames than its header
// announced.
FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile& output, const ConversionOptions& options,
                             const FileContext& context);
// One encoding of the source into `output` as MP3, with the context's gain as it is (the
// whole conversion to MP3 is ConvertFileToMp3 in convert/mp3_loudness.h).
FileOutcome EncodeMp3File(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                          const ConversionOptions& options, const FileContext& context);

}  // namespace velmora
