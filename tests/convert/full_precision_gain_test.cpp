// Gain at full precision: a quiet tone normalised or amplified comes out as clean as the
// output's width allows, centred, at the level asked for, and the same on every run.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <bit>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "convert/conversion_job.h"
#include "convert/loudness_meter.h"
#include "settings/option_limits.h"
#include "support/aiff_builder.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Not a divisor of the rates, so the cut to the source's own width is noise, not harmonics.
constexpr double kToneHz = 997;
constexpr double kSeconds = 4;

struct Tone {
  int bits = 24;  // 24-bit integers, or 32-bit floats
  int channels = 1;
  int rate = 48000;
  double peakDbfs = -60;
};

void PutSample(test::Bytes& out, int bits, double value) {
  if (bits == 32) {
    test::PutBe32(out, std::bit_cast<std::uint32_t>(static_cast<float>(value)));
    return;
  }
  const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * 8388607.0)));
  for (int shift : {16, 8, 0}) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

std::string WriteTone(const test::TempDir& dir, const std::string& name, const Tone& tone) {
  test::AiffBuilder b;
  b.channels = tone.channels;
  b.rate = tone.rate;
  b.bits = tone.bits;
  if (tone.bits == 32) {
    b.aifc = true;
    b.compression = "fl32";
  }
  b.frames = static_cast<std::uint32_t>(kSeconds * tone.rate);
  const double amplitude = std::pow(10.0, tone.peakDbfs / 20.0);
  for (std::uint32_t f = 0; f < b.frames; ++f) {
    const double v = amplitude * std::sin(2 * kPi * kToneHz * f / tone.rate);
    for (int c = 0; c < tone.channels; ++c) PutSample(b.sound, tone.bits, v);
  }
  return dir.Write(name, b.Build());
}

// An output decoded through libsndfile, as a player decodes it (MP3 too), in -1..1.
struct Decoded {
  int channels = 0, rate = 0;
  std::vector<double> samples;  // interleaved
};

Decoded Decode(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr) << path;
  if (!file) return {};
  Decoded out{info.channels, info.samplerate, std::vector<double>(static_cast<std::size_t>(info.frames * info.channels))};
  out.samples.resize(static_cast<std::size_t>(sf_readf_double(file, out.samples.data(), info.frames) * info.channels));
  sf_close(file);
  return out;
}

// The tone in one channel, fitted as a*sin + b*cos + c at its frequency by least squares over
// all but the first and last half second (the encoder's delay, the resampler's edges). THD+N
// is the tone's RMS over the RMS of all that the fit leaves.
struct ToneFit {
  double peakDbfs = 0, thdnDb = 0, dc = 0;
};

ToneFit FitTone(const Decoded& d, int channel) {
  const double w = 2 * kPi * kToneHz / d.rate;
  const auto frames = static_cast<long>(d.samples.size()) / d.channels;
  const long first = d.rate / 2, last = frames - d.rate / 2;
  auto at = [&](long n) { return d.samples[static_cast<std::size_t>(n * d.channels + channel)]; };
  double m[3][4] = {};  // normal equations, right-hand side in the last column
  for (long n = first; n < last; ++n) {
    const double t = w * static_cast<double>(n);
    const double basis[3] = {std::sin(t), std::cos(t), 1.0};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) m[i][j] += basis[i] * basis[j];
      m[i][3] += basis[i] * at(n);
    }
  }
  for (int i = 0; i < 3; ++i) {
    for (int k = i + 1; k < 3; ++k) {
      const double factor = m[k][i] / m[i][i];
      for (int j = i; j < 4; ++j) m[k][j] -= factor * m[i][j];
    }
  }
  double x[3];
  for (int i = 2; i >= 0; --i) {
    x[i] = m[i][3];
    for (int j = i + 1; j < 3; ++j) x[i] -= m[i][j] * x[j];
    x[i] /= m[i][i];
  }
  double residual = 0;
  for (long n = first; n < last; ++n) {
    const double t = w * static_cast<double>(n);
    const double e = at(n) - x[0] * std::sin(t) - x[1] * std::cos(t) - x[2];
    residual += e * e;
  }
  const double amplitude = std::hypot(x[0], x[1]);
  const double residualRms = std::sqrt(residual / static_cast<double>(last - first));
  return {20 * std::log10(amplitude), 20 * std::log10(amplitude / std::sqrt(2.0) / residualRms), x[2]};
}

Loudness MeasureDecoded(const Decoded& d) {
  LoudnessMeter meter;
  EXPECT_TRUE(meter.Start(d.channels, d.rate));
  meter.AddDouble(d.samples.data(), d.samples.size() / static_cast<std::size_t>(d.channels));
  return meter.Result();
}

FileReport ConvertOne(const std::string& source, OutputFormat format, const ConverterSettings& settings,
                      const WavTarget& target) {
  const test::BatchRun run = test::RunBatch({source}, format, settings, target);
  EXPECT_EQ(run.reports.size(), 1u);
  if (run.reports.empty()) return {};
  EXPECT_EQ(run.reports[0].outcome.result, FileResult::Converted) << source;
  return run.reports[0];
}

TEST(FullPrecisionGainTest, QuietToneComesOutCleanCentredAndAtTheLevelAskedFor) {
  struct Case {
    const char* name;
    Tone tone;
    OutputFormat format;
    WavTarget target;
    std::optional<int> normalize;  // LUFS; otherwise the gain coefficient
    int percent;
    double minThdnDb;                // what the output's width (or the encoder) allows, less a margin
    std::optional<double> peakDbfs;  // the tone's level where a coefficient sets it
    double peakTolerance = 0.05;
  };
  // A -60 dBFS tone cut to 16 bits before a gain of some 47 dB came out 38 dB above its
  // distortion, and in 8 bits as two sample values; the dither's own floor lies 96 dB (8 bits:
  // 48 dB) below full scale. A float source's peaks above full scale are measured as they are,
  // not clipped. Dither keeps a tone smaller than the last bit, which rounding alone would
  // silence, as a tone under noise.
  const Case cases[] = {
      {"normalised into 16-bit WAV", {}, OutputFormat::Wav, {48000, 1, 16, false}, -16, 100, 75, {}},
      {"normalised into 8-bit WAV, held by the ceiling", {}, OutputFormat::Wav, {48000, 1, 8, false}, -2, 100, 40, {}},
      {"resampled and mixed, normalised", {24, 2, 44100, -60}, OutputFormat::Wav, {48000, 1, 16, false}, -16, 100, 75, {}},
      {"normalised into MP3", {}, OutputFormat::Mp3, {}, -16, 100, 70, {}},
      {"float source amplified", {32, 2, 48000, -30}, OutputFormat::Wav, {48000, 2, 16, false}, {}, 1000, 75, -10.0},
      {"float source above full scale, normalised", {32, 1, 48000, 3}, OutputFormat::Wav, {48000, 1, 16, false}, -10,
       100, 75, {}},
      {"a tone below the last bit", {24, 1, 48000, -90}, OutputFormat::Wav, {48000, 1, 8, false}, {}, 3000, -20,
       -90 + 20 * std::log10(30.0), 0.5},
  };
  test::TempDir dir;
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = WriteTone(dir, "tone" + std::to_string(index++) + ".aiff", c.tone);
    ConverterSettings settings;
    if (c.normalize) {
      settings.LoudnessMode = kLoudnessNormalize;
      settings.LoudnessTarget = *c.normalize;
    }
    settings.AmplifyWav = settings.AmplifyMp3 = 1;
    settings.AmplifyWavCoeff = settings.AmplifyMp3Coeff = c.percent;
    const FileReport report = ConvertOne(source, c.format, settings, c.target);
    const Decoded out = Decode(report.outputPath);
    ASSERT_GT(out.samples.size(), 0u);
    const int bits = c.target.bits.value_or(16);
    for (int channel = 0; channel < out.channels; ++channel) {
      const ToneFit fit = FitTone(out, channel);
      RecordProperty(std::string(c.name) + ", channel " + std::to_string(channel) + ": THD+N dB, DC dBFS",
                     std::to_string(fit.thdnDb) + ", " + std::to_string(20 * std::log10(std::fabs(fit.dc))));
      EXPECT_GE(fit.thdnDb, c.minThdnDb) << "channel " << channel;
      EXPECT_LT(std::fabs(fit.dc), 0.1 * std::ldexp(1.0, 1 - bits)) << "channel " << channel;
      if (c.peakDbfs) {
        EXPECT_NEAR(fit.peakDbfs, *c.peakDbfs, c.peakTolerance) << "channel " << channel;
      }
    }
    if (c.normalize && c.format == OutputFormat::Wav) {
      // The output has the loudness its line tells, and the ceiling holds with the dither.
      const Loudness loudness = MeasureDecoded(out);
      ASSERT_TRUE(loudness.integrated);
      EXPECT_NEAR(*loudness.integrated, report.outcome.loudness.value, 0.25);
      EXPECT_LE(loudness.TruePeakDb(), kDefaultTruePeakCeilingTenths / 10.0);
    }
    // The dither is the same on every run.
    const FileReport again = ConvertOne(source, c.format, settings, c.target);
    EXPECT_NE(again.outputPath, report.outputPath);
    EXPECT_EQ(test::ReadFileBytes(again.outputPath), test::ReadFileBytes(report.outputPath));
  }
}

}  // namespace
}  // namespace velmora
