#pragma once

#include <optional>
#include <string>

#include "settings/converter_settings.h"

namespace velmora {

// The options a conversion runs with, typed: made from the stored record by OptionsFromSettings
// alone, so the engine never reads the stored integers itself.

// The formats Velmora writes. What each one is called and how it is written is in the format
// table (convert/output_format.h).
enum class OutputFormat { Wav = 0, Mp3 = 1, Flac = 2, Opus = 3 };

enum class LoudnessMode { Off, ReplayGain, Normalize };

// Numbered as the MP3 encoder library numbers them.
enum class Mp3ChannelMode { Stereo = kMp3ModeStereo, JointStereo = kMp3ModeJointStereo, Mono = kMp3ModeMono };

// The amplification factor for a coefficient in percent, in single precision as it is
// applied: 10 % gives a factor just below 0.1.
float GainFactor(int percent);

// Where outputs go and what they are called.
struct OutputOptions {
  std::optional<std::string> folder;  // the specified folder; none: next to each source
  bool mirror = false;                // below the folder, a copy of each source's folder path
  std::string namePattern = "{name}";
  bool verify = false;  // each output read back before it takes its final name
  bool copyCompanions = false;  // each source folder's covers and notes copied beside its outputs
};

struct TagOptions {
  bool copySourceTags = true;
  // An ID3v1 tag at the end of an MP3; its texts also take the source's place in every tag.
  bool id3 = false;
  Id3TagRecord id3Texts;
};

struct Mp3Options {
  // Bit rate, rate and channel mode chosen by the user; with none, the encoder follows the
  // source.
  struct Explicit {
    int bitRate = 128;  // kbit/s
    int sampleRate = 44100;
    Mp3ChannelMode channels = Mp3ChannelMode::JointStereo;
  };
  std::optional<Explicit> fixed;
  std::optional<int> vbrQuality;  // LAME's V0..V9; none: a constant bit rate
  bool gapless = false;
  std::optional<float> gain;  // none: the sound as it is
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

struct WavOptions {
  WavTarget target;
  std::optional<float> gain;  // none: the sound as it is
};

struct FlacOptions {
  int level = kDefaultFlacLevel;  // 0 (fastest) to 8 (smallest)
  // The source's chunks travel in the file, so that it can be restored to the same AIFF.
  bool keepChunks = true;
};

enum class OpusVbr { On, Constrained, Off };

struct OpusOptions {
  std::optional<int> bitRate;  // kbit/s; none: kOpusAutoKbpsPerChannel a channel
  OpusVbr vbr = OpusVbr::On;
};

// Normalisation takes the place of the gain; ReplayGain describes the output, gain included.
struct LoudnessOptions {
  LoudnessMode mode = LoudnessMode::Off;
  double target = kDefaultLoudnessTarget;                // LUFS
  double ceiling = kDefaultTruePeakCeilingTenths / 10.0;  // dBTP
  bool album = false;  // the files of one source folder count as one album
};

struct ConversionOptions {
  OutputOptions output;
  TagOptions tags;
  Mp3Options mp3;
  WavOptions wav;
  FlacOptions flac;
  OpusOptions opus;
  LoudnessOptions loudness;
};

ConversionOptions OptionsFromSettings(const ConverterSettings& settings);

}  // namespace velmora
