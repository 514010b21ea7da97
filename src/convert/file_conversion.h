#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "audio/aiff_reader.h"
#include "convert/file_outcome.h"
#include "convert/loudness_plan.h"
#include "convert/output_paths.h"
#include "platform/output_file.h"
#include "settings/converter_settings.h"

namespace velmora {

// What one file's conversion reports to and reads from its batch.
struct FileContext {
  std::function<void(std::uint64_t framesDone)> progress;  // after every block, source frames
  const std::atomic<bool>* cancel = nullptr;               // polled after every block
  const LoudnessPlan* loudness = nullptr;                  // normalisation's gain, ReplayGain tags
};

// The WAV format asked for; a value left empty follows the source. The Auto setting leaves all
// three empty; the command line sets only those it was given. Lossless keeps every channel,
// the rate and the full resolution of the source, and the three values are not used.
struct WavTarget {
  std::optional<int> sampleRate;
  std::optional<int> channels;  // 1 or 2
  std::optional<int> bits;      // 8 or 16
  bool lossless = false;
};
WavTarget WavTargetFromSettings(const ConverterSettings& settings);

// The WAV format a source is written in.
struct WavFormat {
  int sampleRate = 0;
  int channels = 0;
  int bits = 0;
};
WavFormat ChooseWavFormat(const SourceInfo& source, const WavTarget& target);

// The gain factor the settings ask for, or 0 for none (off, or exactly 100 %).
float ChooseGain(std::int32_t enabled, std::int32_t percent);
// The gain factor a file gets: normalisation's where it has one, else the settings'.
float ChooseGain(std::int32_t enabled, std::int32_t percent, const FileContext& context);

// The ReplayGain texts a file's tags carry; none without ReplayGain.
std::vector<std::pair<std::string, std::string>> LoudnessTexts(const FileContext& context);

// The sound a conversion hands to its WAV writer or MP3 encoder, before any gain: the rate,
// channels and width after the conversion's own resampling and mixing (for MP3 the encoder's
// output rate and channels, 16 bits). Nothing when the conversion could not start (a rate
// the resampler or encoder refuses). Not for lossless WAV, which keeps the source as it is.
std::optional<WavFormat> ConvertedFormat(const SourceInfo& source, OutputFormat format, const WavTarget& target,
                                         const ConverterSettings& settings);

// Convert an opened source into an output file created for it. On Converted the output is
// complete and closed, ready to take its final name; otherwise the caller discards it. A
// converted outcome says SourceEndsEarly when the source held fewer frames than its header
// announced.
FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile& output, const WavTarget& target,
                             const ConverterSettings& settings, const FileContext& context);
// The conversion to MP3. A normalised file is decoded afterwards as a player decodes it, and
// encoded again with less gain while its true peak passes the ceiling; its line then tells
// the loudness the decoded file measures (convert/mp3_loudness.cpp).
FileOutcome ConvertFileToMp3(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                             const ConverterSettings& settings, const FileContext& context);
// One encoding of the source into `output`, with the context's gain as it is.
FileOutcome EncodeMp3File(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                          const ConverterSettings& settings, const FileContext& context);

}  // namespace velmora
