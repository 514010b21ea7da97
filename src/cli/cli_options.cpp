#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string_view>

#include "cli/outcome_text.h"
#include "convert/id3_genres.h"
#include "convert/name_pattern.h"
#include "convert/output_format.h"
#include "platform/text_encoding.h"
#include "settings/option_limits.h"

namespace velmora::cli {
namespace {

std::string JoinNumbers(const std::vector<int>& numbers) {
  std::string text;
  for (const int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

// "mp3 or wav", from the format table.
std::string FormatNames() {
  const auto formats = FormatTable();
  std::string text;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    text += i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ";
    text += formats[i].name;
  }
  return text;
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

// "-1.5" as -15 tenths; at most one decimal.
std::optional<int> ParseTenths(const std::string& text) {
  const auto dot = text.find('.');
  if (dot == std::string::npos) {
    const auto whole = ParseInt(text);
    return whole && *whole > -100000 && *whole < 100000 ? std::optional<int>(*whole * 10) : std::nullopt;
  }
  const std::string wholeText = text.substr(0, dot), decimal = text.substr(dot + 1);
  if (decimal.size() != 1 || decimal[0] < '0' || decimal[0] > '9') return std::nullopt;
  const bool negative = wholeText.starts_with('-');
  const auto whole = wholeText == "-" || wholeText.empty() ? std::optional<int>(0) : ParseInt(wholeText);
  if (!whole || *whole > 100000 || *whole < -100000) return std::nullopt;
  const int tenths = decimal[0] - '0';
  return *whole * 10 + (negative ? -tenths : tenths);
}

std::string TenthsText(int tenths) {
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text = (tenths < 0 && tenths > -10 ? "-" : "") + text + "." + std::to_string(std::abs(tenths % 10));
  return text;
}

// Options that take a value; the value is the next argument or follows "=".
enum class Option {
  Format, OutputDir, Jobs, BitRate, Mp3Rate, Mode, Vbr, WavRate, WavChannels, WavBits, Gain, FlacLevel,
  Title, Artist, Album, Year, Comment, Genre, FilesFrom, Name, ReplayGain, Normalize, NormalizeAlbum,
  TruePeakCeiling, OpusBitRate, OpusVbr, RelativeTo, Report,
};

const std::map<std::string, Option>& ValueOptions() {
  static const std::map<std::string, Option> options = {
      {"-f", Option::Format}, {"--format", Option::Format}, {"-o", Option::OutputDir},
      {"--output-dir", Option::OutputDir}, {"-j", Option::Jobs}, {"--jobs", Option::Jobs},
      {"-b", Option::BitRate}, {"--bitrate", Option::BitRate}, {"--mp3-rate", Option::Mp3Rate},
      {"--mode", Option::Mode}, {"--vbr", Option::Vbr}, {"--wav-rate", Option::WavRate},
      {"--wav-channels", Option::WavChannels}, {"--wav-bits", Option::WavBits}, {"--gain", Option::Gain}, {"--flac-level", Option::FlacLevel},
      {"--title", Option::Title},
      {"--artist", Option::Artist}, {"--album", Option::Album}, {"--year", Option::Year},
      {"--comment", Option::Comment}, {"--genre", Option::Genre}, {"--files-from", Option::FilesFrom},
      {"--report", Option::Report},
      {"--name", Option::Name}, {"--replaygain", Option::ReplayGain}, {"--normalize", Option::Normalize},
      {"--normalize-album", Option::NormalizeAlbum}, {"--true-peak-ceiling", Option::TruePeakCeiling},
      {"--opus-bitrate", Option::OpusBitRate}, {"--opus-vbr", Option::OpusVbr},
      {"--relative-to", Option::RelativeTo},
  };
  return options;
}

bool SetValue(CliOptions& o, Option option, const std::string& name, const std::string& value, std::string& error) {
  auto number = [&](int low, int high) -> std::optional<int> {
    const auto n = ParseInt(value);
    if (!n || *n < low || *n > high) {
      error = name + ": expected a number from " + std::to_string(low) + " to " + std::to_string(high) +
              ", got '" + value + "'";
      return std::nullopt;
    }
    return n;
  };
  auto OneOf = [&](const auto& allowed) -> std::optional<int> {
    const auto n = ParseInt(value);
    if (!n || std::find(allowed.begin(), allowed.end(), *n) == allowed.end()) {
      error = name + ": expected one of " + JoinNumbers(std::vector<int>(allowed.begin(), allowed.end())) + ", got '" +
              value + "'";
      return std::nullopt;
    }
    return n;
  };
  auto text = [&](std::optional<std::string>& field, std::size_t limit) {
    if (Utf8Length(value) > limit) {
      error = name + ": at most " + std::to_string(limit) + " characters";
      return false;
    }
    field = value;
    return true;
  };
  switch (option) {
    case Option::Format:
      if (const OutputFormatInfo* format = FormatNamed(value)) {
        o.format = format->format;
        return true;
      }
      return error = name + ": expected " + FormatNames() + ", got '" + value + "'", false;
    case Option::OutputDir:
      if (value.empty()) return error = name + ": empty folder name", false;
      o.outputDir = value;
      return true;
    case Option::Jobs: return (o.jobs = number(1, 256).value_or(0)) != 0;
    case Option::BitRate: return (o.bitRate = OneOf(kMp3BitRates)).has_value();
    case Option::Mp3Rate: return (o.mp3Rate = OneOf(kMp3SampleRates)).has_value();
    case Option::Mode:
      if (value == "stereo") o.mp3Mode = kMp3ModeStereo;
      else if (value == "joint") o.mp3Mode = kMp3ModeJointStereo;
      else if (value == "mono") o.mp3Mode = kMp3ModeMono;
      else return error = name + ": expected stereo, joint or mono, got '" + value + "'", false;
      return true;
    case Option::Vbr: return (o.vbrQuality = number(kMp3BestVbrQuality, kMp3LowestVbrQuality)).has_value();
    case Option::WavRate: return (o.wavRate = number(kMinWavSampleRate, kMaxWavSampleRate)).has_value();
    case Option::WavChannels: return (o.wavChannels = number(1, 2)).has_value();
    case Option::WavBits:
      o.wavBits.reset();
      o.wavLossless = value == "source";
      if (o.wavLossless) return true;
      if (value != "8" && value != "16") return error = name + ": expected 8, 16 or source, got '" + value + "'", false;
      o.wavBits = *ParseInt(value);
      return true;
    case Option::OpusBitRate: return (o.opusBitRate = number(kMinOpusBitRate, kMaxOpusBitRate)).has_value();
    case Option::OpusVbr:
      if (value == "on") o.opusVbr = kOpusVbrOn;
      else if (value == "constrained") o.opusVbr = kOpusVbrConstrained;
      else if (value == "off") o.opusVbr = kOpusVbrOff;
      else return error = name + ": expected on, constrained or off, got '" + value + "'", false;
      return true;
    case Option::Gain: return (o.gainPercent = number(kMinGainPercent, kMaxGainPercent)).has_value();
    case Option::FlacLevel: return (o.flacLevel = number(kMinFlacLevel, kMaxFlacLevel)).has_value();
    case Option::Title: return text(o.title, kId3TextChars);
    case Option::Artist: return text(o.artist, kId3TextChars);
    case Option::Album: return text(o.album, kId3TextChars);
    case Option::Comment: return text(o.comment, kId3TextChars);
    case Option::Name:
      if (PatternProblem problem; !NamePattern::Parse(value, problem)) {
        return error = name + ": " + PatternProblemText(problem), false;
      }
      o.namePattern = value;
      return true;
    case Option::FilesFrom:
      if (value.empty()) return error = name + ": empty file name", false;
      o.filesFrom = value;
      return true;
    case Option::RelativeTo:
      if (value.empty()) return error = name + ": empty folder name", false;
      o.relativeTo = value;
      return true;
    case Option::Report:
      if (value.empty()) return error = name + ": empty file name", false;
      o.report = value;
      return true;
    case Option::Year:
      if (value.size() > kId3YearChars || (!value.empty() && !ParseInt(value))) {
        return error = name + ": expected up to 4 digits, got '" + value + "'", false;
      }
      o.year = value;
      return true;
    case Option::ReplayGain:
      if (value == "off") o.loudnessMode = kLoudnessOff;
      else if (value == "track" || value == "album") o.loudnessMode = kLoudnessReplayGain;
      else return error = name + ": expected track, album or off, got '" + value + "'", false;
      o.loudnessAlbum = value == "album";
      o.replayGainAsked = value != "off";
      return true;
    case Option::Normalize:
    case Option::NormalizeAlbum:
      o.loudnessMode = kLoudnessNormalize;
      o.loudnessAlbum = option == Option::NormalizeAlbum;
      o.normalizeAsked = true;
      return (o.loudnessTarget = number(kMinLoudnessTarget, kMaxLoudnessTarget)).has_value();
    case Option::TruePeakCeiling:
      if (const auto tenths = ParseTenths(value);
          tenths && *tenths >= kMinTruePeakCeilingTenths && *tenths <= kMaxTruePeakCeilingTenths) {
        o.truePeakCeiling = *tenths;
        return true;
      }
      return error = name + ": expected a level in dBTP from " + TenthsText(kMinTruePeakCeilingTenths) + " to " +
                     TenthsText(kMaxTruePeakCeilingTenths) + " (tenths at most), got '" + value + "'",
             false;
    case Option::Genre:
      if (const auto n = ParseInt(value)) {
        if (*n < 0 || *n > 255) return error = name + ": expected 0 to 255 or a genre name", false;
        o.genre = *n;
      } else if (const auto g = GenreFromName(value)) {
        o.genre = *g;
      } else {
        return error = name + ": unknown genre '" + value + "'", false;
      }
      return true;
  }
  return false;
}

// The options that take no value.
constexpr std::string_view kFlags[] = {
    "-0",        "--null",       "--skip-existing", "--mirror",    "--copy-companions", "--no-copy-companions",
    "-q",        "--quiet",      "--id3",           "--no-id3",    "--copy-tags",       "--no-copy-tags",
    "--gapless", "--no-gapless", "--verify",        "--no-verify", "--no-keep-chunks",  "--loudness",
    "-h",        "--help"};

// The option an argument gives, without a value attached: "--rate" of "--rate=8000", "-j" of "-j4".
std::string OptionName(const std::string& arg) {
  return arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg.substr(0, 2);
}

// The flag in `arg` when a value is attached to it ("-q4", "--null=1"), else "".
std::string FlagGivenAValue(const std::string& arg) {
  const std::string name = OptionName(arg);
  if (name == arg) return {};
  return std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags) ? name : std::string();
}

// Options of one output format, by the name before any "=" or attached short value.
bool IsMp3Option(const std::string& arg) {
  const std::string name = OptionName(arg);
  for (const char* option : {"-b", "--bitrate", "--vbr", "--mp3-rate", "--mode", "--gapless", "--no-gapless", "--id3",
                             "--no-id3"}) {
    if (name == option) return true;
  }
  return false;
}

bool IsOpusOption(const std::string& arg) {
  const std::string name = OptionName(arg);
  return name == "--opus-bitrate" || name == "--opus-vbr";
}

bool IsWavOption(const std::string& arg) {
  const std::string name = OptionName(arg);
  return name == "--wav-rate" || name == "--wav-channels" || name == "--wav-bits";
}

bool IsFlacOption(const std::string& arg) {
  const std::string name = OptionName(arg);
  return name == "--flac-level" || name == "--no-keep-chunks";
}

}  // namespace

const char* UsageText() {
  static const std::string text = [] {
    std::string usage =
        "Usage: velmora-cli info [--loudness] [--files-from FILE [-0]] PATH...\n"
        "  or:  velmora-cli convert [OPTIONS] PATH...\n"
        "PATHs are files and folders; folders are searched for AIFF files.\n"
        "\n"
        "Option of info:\n"
        "      --loudness              also measure the integrated loudness (LUFS), loudness range\n"
        "                              (LU) and true peak (dBTP) by EBU R128\n"
        "\n"
        "Options of convert (they start from the saved settings and apply to this run only):\n"
        "  -f, --format mp3|wav|flac|opus  output format (default mp3)\n"
        "  -o, --output-dir DIR        write into DIR instead of next to each source\n"
        "      --mirror                below DIR, recreate each source's folder path\n"
        "      --copy-companions, --no-copy-companions\n"
        "                              copy the covers and notes beside each source (jpg, jpeg, png,\n"
        "                              gif, webp, bmp, tif, tiff, pdf, txt, nfo, md, rtf; up to 512 MiB\n"
        "                              each) into the folder its output goes to; a name already there\n"
        "                              is left alone, and cue sheets and playlists are never copied\n"
        "      --name PATTERN          output names from fields: {name} (the default: the source's\n"
        "                              name), {folder}, {title}, {artist}, {album}, {year}, {genre},\n"
        "                              {track}, {track:02}; '/' makes folders below the output folder.\n"
        "                              A missing tag gives 'Unknown Artist' and so on ({title}: the\n"
        "                              source's name, {track}: 0), or {artist|TEXT} gives TEXT.\n"
        "                              {path}, a folder of its own ({path}/{name}), is the source's\n"
        "                              folders below the folder given that it was found in:\n"
        "                              in/Artist/Album/x.aiff gives Artist/Album (--mirror recreates\n"
        "                              the whole absolute path); none for a file given by itself\n"
        "      --relative-to DIR       files given by themselves or listed in --files-from take their\n"
        "                              {path} below DIR; a file outside DIR has none\n"
        "  -j, --jobs N                files converted at once (default: number of cores)\n"
        "      --skip-existing         skip a source whose own output name already exists: the\n"
        "                              k-th source that maps to a name owns its k-th numbered\n"
        "                              form (NAME, NAME_1, ...), so a re-run resumes exactly\n"
        "      --files-from FILE       also convert the paths listed in FILE, one a line ('-': stdin)\n"
        "  -0, --null                  the --files-from list is separated by NUL bytes (find -print0);\n"
        "                              such a list is refused without it\n"
        "      --report FILE           one JSON line per source (JSON Lines) with its output,\n"
        "                              outcome, reason and timing, appended to FILE ('-': stdout,\n"
        "                              and the lines of the terminal all go to stderr)\n"
        "  -b, --bitrate KBPS          MP3 constant bit rate in kbit/s\n"
        "      --vbr Q                 MP3 variable bit rate at quality Q, 0 (best) to 9, instead of -b\n"
        "      --gapless, --no-gapless\n"
        "                              MP3 information frame at constant bit rate (always there with\n"
        "                              --vbr): players trim the encoder's delay and padding; a file\n"
        "                              whose frames are too small for it (8 kbit/s) is named on stderr\n"
        "      --mp3-rate HZ           MP3 sample rate: " +
        JoinNumbers({kMp3SampleRates.begin(), kMp3SampleRates.end()}) +
        "\n"
        "      --mode stereo|joint|mono\n"
        "      --wav-rate HZ           WAV sample rate, " + std::to_string(kMinWavSampleRate) + " to " +
        std::to_string(kMaxWavSampleRate) +
        "\n"
        "      --wav-channels 1|2\n"
        "      --wav-bits 8|16|source  'source': lossless, every channel, the source's rate and\n"
        "                              resolution (8, 16, 24, 32-bit or float)\n"
        "      --flac-level N          FLAC compression, " + std::to_string(kMinFlacLevel) + " (fastest) to " +
        std::to_string(kMaxFlacLevel) + " (smallest; default " + std::to_string(kDefaultFlacLevel) + ")\n"
        "      --no-keep-chunks        leave the source's chunks out of FLAC output; with them (the\n"
        "                              default), flac -d --keep-foreign-metadata gives back a plain\n"
        "                              AIFF source byte for byte\n"
        "      --opus-bitrate KBPS     Opus bit rate in kbit/s, " + std::to_string(kMinOpusBitRate) + " to " +
        std::to_string(kMaxOpusBitRate) + " (default " + std::to_string(kOpusAutoKbpsPerChannel) +
        " a channel, at most " + std::to_string(kMaxOpusBitRate) +
        ")\n"
        "      --opus-vbr on|constrained|off\n"
        "                              Opus variable bit rate, held near the bit rate, or constant\n"
        "      --gain PERCENT          " + std::to_string(kMinGainPercent) + ".." + std::to_string(kMaxGainPercent) +
        ", for MP3 or WAV\n"
        "      --id3, --no-id3         write an ID3v1 tag at the end of MP3 output, or not; the\n"
        "                              texts below also take the source's place in every tag\n"
        "      --title, --artist, --album, --comment TEXT (30 characters), --year YYYY\n"
        "      --genre N|NAME\n"
        "      --copy-tags, --no-copy-tags\n"
        "                              carry the source's title, artist, comments, picture and so\n"
        "                              on into the output (ID3v2 in MP3, INFO and ID3 in WAV, Vorbis\n"
        "                              comments and pictures in FLAC, comments in Opus), or not\n"
        "      --replaygain track|album|off\n"
        "                              ReplayGain 2.0 tags (reference -18 LUFS) in every output, R128\n"
        "                              gains (to -23 LUFS) in Opus;\n"
        "                              album: the files of one source folder as one programme\n"
        "      --normalize LUFS        bring each file to LUFS (" + std::to_string(kMinLoudnessTarget) + " to " +
        std::to_string(kMaxLoudnessTarget) + ", e.g. -14, -16, -23), lowered\n"
        "                              where its true peak would pass the ceiling; no --gain with it\n"
        "      --normalize-album LUFS  the same, one gain for the files of each source folder\n"
        "      --true-peak-ceiling DB  the highest true peak normalisation may make, in dBTP, " +
        TenthsText(kMinTruePeakCeilingTenths) + " to " + TenthsText(kMaxTruePeakCeilingTenths) + "\n"
        "                              (default -1)\n"
        "      --verify, --no-verify   read each output back before it takes its name; an output that\n"
        "                              does not hold what was written is not kept (verification failed)\n"
        "  -q, --quiet                 no progress bar\n"
        "  -h, --help, --version\n"
        "\n"
        "MP3 bit rates each sample rate can carry:\n";
    for (const int low : {8000, 16000, 32000}) {
      const int high = low == 8000 ? 12000 : low == 16000 ? 24000 : 48000;
      // Two spaces after the colon keep each row a row of its own in the manual page.
      usage += "  " + std::to_string(low) + " to " + std::to_string(high) + " Hz:  " +
               JoinNumbers(Mp3BitRatesForRate(low)) + "\n";
    }
    usage +=
        "\n"
        "-b, --mp3-rate and --mode turn off automatic MP3 parameters; --vbr and --gapless keep them.\n"
        "Options of one format (MP3, WAV, FLAC, Opus) with another format's output are refused.\n"
        "On a terminal, control characters and bytes that are not UTF-8 in names are shown as octal\n"
        "escapes (\\033) and a backslash as \\\\; into a pipe or a file names are written as they are.\n"
        "The WAV options given are used and the others follow each source. Exit status: 0 all\n"
        "converted, 1 some file failed or came out short, 2 usage error, 130 interrupted.\n"
        "Messages are in English whatever the system's language, for scripts to read them.\n";
    return usage;
  }();
  return text.c_str();
}

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error) {
  CliOptions o;
  if (args.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  const std::string& command = args[0];
  if (command == "-h" || command == "--help" || command == "help") return o;
  if (command == "--version") {
    o.command = Command::Version;
    return o;
  }
  if (command == "info") {
    o.command = Command::Info;
  } else if (command == "convert") {
    o.command = Command::Convert;
  } else {
    error = "unknown command '" + command + "'";
    return std::nullopt;
  }
  bool onlyPaths = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string arg = args[i];
    if (onlyPaths || arg.empty() || arg[0] != '-' || arg == "-") {
      o.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyPaths = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      o.command = Command::Help;
      return o;
    }
    if (const std::string flag = FlagGivenAValue(arg); !flag.empty()) {
      error = flag + " takes no value";
      return std::nullopt;
    }
    const bool infoOption = arg == "-0" || arg == "--null" || arg.starts_with("--files-from") || arg == "--loudness";
    if (o.command == Command::Info && !infoOption) {
      error = "info takes no options but --loudness, --files-from and -0";
      return std::nullopt;
    }
    if (o.command == Command::Convert && arg == "--loudness") {
      error = "--loudness is an option of info (convert: --replaygain or --normalize)";
      return std::nullopt;
    }
    if (IsMp3Option(arg)) o.mp3Option = o.mp3Option.value_or(OptionName(arg));
    if (IsWavOption(arg)) o.wavOption = o.wavOption.value_or(OptionName(arg));
    if (IsFlacOption(arg)) o.flacOption = o.flacOption.value_or(OptionName(arg));
    if (IsOpusOption(arg)) o.opusOption = o.opusOption.value_or(OptionName(arg));
    if (arg == "-0" || arg == "--null") o.nulSeparated = true;
    else if (arg == "--loudness") o.loudness = true;
    else if (arg == "--skip-existing") o.skipExisting = true;
    else if (arg == "--mirror") o.mirror = true;
    else if (arg == "--copy-companions") o.copyCompanions = true;
    else if (arg == "--no-copy-companions") o.copyCompanions = false;
    else if (arg == "-q" || arg == "--quiet") o.quiet = true;
    else if (arg == "--id3") o.id3 = true;
    else if (arg == "--no-id3") o.id3 = false;
    else if (arg == "--copy-tags") o.copyTags = true;
    else if (arg == "--no-copy-tags") o.copyTags = false;
    else if (arg == "--gapless") o.gapless = true;
    else if (arg == "--no-gapless") o.gapless = false;
    else if (arg == "--verify") o.verify = true;
    else if (arg == "--no-verify") o.verify = false;
    else if (arg == "--no-keep-chunks") o.noKeepChunks = true;
    else {
      std::string value;
      bool haveValue = false;
      if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
        value = arg.substr(eq + 1);
        arg.resize(eq);
        haveValue = true;
      } else if (!arg.starts_with("--") && arg.size() > 2) {
        // A short option with its value attached: -j4, -fwav.
        value = arg.substr(2);
        arg.resize(2);
        haveValue = true;
      }
      const auto found = ValueOptions().find(arg);
      if (found == ValueOptions().end()) {
        error = "unknown option '" + arg + "'";
        return std::nullopt;
      }
      if (!haveValue) {
        if (i + 1 >= args.size()) {
          error = arg + " needs a value";
          return std::nullopt;
        }
        value = args[++i];
      }
      if (!SetValue(o, found->second, arg, value, error)) return std::nullopt;
    }
  }
  if (o.wavLossless && (o.wavRate || o.wavChannels)) {
    error = "--wav-bits source keeps the source's rate and channels: it takes no --wav-rate or --wav-channels";
    return std::nullopt;
  }
  // Options of the other format would be ignored without a word: refuse them instead.
  if (o.format == OutputFormat::Mp3 && o.wavOption) {
    error = *o.wavOption + " does not apply to MP3 output (choose -f wav)";
    return std::nullopt;
  }
  if (o.format == OutputFormat::Wav && o.mp3Option) {
    error = *o.mp3Option + " does not apply to WAV output";
    return std::nullopt;
  }
  if (o.format != OutputFormat::Flac && o.flacOption) {
    error = *o.flacOption + " applies only to FLAC output (choose -f flac)";
    return std::nullopt;
  }
  if (o.format == OutputFormat::Flac && (o.mp3Option || o.wavOption)) {
    error = o.mp3Option.value_or(o.wavOption.value_or("")) + " does not apply to FLAC output";
    return std::nullopt;
  }
  // FLAC keeps the sound as it is: a gain would be ignored.
  if (o.format == OutputFormat::Flac && o.gainPercent) {
    error = "--gain does not apply to FLAC output, which keeps the sound as it is (--normalize changes it)";
    return std::nullopt;
  }
  if (o.format != OutputFormat::Opus && o.opusOption) {
    error = *o.opusOption + " applies only to Opus output (choose -f opus)";
    return std::nullopt;
  }
  if (o.format == OutputFormat::Opus) {
    // Opus has no gain of its own: normalisation sets its level.
    const std::optional<std::string> other = o.mp3Option ? o.mp3Option
                                             : o.wavOption ? o.wavOption
                                             : o.gainPercent ? std::optional<std::string>("--gain")
                                                             : std::nullopt;
    if (other) {
      error = *other + " does not apply to Opus output";
      return std::nullopt;
    }
  }
  // Normalisation sets the level itself: a gain coefficient besides it would be ignored.
  if (o.gainPercent && o.loudnessMode == kLoudnessNormalize) {
    error = "--gain and --normalize exclude each other: normalisation chooses each file's gain";
    return std::nullopt;
  }
  // A normalised file is tagged with no ReplayGain: asking for both would drop one silently.
  if (o.replayGainAsked && o.normalizeAsked) {
    error = "--replaygain and --normalize exclude each other: normalised files need no ReplayGain";
    return std::nullopt;
  }
  if (o.paths.empty() && !o.filesFrom) {
    error = "no files or folders given";
    return std::nullopt;
  }
  return o;
}

bool ApplyOverrides(const CliOptions& o, ConverterSettings& s, std::string& error) {
  if (o.outputDir) {
    s.DestOutputFolderOpt = kOutputFolderSpecified;
    s.DestSpecifiedFolder = *o.outputDir;
  }
  if (o.mirror) {
    if (s.DestOutputFolderOpt != kOutputFolderSpecified || s.DestSpecifiedFolder.empty()) {
      error = "--mirror needs an output folder (-o DIR)";
      return false;
    }
    s.CreateDirs = 1;
  }
  if (o.vbrQuality && o.bitRate) {
    error = "--vbr and --bitrate exclude each other: choose a quality level or a constant bit rate";
    return false;
  }
  // A bit rate asks for constant bit rate, whatever was saved.
  if (o.vbrQuality) s.MP3VbrQuality = *o.vbrQuality;
  if (o.bitRate) s.MP3VbrQuality = kMp3ConstantBitRate;
  if (o.gapless) s.MP3Gapless = *o.gapless ? 1 : 0;
  if (o.verify) s.VerifyOutput = *o.verify ? 1 : 0;
  if (o.copyCompanions) s.CopyCompanions = *o.copyCompanions ? 1 : 0;
  if (o.bitRate || o.mp3Rate || o.mp3Mode) {
    s.AutoDestMP3EncodingParam = 0;
    if (o.bitRate) s.MP3BitRate = *o.bitRate;
    if (o.mp3Rate) s.MP3SampleRate = *o.mp3Rate;
    if (o.mp3Mode) s.MP3ChannelMode = *o.mp3Mode;
    // The encoder would quietly substitute another bit rate: say so instead. A quality level
    // leaves the bit rate to the encoder.
    if (s.MP3VbrQuality == kMp3ConstantBitRate && !Mp3BitRateFitsRate(s.MP3BitRate, s.MP3SampleRate)) {
      error = "an MP3 stream at " + std::to_string(s.MP3SampleRate) + " Hz cannot carry " +
              std::to_string(s.MP3BitRate) + " kbit/s; choose one of " +
              JoinNumbers(Mp3BitRatesForRate(s.MP3SampleRate)) + " (-b), or another --mp3-rate";
      return false;
    }
  }
  if (o.gainPercent) {
    if (o.format == OutputFormat::Mp3) {
      s.AmplifyMp3 = 1;
      s.AmplifyMp3Coeff = *o.gainPercent;
    } else {
      s.AmplifyWav = 1;
      s.AmplifyWavCoeff = *o.gainPercent;
    }
  }
  if (o.opusBitRate) s.OpusBitRate = *o.opusBitRate;
  if (o.opusVbr) s.OpusVbr = *o.opusVbr;
  if (o.loudnessMode) s.LoudnessMode = *o.loudnessMode;
  if (o.loudnessAlbum) s.LoudnessAlbum = *o.loudnessAlbum ? 1 : 0;
  if (o.loudnessTarget) s.LoudnessTarget = *o.loudnessTarget;
  if (o.truePeakCeiling) s.LoudnessCeiling = *o.truePeakCeiling;
  // A gain asked for on the command line wins over a saved normalisation.
  if (o.gainPercent && s.LoudnessMode == kLoudnessNormalize) s.LoudnessMode = kLoudnessOff;
  if (o.truePeakCeiling && s.LoudnessMode != kLoudnessNormalize) {
    error = "--true-peak-ceiling applies only to normalisation (--normalize LUFS)";
    return false;
  }
  if (o.flacLevel) s.FlacLevel = *o.flacLevel;
  if (o.noKeepChunks) s.FlacKeepChunks = 0;
  if (o.id3) s.AddID3Tag = *o.id3 ? 1 : 0;
  if (o.copyTags) s.CopyTags = *o.copyTags ? 1 : 0;
  if (o.namePattern) s.OutputNamePattern = *o.namePattern;
  if (o.title) {
    s.ID3Tag.SetTitleFromFileName(false);
    s.ID3Tag.SetTitle(*o.title);
  }
  if (o.artist) s.ID3Tag.SetArtist(*o.artist);
  if (o.album) s.ID3Tag.SetAlbum(*o.album);
  if (o.year) s.ID3Tag.SetYear(*o.year);
  if (o.comment) s.ID3Tag.SetComment(*o.comment);
  if (o.genre) s.ID3Tag.SetGenre(static_cast<std::uint8_t>(*o.genre));
  if ((o.title || o.artist || o.album || o.year || o.comment || o.genre) && !o.id3) s.AddID3Tag = 1;
  return true;
}

WavTarget ChooseWavTarget(const CliOptions& o, const WavTarget& saved) {
  if (!o.wavRate && !o.wavChannels && !o.wavBits && !o.wavLossless) return saved;
  return {o.wavRate, o.wavChannels, o.wavBits, o.wavLossless};
}

}  // namespace velmora::cli
