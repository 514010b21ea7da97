// Loudness: the meter against ffmpeg's EBU R128 measurement, and normalisation measured on
// the files it writes.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "audio/aiff_reader.h"
#include "cli/outcome_text.h"
#include "convert/conversion_job.h"
#include "convert/loudness_pass.h"
#include "support/aiff_builder.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using cli::LoudnessText;

constexpr double kPi = 3.14159265358979323846;

// A 24-bit AIFF of `seconds` of sound; `sample(channel, frame)` in -1..1.
std::string WriteSignal(const test::TempDir& dir, const std::string& name, int channels, int rate, double seconds,
                        const std::function<double(int, std::size_t)>& sample) {
  test::AiffBuilder b;
  b.channels = channels;
  b.bits = 24;
  b.rate = rate;
  b.frames = static_cast<std::uint32_t>(seconds * rate);
  for (std::size_t f = 0; f < b.frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      const auto v = static_cast<std::int32_t>(std::lround(std::clamp(sample(c, f), -1.0, 1.0) * 8388607.0));
      const auto u = static_cast<std::uint32_t>(v);
      b.sound.push_back(static_cast<std::uint8_t>(u >> 16));
      b.sound.push_back(static_cast<std::uint8_t>(u >> 8));
      b.sound.push_back(static_cast<std::uint8_t>(u));
    }
  }
  fs::create_directories(fs::path(dir.File(name)).parent_path());
  return dir.Write(name, b.Build());
}

double Db(double db) { return std::pow(10.0, db / 20.0); }

std::function<double(int, std::size_t)> Sine(double hz, int rate, double dbfs, double phase = 0) {
  return [=](int, std::size_t f) { return Db(dbfs) * std::sin(2 * kPi * hz * static_cast<double>(f) / rate + phase); };
}

// Pink noise (Paul Kellet's filter over white noise), the same for every run.
std::function<double(int, std::size_t)> PinkNoise(int channels, double scale) {
  auto state = std::make_shared<std::vector<std::array<double, 7>>>(static_cast<std::size_t>(channels));
  auto random = std::make_shared<std::mt19937>(7);
  return [=](int c, std::size_t) {
    const double white = std::uniform_real_distribution<double>(-1.0, 1.0)(*random);
    auto& b = (*state)[static_cast<std::size_t>(c)];
    b[0] = 0.99886 * b[0] + white * 0.0555179;
    b[1] = 0.99332 * b[1] + white * 0.0750759;
    b[2] = 0.96900 * b[2] + white * 0.1538520;
    b[3] = 0.86650 * b[3] + white * 0.3104856;
    b[4] = 0.55000 * b[4] + white * 0.5329522;
    b[5] = -0.7616 * b[5] - white * 0.0168980;
    const double pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * 0.5362;
    b[6] = white * 0.115926;
    return pink * scale;
  };
}

// ffmpeg's summary of its ebur128 filter: integrated loudness, range and true peak, in tenths.
struct PeerFigures {
  double integrated = 0, range = 0, truePeak = 0;
};

std::optional<PeerFigures> FfmpegLoudness(const std::string& file, const std::string& filters = {}) {
  std::string log;
  const std::string command = "ffmpeg -nostats -hide_banner -i " + test::ShellQuote(file) + " -af '" + filters +
                              "ebur128=peak=true' -f null - 2>&1";
  if (test::RunCommand(command, &log) != 0) return std::nullopt;
  const auto last = [&](const char* label) -> std::optional<double> {
    const std::regex pattern(std::string(label) + R"(\s+(-?[0-9.]+|-inf))");
    std::optional<double> value;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), pattern); it != std::sregex_iterator(); ++it) {
      value = (*it)[1] == "-inf" ? -HUGE_VAL : std::stod((*it)[1]);
    }
    return value;
  };
  const auto i = last(" I:"), lra = last("LRA:"), peak = last("Peak:");
  if (!i || !lra || !peak) return std::nullopt;
  return PeerFigures{*i, *lra, *peak};
}

Loudness MeasureFile(const std::string& path) {
  AiffReader reader;
  LoudnessMeter meter;
  EXPECT_TRUE(reader.Open(path)) << path;
  EXPECT_TRUE(MeasureSource(reader, meter)) << path;
  return meter.Result();
}

// A WAV or MP3 output measured through libsndfile, as a player would decode it.
LoudnessMeter MeterOutput(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr) << path;
  LoudnessMeter meter;
  if (!file) return meter;
  EXPECT_TRUE(meter.Start(info.channels, info.samplerate));
  std::vector<double> block(4096 * static_cast<std::size_t>(info.channels));
  for (sf_count_t n; (n = sf_readf_double(file, block.data(), 4096)) > 0;) meter.AddDouble(block.data(), static_cast<std::size_t>(n));
  sf_close(file);
  return meter;
}

Loudness MeasureOutput(const std::string& path) { return MeterOutput(path).Result(); }

// ffmpeg prints tenths: our figure may be 0.05 from its printed one on rounding alone.
constexpr double kAgreement = 0.1 + 0.05;

struct Compared {
  bool range = true, truePeak = true;
  double peakAgreement = kAgreement;
};

void ExpectAgreement(const std::string& what, const Loudness& ours, const PeerFigures& peer, Compared compared = {}) {
  ASSERT_TRUE(ours.integrated) << what;
  EXPECT_NEAR(*ours.integrated, peer.integrated, kAgreement) << what << ": integrated loudness";
  if (compared.range) {
    EXPECT_NEAR(ours.range, peer.range, kAgreement) << what << ": loudness range";
  }
  if (compared.truePeak) {
    EXPECT_NEAR(ours.TruePeakDb(), peer.truePeak, compared.peakAgreement) << what << ": true peak";
  }
}

TEST(LoudnessTest, MeasurementAgreesWithFfmpegOnGeneratedSignals) {
  if (!test::HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg not installed";
  test::TempDir dir;
  struct Case {
    std::string name;
    int channels, rate;
    double seconds;
    std::function<double(int, std::size_t)> sample;
    std::string peerFilters;  // AIFF's channel roles, for ffmpeg
    Compared compared{};
  };
  const auto sine = Sine(997, 48000, -20);
  const auto quiet = Sine(440, 44100, -40);
  const auto isp = Sine(44100 / 4.0, 44100, -6, kPi / 4);  // samples at -9 dBFS, true peak -6 dBTP
  // Six channels of different tones and levels; the last is AIFF's surround channel.
  const auto six = [](int c, std::size_t f) {
    return Db(-18.0 - 3 * c) * std::sin(2 * kPi * (300.0 + 170 * c) * static_cast<double>(f) / 48000);
  };
  // A loud first half and a silent second: the gate leaves the silence out.
  const auto gated = [&](int c, std::size_t f) { return f < 48000 * 5 ? sine(c, f) : 0.0; };
  // Loud and quiet passages by turns, for a loudness range well above zero.
  const auto varied = [pink = PinkNoise(2, 0.08)](int c, std::size_t f) {
    return pink(c, f) * ((f / 44100 / 4) % 2 ? Db(-12) : 1.0);
  };
  const std::vector<Case> cases = {
      {"sine.aiff", 2, 48000, 10, sine, ""},
      {"pink.aiff", 2, 44100, 10, PinkNoise(2, 0.1), ""},
      {"quiet.aiff", 1, 44100, 6, quiet, ""},
      // The range of sound that stops dead hangs on how the 3-second windows around the stop
      // count, where the two meters differ; the gate shows in the integrated loudness.
      {"gated.aiff", 1, 48000, 10, gated, "", {false, true}},
      {"varied.aiff", 2, 44100, 24, varied, ""},
      // ffmpeg's oversampling reads this tone 0.5 dB above its true peak of -6 dBTP (as it
      // does a plain 12 kHz sine at 48 kHz): checked against the known value below instead.
      {"inter-sample-peak.aiff", 2, 44100, 5, isp, "", {true, false}},
      {"six.aiff", 6, 48000, 6, six, "channelmap=map=0|1|2|3|4|5:channel_layout=FL+FLC+FC+FR+FRC+BC,"},
  };
  for (const Case& c : cases) {
    const std::string file = WriteSignal(dir, c.name, c.channels, c.rate, c.seconds, c.sample);
    const auto peer = FfmpegLoudness(file, c.peerFilters);
    ASSERT_TRUE(peer) << c.name << ": ffmpeg gave no summary";
    ExpectAgreement(c.name, MeasureFile(file), *peer, c.compared);
  }
  // A sine's loudness is known: -20 dBFS in both channels is -20.0 LUFS, in one -23.0, and
  // the gate drops the silent half (all but the blocks that straddle the stop).
  EXPECT_NEAR(*MeasureFile(dir.File("sine.aiff")).integrated, -20.0, 0.05);
  EXPECT_NEAR(*MeasureFile(dir.File("gated.aiff")).integrated, -23.0, 0.2);
  EXPECT_NEAR(MeasureFile(dir.File("inter-sample-peak.aiff")).TruePeakDb(), -6.0, 0.15);
}

TEST(LoudnessTest, MeasurementAgreesWithFfmpegOnRealFiles) {
  if (!test::HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg not installed";
  if (!fs::is_directory(VELMORA_CORPUS_DIR)) GTEST_SKIP() << "no corpus at " << VELMORA_CORPUS_DIR;
  // Linear and float sources of at least three seconds, the shortest the loudness range reads.
  int compared = 0;
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(VELMORA_CORPUS_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".aif" || ext == ".aiff" || ext == ".aifc")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    AiffReader reader;
    if (!reader.Open(file)) continue;
    const SourceInfo& info = reader.Info();
    const bool linear = info.compression == CompressionKind::Pcm || info.compression == CompressionKind::Float32 ||
                        info.compression == CompressionKind::Float64;
    if (!linear || info.channels > 2 || info.sampleRate < 8000 || info.frames < 3ull * static_cast<unsigned>(info.sampleRate)) {
      continue;
    }
    const auto peer = FfmpegLoudness(file);
    if (!peer || !std::isfinite(peer->integrated)) continue;
    // The range of a clip under ten seconds hangs on its first and last 3-second windows, which
    // the two meters count differently; and on clipped recordings, whose peaks pass full scale,
    // ffmpeg's oversampling reads up to 0.25 dB higher, as it does on the test tone above.
    const bool programme = info.frames >= 10ull * static_cast<unsigned>(info.sampleRate);
    ExpectAgreement(file, MeasureFile(file), *peer, {programme, true, 0.25});
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no suitable file in the corpus";
}

std::vector<FileReport> Convert(const std::vector<std::string>& sources, OutputFormat format,
                                const ConverterSettings& settings, const WavTarget& target, int jobs,
                                std::vector<int>* measured = nullptr) {
  test::BatchRun run = test::RunBatch(sources, format, settings, target, jobs);
  EXPECT_TRUE(run.measuredBeforeStart);
  if (measured) *measured = run.measured;
  for (const FileReport& r : run.reports) EXPECT_EQ(r.outcome.result, FileResult::Converted) << r.sourcePath;
  return run.reports;
}

TEST(LoudnessTest, NormalisationReachesTheTargetUnlessTheCeilingHoldsItLower) {
  test::TempDir dir;
  const std::string pink = WriteSignal(dir, "a/pink.aiff", 2, 44100, 8, PinkNoise(2, 0.05));
  const std::string tone = WriteSignal(dir, "a/tone.aiff", 1, 48000, 8, Sine(1000, 48000, -30));
  // Quiet noise with short bursts of a tone whose samples lie 3 dB below its true peak,
  // resampled and mixed to mono on the way: a source peak read alone would not tell where the
  // output's peak lies.
  const auto burst = Sine(12000, 48000, -6, kPi / 4);
  const auto noise = PinkNoise(2, 0.01);
  const std::string peaks = WriteSignal(dir, "b/peaks.aiff", 2, 48000, 8, [&](int c, std::size_t f) {
    return noise(c, f) + (f % 96000 < 480 ? burst(c, f) : 0.0);
  });
  ConverterSettings settings;
  settings.LoudnessMode = kLoudnessNormalize;
  settings.LoudnessTarget = -20;
  settings.AmplifyWav = 1;  // the gain coefficient gives way to normalisation
  settings.AmplifyWavCoeff = 300;
  std::vector<int> measured;
  const auto wav = Convert({pink, tone, peaks}, OutputFormat::Wav, settings, WavTarget{44100, 1, 16, false}, 2, &measured);
  ASSERT_EQ(wav.size(), 3u);
  ASSERT_EQ(measured.size(), 4u);
  EXPECT_EQ(measured.front(), 0);
  EXPECT_EQ(measured.back(), 3);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(*MeasureOutput(wav[i].outputPath).integrated, -20.0, 0.5) << wav[i].sourcePath;
    EXPECT_EQ(LoudnessText(wav[i].outcome.loudness), "-20.0 LUFS");
  }
  // At the source's own resolution (24 bits here) as well.
  WavTarget lossless;
  lossless.lossless = true;
  const auto full = Convert({tone}, OutputFormat::Wav, settings, lossless, 1);
  ASSERT_EQ(full.size(), 1u);
  EXPECT_NEAR(*MeasureOutput(full[0].outputPath).integrated, -20.0, 0.5);
  const Loudness held = MeasureOutput(wav[2].outputPath);
  EXPECT_LE(held.TruePeakDb(), -1.0);
  EXPECT_GT(held.TruePeakDb(), -1.3);
  ASSERT_TRUE(held.integrated);
  EXPECT_LT(*held.integrated, -20.5);
  // The line tells the loudness the output has.
  const std::string note = LoudnessText(wav[2].outcome.loudness);
  EXPECT_TRUE(note.ends_with(" LUFS, held by the -1 dBTP ceiling")) << note;
  EXPECT_NEAR(std::stod(note), *held.integrated, 0.15) << note;

  // MP3, per album: one gain for the folder's two files, which keep their difference, and the
  // two together reach the target.
  settings.LoudnessTarget = -23;
  settings.LoudnessAlbum = 1;
  settings.LoudnessCeiling = -5;  // -0.5 dBTP
  const auto mp3 = Convert({pink, tone}, OutputFormat::Mp3, settings, {}, 1);
  ASSERT_EQ(mp3.size(), 2u);
  const LoudnessMeter pinkOut = MeterOutput(mp3[0].outputPath), toneOut = MeterOutput(mp3[1].outputPath);
  const Loudness pinkIn = MeasureFile(pink), toneIn = MeasureFile(tone);
  EXPECT_NEAR(*pinkOut.Result().integrated - *toneOut.Result().integrated, *pinkIn.integrated - *toneIn.integrated, 0.5);
  EXPECT_NEAR(*LoudnessMeter::Together({&pinkOut, &toneOut}).integrated, -23.0, 0.5);
  EXPECT_EQ(mp3[0].outcome.loudness.kind, LoudnessNote::Kind::Reached);
}

// A 32-bit float AIFF-C of `seconds` of sound; `sample(channel, frame)` as stored.
std::string WriteFloatSignal(const test::TempDir& dir, const std::string& name, int channels, int rate, double seconds,
                             const std::function<float(int, std::size_t)>& sample) {
  test::AiffBuilder b;
  b.aifc = true;
  b.compression = "fl32";
  b.channels = channels;
  b.bits = 32;
  b.rate = rate;
  b.frames = static_cast<std::uint32_t>(seconds * rate);
  for (std::size_t f = 0; f < b.frames; ++f) {
    for (int c = 0; c < channels; ++c) test::PutBe32(b.sound, std::bit_cast<std::uint32_t>(sample(c, f)));
  }
  return dir.Write(name, b.Build());
}

TEST(LoudnessTest, WhatTheMeterCannotMeasureIsToldOnTheLineAndTheBatchGoesOn) {
  test::TempDir dir;
  ConverterSettings settings;
  settings.LoudnessMode = kLoudnessReplayGain;
  WavTarget lossless;
  lossless.lossless = true;
  const std::string good = WriteSignal(dir, "good.aiff", 2, 44100, 3, PinkNoise(2, 0.1));
  // Rates the meter refuses (8, 15, above 2,822,400 Hz) or, at 16 and 17 Hz, once overran its
  // buffer with; 18 Hz is the lowest it measures.
  struct RateCase {
    int rate;
    bool measured;
  };
  const std::vector<RateCase> rates = {{8, false}, {15, false}, {16, false}, {17, false}, {18, true}, {2822401, false}};
  std::vector<std::string> sources{good};
  for (const RateCase& c : rates) {
    sources.push_back(WriteSignal(dir, "rate" + std::to_string(c.rate) + ".aiff", c.rate == 18 ? 6 : 1, c.rate,
                                  c.rate < 100 ? 40.0 : 0.01, Sine(3, c.rate, -20)));
  }
  for (const bool full : {false, true}) {
    const auto reports = Convert(sources, OutputFormat::Wav, settings, full ? lossless : WavTarget{}, 2);
    ASSERT_EQ(reports.size(), sources.size());
    for (const FileReport& r : reports) {
      const LoudnessNote& note = r.outcome.loudness;
      const auto rate = std::find_if(rates.begin(), rates.end(), [&](const RateCase& c) {
        return r.sourcePath.ends_with("rate" + std::to_string(c.rate) + ".aiff");
      });
      if (rate == rates.end()) {
        EXPECT_EQ(note.kind, LoudnessNote::Kind::ReplayGain) << r.sourcePath;
      } else if (rate->measured) {
        EXPECT_NE(note.kind, LoudnessNote::Kind::NotMeasuredAtRate) << r.sourcePath;
      } else {
        EXPECT_EQ(LoudnessText(note), "loudness not measured at " + std::to_string(rate->rate) + " Hz") << r.sourcePath;
      }
    }
  }

  // Samples that are not numbers count as silence and are counted; a float output keeps them.
  const auto pink = PinkNoise(2, 0.1);
  std::vector<float> sound;
  const auto clean = [&](int c, std::size_t f) {
    const std::size_t at = f * 2 + static_cast<std::size_t>(c);
    if (sound.size() <= at) sound.resize(at + 1, static_cast<float>(pink(c, f)));
    return sound[at];
  };
  const std::string plain = WriteFloatSignal(dir, "plain.aiff", 2, 44100, 3, clean);
  const std::string damaged = WriteFloatSignal(dir, "damaged.aiff", 2, 44100, 3, [&](int c, std::size_t f) {
    if (f == 1000 && c == 0) return std::numeric_limits<float>::quiet_NaN();
    if (f == 50000) return c == 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return (f == 1000 && c == 1) ? 0.0f : (f == 50000 ? 0.0f : clean(c, f));
  });
  for (const WavTarget& target : {lossless, WavTarget{}}) {
    const auto reports = Convert({damaged, plain}, OutputFormat::Wav, settings, target, 1);
    ASSERT_EQ(reports.size(), 2u);
    const LoudnessNote& hurt = reports[0].outcome.loudness;
    const LoudnessNote& whole = reports[1].outcome.loudness;
    ASSERT_EQ(hurt.kind, LoudnessNote::Kind::ReplayGain);
    EXPECT_EQ(hurt.nonFinite, 3u);
    EXPECT_NEAR(hurt.value, whole.value, 0.01);
    EXPECT_TRUE(LoudnessText(hurt).ends_with(", 3 samples not finite, measured as silence")) << LoudnessText(hurt);
    EXPECT_EQ(whole.nonFinite, 0u);
  }
}

TEST(LoudnessTest, TheLineAndTheAlbumFollowTheOutputNotTheSpelling) {
  test::TempDir dir;
  ConverterSettings settings;
  settings.LoudnessMode = kLoudnessNormalize;
  settings.LoudnessTarget = -20;
  // Loud passages at -62 LUFS and quiet ones under the -70 LUFS gate: raised by 40 dB or more,
  // the quiet ones count too, and the output measures lower than the loud passages alone.
  const auto noise = PinkNoise(1, 1.0);
  const double loud = Db(-68), quiet = Db(-78);
  const std::string source = WriteSignal(dir, "quiet.aiff", 1, 44100, 12, [&](int c, std::size_t f) {
    return noise(c, f) * ((f / 44100) % 2 ? quiet : loud);
  });
  const auto wav = Convert({source}, OutputFormat::Wav, settings, WavTarget{}, 1);
  ASSERT_EQ(wav.size(), 1u);
  ASSERT_EQ(wav[0].outcome.loudness.kind, LoudnessNote::Kind::Reached);
  const Loudness out = MeasureOutput(wav[0].outputPath);
  ASSERT_TRUE(out.integrated);
  EXPECT_NEAR(*out.integrated, -20.0, 0.1);
  EXPECT_NEAR(wav[0].outcome.loudness.value, *out.integrated, 0.1);

  // One folder spelled three ways is one album: all three files get the album's gain.
  settings.LoudnessMode = kLoudnessReplayGain;
  settings.LoudnessAlbum = 1;
  const std::string a = WriteSignal(dir, "alb/a.aiff", 2, 44100, 3, PinkNoise(2, 0.02));
  WriteSignal(dir, "alb/b.aiff", 2, 44100, 3, Sine(440, 44100, -12));
  WriteSignal(dir, "alb/c.aiff", 1, 44100, 3, Sine(1000, 44100, -30));
  fs::create_directory_symlink(dir.File("alb"), dir.File("link"));
  const auto album = Convert({a, dir.File("./alb/b.aiff"), dir.File("link/c.aiff")}, OutputFormat::Wav, settings,
                             WavTarget{}, 2);
  ASSERT_EQ(album.size(), 3u);
  for (const FileReport& r : album) {
    EXPECT_EQ(r.outcome.loudness.kind, LoudnessNote::Kind::ReplayGain) << r.sourcePath;
    EXPECT_EQ(r.outcome.loudness.value, album[0].outcome.loudness.value) << r.sourcePath;
  }
}

}  // namespace
}  // namespace velmora
