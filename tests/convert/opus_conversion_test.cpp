// Opus output: the decoded length and channel order for every rate and channel count, the tags,
// picture and R128 gains as libopusfile and loudgain read them, normalisation as decoded, and
// the read-back that catches a damaged file. opusdec, opusinfo and loudgain are peers.

#include "convert/opus_conversion.h"

#include <gtest/gtest.h>
#include <opus/opusfile.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "convert/output_format.h"
#include "settings/conversion_options.h"
#include "support/aiff_builder.h"
#include "support/batch_run.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;

// A 16-bit AIFF of `frames` frames at `rate`: `sample(channel, frame)` in -1..1.
template <typename Sample>
std::string WriteAiff(const test::TempDir& dir, const std::string& name, int channels, int rate, std::uint32_t frames,
                      Sample sample, const std::vector<test::Bytes>& chunksAfter = {}) {
  test::AiffBuilder b;
  b.channels = channels;
  b.rate = rate;
  b.frames = frames;
  b.chunksAfter = chunksAfter;
  for (std::uint32_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      test::PutBe16(b.sound, static_cast<unsigned>(static_cast<std::int16_t>(std::lround(sample(c, f) * 32767.0))));
    }
  }
  fs::create_directories(fs::path(dir.File(name)).parent_path());
  return dir.Write(name, b.Build());
}

// Noise with a pink-ish tilt, as music has: the loudness meter's weighting matters.
auto Noise(double level) {
  return [level, random = std::mt19937(7), last = 0.0](int, std::uint32_t) mutable {
    last = 0.9 * last + 0.1 * std::uniform_real_distribution<double>(-1.0, 1.0)(random) * 3.0;
    return level * last;
  };
}

struct OpusFileCloser {
  void operator()(OggOpusFile* file) const { op_free(file); }
};
using OpusFilePtr = std::unique_ptr<OggOpusFile, OpusFileCloser>;

// Every frame of an Opus file as libopusfile decodes it, interleaved in the stream's order.
struct Decoded {
  int channels = 0;
  std::vector<float> samples;
  std::size_t Frames() const { return channels ? samples.size() / static_cast<std::size_t>(channels) : 0; }
  double Rms(int channel, std::size_t from) const {
    double sum = 0;
    for (std::size_t f = from; f < Frames(); ++f) {
      const double v = samples[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)];
      sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(Frames() - from));
  }
};

Decoded DecodeOpus(const std::string& path) {
  Decoded decoded;
  const OpusFilePtr file(op_open_file(path.c_str(), nullptr));
  if (!file) return decoded;
  decoded.channels = op_channel_count(file.get(), -1);
  std::vector<float> pcm(5760 * 8);
  for (int n; (n = op_read_float(file.get(), pcm.data(), static_cast<int>(pcm.size()), nullptr)) > 0;) {
    decoded.samples.insert(decoded.samples.end(), pcm.begin(), pcm.begin() + n * decoded.channels);
  }
  return decoded;
}

// The comments of an Opus file by name (a name given twice keeps its last value), and its
// pictures.
struct Comments {
  std::map<std::string, std::string> texts;
  std::vector<std::pair<int, test::Bytes>> pictures;  // type and image
  int outputGain = -1;
};

Comments ReadComments(const std::string& path) {
  Comments comments;
  const OpusFilePtr file(op_open_file(path.c_str(), nullptr));
  if (!file) return comments;
  comments.outputGain = op_head(file.get(), -1)->output_gain;
  const OpusTags* tags = op_tags(file.get(), -1);
  for (int i = 0; i < tags->comments; ++i) {
    const std::string comment(tags->user_comments[i], static_cast<std::size_t>(tags->comment_lengths[i]));
    const auto eq = comment.find('=');
    if (comment.starts_with("METADATA_BLOCK_PICTURE=")) {
      OpusPictureTag picture;
      opus_picture_tag_init(&picture);
      if (opus_picture_tag_parse(&picture, comment.c_str()) == 0) {
        comments.pictures.emplace_back(picture.type, test::Bytes(picture.data, picture.data + picture.data_length));
      }
      opus_picture_tag_clear(&picture);
    } else if (eq != std::string::npos) {
      comments.texts[comment.substr(0, eq)] = comment.substr(eq + 1);
    }
  }
  return comments;
}

// Whether opusinfo reads the file without a complaint.
bool OpusinfoAccepts(const std::string& path, std::string& log) {
  return test::RunCommand("opusinfo " + test::ShellQuote(path) + " 2>&1", &log) == 0 &&
         log.find("WARNING") == std::string::npos && log.find("ERROR") == std::string::npos;
}

// The frames opusdec writes at 48 kHz.
sf_count_t OpusdecFrames(const std::string& path, const test::TempDir& dir) {
  const std::string wav = dir.File("opusdec.wav");
  if (test::RunCommand("opusdec --quiet --rate 48000 " + test::ShellQuote(path) + " " + test::ShellQuote(wav) +
                       " 2>/dev/null") != 0) {
    return -1;
  }
  SF_INFO info{};
  SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
  if (!file) return -1;
  sf_close(file);
  fs::remove(wav);
  return info.frames;
}

// loudgain's gain for an Opus file, in dB to -23 LUFS.
std::optional<double> LoudgainGain(const std::string& path) {
  std::string listed;
  if (test::RunCommand("loudgain -q -O " + test::ShellQuote(path) + " 2>/dev/null", &listed) != 0) return std::nullopt;
  std::smatch match;
  const std::regex row(R"(\t-23\.00 LUFS\t[YN]\t[YN]\t(-?[0-9.]+) dB)");
  if (!std::regex_search(listed, match, row)) return std::nullopt;
  return std::stod(match[1]);
}

// For each rate and channel count: the output decodes, by libopusfile and opusdec alike, to
// the source's duration at 48 kHz to the frame, whatever the resampler's own length; the
// channels stand in Vorbis's order (AIFF's three as left, centre, right; six as 6.1 with a
// silent LFE); opusinfo reads it without a complaint, and the read-back agrees.
TEST(OpusConversionTest, EveryRateAndChannelCountDecodesToTheSourcesLengthInVorbisOrder) {
  test::TempDir dir;
  const bool peers = test::HaveProgram("opusdec") && test::HaveProgram("opusinfo");
  // Each coded channel's source channel, -1 for silence.
  const std::map<int, std::vector<int>> order = {{1, {0}}, {2, {0, 1}}, {3, {0, 2, 1}}, {6, {0, 2, 3, 1, 4, 5, -1}}};
  const int rates[] = {8000, 11025, 22050, 44100, 48000, 96000, 192000};
  std::vector<std::string> sources;
  struct Made {
    int rate;
    std::uint32_t frames;
    int channels;
  };
  std::map<std::string, Made> made;  // by source
  for (const int rate : rates) {
    for (const auto& entry : order) {
      const int channels = entry.first;
      // An odd count that no rate divides evenly into 48 kHz frames.
      const auto frames = static_cast<std::uint32_t>(rate / 4 + 7);
      const std::string name = std::to_string(rate) + "_" + std::to_string(channels) + ".aiff";
      // Channel c at 0.1 * (c + 1): each channel can be told by its level.
      sources.push_back(WriteAiff(dir, name, channels, rate, frames, [rate](int c, std::uint32_t f) {
        return 0.1 * (c + 1) * std::sin(2 * kPi * 700.0 * f / rate);
      }));
      made[sources.back()] = {rate, frames, channels};
    }
  }
  const test::BatchRun run = test::RunBatch(sources, OutputFormat::Opus, ConverterSettings{}, {}, 2);
  ASSERT_EQ(run.reports.size(), sources.size());
  const ConversionOptions options;
  for (const FileReport& r : run.reports) {
    SCOPED_TRACE(r.sourcePath);
    ASSERT_EQ(r.outcome.result, FileResult::Converted);
    const auto [rate, frames, channels] = made.at(r.sourcePath);
    const auto expected = static_cast<std::uint64_t>(std::llround(frames * 48000.0 / rate));
    EXPECT_EQ(r.outcome.written.frames, expected);
    EXPECT_EQ(r.outcome.written.sampleRate, 48000);
    EXPECT_FALSE(r.outcome.written.sampleHash);
    const Decoded decoded = DecodeOpus(r.outputPath);
    EXPECT_EQ(decoded.Frames(), expected);
    const std::vector<int>& slots = order.at(channels);
    ASSERT_EQ(decoded.channels, static_cast<int>(slots.size()));
    EXPECT_EQ(r.outcome.written.channels, decoded.channels);
    for (int k = 0; k < decoded.channels; ++k) {
      // Past the first 20 ms, where the coding settles.
      const double rms = decoded.Rms(k, 960);
      const int source = slots[static_cast<std::size_t>(k)];
      if (source < 0) EXPECT_LT(rms, 0.005) << "channel " << k;
      else EXPECT_NEAR(rms, 0.1 * (source + 1) / std::sqrt(2.0), 0.02) << "channel " << k;
    }
    EXPECT_EQ(FormatInfo(OutputFormat::Opus).verify(r.outputPath, r.outcome.written, options).result,
              FileResult::Converted);
    if (!peers) continue;
    std::string log;
    EXPECT_TRUE(OpusinfoAccepts(r.outputPath, log)) << log;
    EXPECT_EQ(OpusdecFrames(r.outputPath, dir), static_cast<sf_count_t>(expected));
  }
  if (!peers) GTEST_SKIP() << "opusdec or opusinfo not installed: checked through libopusfile only";
}

// The source's tags, in any script, and its picture reach the comments; ReplayGain becomes
// R128 gains to -23 LUFS (no REPLAYGAIN_* comments, the header's gain left at 0) that agree
// with the engine's measure and with loudgain's; typed values win, and copying can be off.
TEST(OpusConversionTest, TagsPictureAndR128GainsReachTheComments) {
  test::TempDir dir;
  test::Id3Fields fields;
  fields.title = "Ωμέγα – 東京";
  fields.artist = "Ärger & Söhne";
  fields.album = "Альбом";
  fields.year = "2019";
  fields.track = "3/12";
  fields.genre = "Ambient";
  fields.comment = "Ünïcödé";
  fields.copyright = "© 2019 Velmora";
  fields.picture = test::TinyPng();
  const std::uint32_t frames = 44100 * 4;
  const std::string tagged =
      WriteAiff(dir, "album/tagged.aiff", 2, 44100, frames, Noise(0.3), {test::Chunk("ID3 ", test::Id3Tag(fields))});
  const std::string quiet = WriteAiff(dir, "album/quiet.aiff", 1, 44100, frames, Noise(0.05));

  ConverterSettings settings;
  settings.LoudnessMode = kLoudnessReplayGain;
  settings.LoudnessAlbum = 1;
  const test::BatchRun run = test::RunBatch({quiet, tagged}, OutputFormat::Opus, settings, {}, 2);
  ASSERT_EQ(run.reports.size(), 2u);
  std::string albumGain;
  for (const FileReport& r : run.reports) {
    SCOPED_TRACE(r.sourcePath);
    ASSERT_EQ(r.outcome.result, FileResult::Converted);
    ASSERT_EQ(r.outcome.loudness.kind, LoudnessNote::Kind::ReplayGain);
    const Comments comments = ReadComments(r.outputPath);
    EXPECT_EQ(comments.outputGain, 0);
    ASSERT_EQ(comments.texts.count("R128_TRACK_GAIN"), 1u);
    ASSERT_EQ(comments.texts.count("R128_ALBUM_GAIN"), 1u);
    // The line tells the album's ReplayGain, 5 dB above its R128 gain.
    const int track = std::stoi(comments.texts.at("R128_TRACK_GAIN"));
    const int album = std::stoi(comments.texts.at("R128_ALBUM_GAIN"));
    EXPECT_EQ(album, std::lround((r.outcome.loudness.value - 5.0) * 256.0));
    if (albumGain.empty()) albumGain = comments.texts.at("R128_ALBUM_GAIN");
    EXPECT_EQ(comments.texts.at("R128_ALBUM_GAIN"), albumGain);
    for (const auto& [name, value] : comments.texts) EXPECT_FALSE(name.starts_with("REPLAYGAIN")) << name;
    if (test::HaveProgram("loudgain")) {
      // Each file's own gain, measured on loudgain's decode: Opus moves the loudness by
      // hundredths of a dB here.
      const auto peer = LoudgainGain(r.outputPath);
      ASSERT_TRUE(peer);
      EXPECT_NEAR(track / 256.0, *peer, 0.15);
    }
  }

  const Comments comments = ReadComments(run.reports[1].outputPath);
  const std::map<std::string, std::string> expected = {{"TITLE", fields.title},       {"ARTIST", fields.artist},
                                                       {"ALBUM", fields.album},       {"DATE", fields.year},
                                                       {"TRACKNUMBER", fields.track}, {"GENRE", fields.genre},
                                                       {"COMMENT", fields.comment},   {"COPYRIGHT", fields.copyright}};
  for (const auto& [name, value] : expected) {
    ASSERT_EQ(comments.texts.count(name), 1u) << name;
    EXPECT_EQ(comments.texts.at(name), value) << name;
  }
  ASSERT_EQ(comments.pictures.size(), 1u);
  EXPECT_EQ(comments.pictures[0].first, 3);
  EXPECT_EQ(comments.pictures[0].second, fields.picture);
  if (test::HaveProgram("opusinfo")) {
    std::string log;
    EXPECT_TRUE(OpusinfoAccepts(run.reports[1].outputPath, log)) << log;
    EXPECT_NE(log.find("TITLE=" + fields.title), std::string::npos) << log;
  }

  // A typed title wins; without copying, the source's tags stay behind.
  ConverterSettings typed;
  typed.AddID3Tag = 1;
  typed.ID3Tag.SetTitleFromFileName(false);
  typed.ID3Tag.SetTitle("Typed");
  ConverterSettings none;
  none.CopyTags = 0;
  for (const auto& [settingsCase, title] : {std::pair{typed, std::string("Typed")}, std::pair{none, std::string()}}) {
    fs::remove_all(dir.File("album/tagged.opus"));
    const test::BatchRun again = test::RunBatch({tagged}, OutputFormat::Opus, settingsCase, {}, 1);
    ASSERT_EQ(again.reports.size(), 1u);
    const Comments read = ReadComments(again.reports[0].outputPath);
    EXPECT_EQ(read.texts.count("TITLE") ? read.texts.at("TITLE") : "", title);
    EXPECT_EQ(read.pictures.size(), title.empty() ? 0u : 1u);
  }
}

// Normalisation applies its gain to the samples: the decoded file measures the target, the
// header's gain stays 0, and six channels are measured as well as two.
TEST(OpusConversionTest, NormalisationReachesTheTargetAsDecoded) {
  test::TempDir dir;
  const std::string stereo = WriteAiff(dir, "stereo.aiff", 2, 44100, 44100 * 4, Noise(0.05));
  const std::string six = WriteAiff(dir, "six.aiff", 6, 96000, 96000 * 2, Noise(0.05));
  ConverterSettings settings;
  settings.LoudnessMode = kLoudnessNormalize;
  settings.LoudnessTarget = -16;
  const test::BatchRun run = test::RunBatch({six, stereo}, OutputFormat::Opus, settings, {}, 2);
  ASSERT_EQ(run.reports.size(), 2u);
  for (const FileReport& r : run.reports) {
    SCOPED_TRACE(r.sourcePath);
    ASSERT_EQ(r.outcome.result, FileResult::Converted);
    EXPECT_EQ(r.outcome.loudness.kind, LoudnessNote::Kind::Reached);
    EXPECT_EQ(ReadComments(r.outputPath).outputGain, 0);
  }
  if (!test::HaveProgram("loudgain")) GTEST_SKIP() << "loudgain not installed";
  const auto gain = LoudgainGain(run.reports[1].outputPath);
  ASSERT_TRUE(gain);
  EXPECT_NEAR(-23.0 - *gain, -16.0, 0.15);
}

// The read-back passes the file as written and fails a copy with one byte changed, a copy cut
// short, and a length other than the one written.
TEST(OpusConversionTest, ReadBackCatchesADamagedFile) {
  test::TempDir dir;
  const std::string source = WriteAiff(dir, "s.aiff", 2, 44100, 44100 * 2, Noise(0.2));
  const test::BatchRun run = test::RunBatch({source}, OutputFormat::Opus, ConverterSettings{}, {}, 1);
  ASSERT_EQ(run.reports.size(), 1u);
  const FileReport& r = run.reports[0];
  ASSERT_EQ(r.outcome.result, FileResult::Converted);
  const test::Bytes bytes = test::ReadFileBytes(r.outputPath);
  test::Bytes changed = bytes;
  changed[changed.size() / 2] ^= 0x10;
  const test::Bytes shortened(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() * 3 / 4));
  WrittenSound longer = r.outcome.written;
  ++longer.frames;
  const struct {
    const char* name;
    std::string path;
    WrittenSound written;
    bool passes;
  } cases[] = {
      {"as written", r.outputPath, r.outcome.written, true},
      {"one byte changed", dir.Write("changed.opus", changed), r.outcome.written, false},
      {"cut short", dir.Write("short.opus", shortened), r.outcome.written, false},
      {"another length", r.outputPath, longer, false},
      {"not there", dir.File("missing.opus"), r.outcome.written, false},
  };
  for (const auto& c : cases) {
    const FileOutcome verified = FormatInfo(OutputFormat::Opus).verify(c.path, c.written, ConversionOptions{});
    EXPECT_EQ(verified.result, c.passes ? FileResult::Converted : FileResult::Failed) << c.name;
    if (!c.passes) {
      EXPECT_EQ(verified.reason, FileReason::VerificationFailed) << c.name;
      EXPECT_FALSE(verified.detail.empty()) << c.name;
    }
  }
}

}  // namespace
}  // namespace velmora
