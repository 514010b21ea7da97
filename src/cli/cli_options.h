#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/conversion_options.h"
#include "settings/converter_settings.h"

namespace velmora::cli {

enum class Command { Help, Version, Info, Convert };

// Everything the command line asked for. Settings overrides are kept apart from the saved
// settings so that they apply to this run only.
struct CliOptions {
  Command command = Command::Help;
  std::vector<std::string> paths;
  OutputFormat format = OutputFormat::Mp3;
  int jobs = 0;  // 0: one per core
  bool quiet = false;
  bool skipExisting = false;
  std::optional<std::string> filesFrom;  // "-" for standard input
  bool nulSeparated = false;             // the list of --files-from is separated by NUL bytes
  // The root of every file given by itself or listed, which {path} starts from; a folder given
  // or listed is the root of the files found below it.
  std::optional<std::string> relativeTo;
  std::optional<std::string> report;     // the JSON Lines report; "-" for standard output

  std::optional<std::string> outputDir;
  bool mirror = false;
  std::optional<int> bitRate, mp3Rate, mp3Mode;
  std::optional<int> vbrQuality;
  std::optional<bool> gapless;
  std::optional<int> wavRate, wavChannels, wavBits;
  bool wavLossless = false;  // --wav-bits source
  std::optional<int> gainPercent;
  std::optional<int> flacLevel;
  bool noKeepChunks = false;  // --no-keep-chunks: FLAC without the source's chunks
  std::optional<int> opusBitRate;  // kbit/s
  std::optional<int> opusVbr;      // kOpusVbrOn, kOpusVbrConstrained or kOpusVbrOff
  std::optional<bool> id3;
  std::optional<std::string> title, artist, album, year, comment;
  std::optional<int> genre;
  std::optional<bool> copyTags;
  std::optional<bool> verify;  // each output read back before it takes its name
  std::optional<bool> copyCompanions;      // each source folder's covers and notes copied beside its outputs
  std::optional<std::string> namePattern;  // checked when parsed
  bool loudness = false;                   // info: measure each source's loudness
  // Loudness of convert: a mode (kLoudnessOff, kLoudnessReplayGain, kLoudnessNormalize) and
  // whether it works per album; the target in LUFS; the ceiling in tenths of a dBTP.
  std::optional<int> loudnessMode;
  // --replaygain track or album and --normalize: the later would silently end the earlier.
  bool replayGainAsked = false;
  bool normalizeAsked = false;
  std::optional<bool> loudnessAlbum;
  std::optional<int> loudnessTarget, truePeakCeiling;
  // The first option given that only one format uses, as typed: refused with the other format.
  std::optional<std::string> mp3Option, wavOption, flacOption, opusOption;
};

// Parses argv (without the program name). On a usage error returns nothing and sets `error`.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

// The saved settings with this run's overrides applied. `error` is set (and false returned)
// when the overrides cannot apply: --mirror with no output folder, --vbr together with a bit
// rate, or an MP3 bit rate that the chosen sample rate cannot carry.
bool ApplyOverrides(const CliOptions& options, ConverterSettings& settings, std::string& error);

// The WAV format of this run: the saved one, or, when any WAV option was given, exactly the
// options given, the others following each source (--wav-bits source: lossless).
WavTarget ChooseWavTarget(const CliOptions& options, const WavTarget& saved);

// The usage text printed by --help and after a usage error.
const char* UsageText();

}  // namespace velmora::cli
