#include "convert/sample_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "audio/source_info.h"

namespace velmora {
namespace {

using Samples16 = std::vector<std::int16_t>;

struct Stereo16 {
  Samples16 left;
  Samples16 right;
};

Samples16 Tone(int rate, int frames, const std::vector<std::pair<double, double>>& partials) {
  Samples16 out(frames);
  for (int i = 0; i < frames; ++i) {
    double v = 0.0;
    for (const auto& [hz, amplitude] : partials) v += amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate);
    out[i] = static_cast<std::int16_t>(std::lround(v));
  }
  return out;
}

// Feeds `in` through `converter` in blocks of the given sizes (cycling), then flushes.
Stereo16 Stream(SampleConverter& converter, const Stereo16& in, const std::vector<int>& blockSizes,
             bool flush = true) {
  Stereo16 out;
  const int frames = static_cast<int>(in.left.size());
  const int largest = *std::max_element(blockSizes.begin(), blockSizes.end());
  Samples16 left(converter.OutputCapacity(largest));
  Samples16 right(left.size());
  std::size_t which = 0;
  for (int done = 0; done < frames;) {
    const int n = std::min(blockSizes[which++ % blockSizes.size()], frames - done);
    const int got = converter.Convert(in.left.data() + done, in.right.empty() ? nullptr : in.right.data() + done,
                                      n, left.data(), right.data());
    EXPECT_LE(got, converter.OutputCapacity(n));
    out.left.insert(out.left.end(), left.begin(), left.begin() + got);
    out.right.insert(out.right.end(), right.begin(), right.begin() + got);
    done += n;
  }
  if (flush) {
    const int got = converter.Flush(left.data(), right.data());
    EXPECT_LE(got, converter.OutputCapacity(0));
    out.left.insert(out.left.end(), left.begin(), left.begin() + got);
    out.right.insert(out.right.end(), right.begin(), right.begin() + got);
  }
  return out;
}

struct Fit {
  double amplitude;   // of the component at the tone's frequency, any phase
  double residualDb;  // difference from the undelayed source tone, relative to its power
};

// Measures x against the source tone amplitude * sin(2 pi hz t): the converter has no delay,
// so any timing error shows up in the residual along with aliases, images and noise. The
// window holds a whole number of the tone's periods.
Fit MeasureTone(const Samples16& x, int rate, double hz, double amplitude, int start, int length) {
  double c = 0.0, s = 0.0, residual = 0.0;
  for (int i = 0; i < length; ++i) {
    const double w = 2.0 * std::numbers::pi * hz * (start + i) / rate;
    c += x[start + i] * std::cos(w);
    s += x[start + i] * std::sin(w);
    const double e = x[start + i] - amplitude * std::sin(w);
    residual += e * e;
  }
  const double signalPower = amplitude * amplitude / 2.0;
  return {2.0 * std::hypot(c, s) / length, 10.0 * std::log10(residual / length / signalPower)};
}

TEST(SampleConverterTest, HalvingRateCountsOutputsPerBlock) {
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(44100, 1, 16, 22050, 1, 16));
  const Samples16 block(kMaxBlockFrames, 100);
  Samples16 out(converter.OutputCapacity(kMaxBlockFrames));
  // The first block waits for 16 frames of look-ahead; later blocks continue the same grid.
  EXPECT_EQ(converter.Convert(block.data(), nullptr, kMaxBlockFrames, out.data(), nullptr), 568);
  EXPECT_EQ(converter.Convert(block.data(), nullptr, kMaxBlockFrames, out.data(), nullptr), 576);
  EXPECT_EQ(converter.Convert(block.data(), nullptr, kMaxBlockFrames, out.data(), nullptr), 576);
  EXPECT_EQ(converter.Flush(out.data(), nullptr), 8);
  EXPECT_EQ(converter.Flush(out.data(), nullptr), 0);

  // A short first block yields nothing yet but still counts as input.
  SampleConverter shortStart;
  ASSERT_TRUE(shortStart.Configure(44100, 1, 16, 22050, 1, 16));
  EXPECT_EQ(shortStart.Convert(block.data(), nullptr, 16, out.data(), nullptr), 0);
  EXPECT_EQ(shortStart.Convert(block.data(), nullptr, kMaxBlockFrames - 16, out.data(), nullptr), 568);
}

TEST(SampleConverterTest, RejectsUnsupportedFormats) {
  SampleConverter converter;
  EXPECT_FALSE(converter.Configure(0, 1, 16, 44100, 1, 16));
  EXPECT_FALSE(converter.Configure(44100, 1, 16, -1, 1, 16));
  EXPECT_FALSE(converter.Configure(44100, 3, 16, 44100, 2, 16));
  EXPECT_FALSE(converter.Configure(44100, 2, 16, 44100, 0, 16));
  EXPECT_FALSE(converter.Configure(44100, 2, 24, 44100, 2, 16));
  EXPECT_FALSE(converter.Configure(44100, 2, 16, 44100, 2, 12));
  EXPECT_FALSE(converter.Configure(8, 1, 16, 48000, 1, 16));
  const Samples16 in(16, 1);
  Samples16 out(64);
  EXPECT_EQ(converter.Convert(in.data(), nullptr, 16, out.data(), nullptr), 0);
}

struct QualityCase {
  int inRate;
  int outRate;
  double toneHz;
  double aliasHz;  // a second input tone in the filter's stop band, or 0
};

class SampleConverterQualityTest : public testing::TestWithParam<QualityCase> {};

// A tone keeps its frequency and level; what is left after removing it (aliases, images,
// rounding noise) stays 60 dB down.
TEST_P(SampleConverterQualityTest, ToneSurvivesCleanly) {
  const QualityCase& q = GetParam();
  constexpr double kAmplitude = 12000.0;
  const int frames = q.inRate * 5 / 4;
  std::vector<std::pair<double, double>> partials = {{q.toneHz, kAmplitude}};
  if (q.aliasHz > 0) partials.push_back({q.aliasHz, kAmplitude});
  Stereo16 in{Tone(q.inRate, frames, partials), {}};
  in.right = in.left;

  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(q.inRate, 2, 16, q.outRate, 2, 16));
  const Stereo16 out = Stream(converter, in, {kMaxBlockFrames});

  // Tenths of a second (whole periods of 10 Hz multiples) well away from both ends; several,
  // because with a near-integral ratio the filter phase drifts slowly through its range.
  const int window = q.outRate / 10;
  ASSERT_GE(static_cast<int>(out.left.size()), q.outRate * 3 / 4 + window);
  double worstLevelDb = 0.0;
  double worstResidualDb = -200.0;
  for (int start : {q.outRate / 4, q.outRate / 2, q.outRate * 3 / 4}) {
    const Fit fit = MeasureTone(out.left, q.outRate, q.toneHz, kAmplitude, start, window);
    const double levelDb = 20.0 * std::log10(fit.amplitude / kAmplitude);
    if (std::abs(levelDb) > std::abs(worstLevelDb)) worstLevelDb = levelDb;
    worstResidualDb = std::max(worstResidualDb, fit.residualDb);
  }
  RecordProperty("level_db", std::to_string(worstLevelDb));
  RecordProperty("residual_db", std::to_string(worstResidualDb));
  std::printf("%d -> %d Hz: level %+.4f dB, residual %.1f dB\n", q.inRate, q.outRate, worstLevelDb, worstResidualDb);
  EXPECT_NEAR(worstLevelDb, 0.0, 0.1);
  EXPECT_LT(worstResidualDb, -60.0);
  EXPECT_EQ(out.left, out.right);
}

INSTANTIATE_TEST_SUITE_P(Rates, SampleConverterQualityTest,
                         testing::Values(QualityCase{44100, 22050, 1000, 18000},
                                         QualityCase{22050, 44100, 1000, 0},
                                         QualityCase{44100, 48000, 1000, 0},
                                         QualityCase{48000, 44100, 1000, 0},
                                         QualityCase{22050, 32000, 1000, 0},
                                         QualityCase{88199, 44100, 1000, 35000}),
                         [](const testing::TestParamInfo<QualityCase>& param) {
                           return std::to_string(param.param.inRate) + "To" + std::to_string(param.param.outRate);
                         });

// The output covers the whole source whatever the block sizes, and the result does not
// depend on how the source was cut into blocks.
TEST(SampleConverterTest, LengthAndContentIndependentOfBlocking) {
  const int rates[][2] = {{44100, 22050}, {22050, 44100}, {44100, 48000}, {8000, 44100}, {96000, 8000},
                          {44100, 32000}, {11025, 44100}, {88199, 44100}};
  std::mt19937 random(7);
  for (const auto& [inRate, outRate] : rates) {
    for (int frames : {1, 15, 17, 1000, 4099}) {
      SCOPED_TRACE(testing::Message() << inRate << " -> " << outRate << ", " << frames << " frames");
      std::uniform_int_distribution<int> sample(-20000, 20000);
      Stereo16 in;
      for (int i = 0; i < frames; ++i) {
        in.left.push_back(static_cast<std::int16_t>(sample(random)));
        in.right.push_back(static_cast<std::int16_t>(sample(random)));
      }
      SampleConverter whole;
      ASSERT_TRUE(whole.Configure(inRate, 2, 16, outRate, 2, 16));
      const Stereo16 reference = Stream(whole, in, {frames});
      const double expected = static_cast<double>(frames) * outRate / inRate;
      EXPECT_NEAR(static_cast<double>(reference.left.size()), expected, 1.0);

      SampleConverter pieces;
      ASSERT_TRUE(pieces.Configure(inRate, 2, 16, outRate, 2, 16));
      const Stereo16 cut = Stream(pieces, in, {1, 16, 3, 1152, 2500, 17});
      EXPECT_EQ(cut.left, reference.left);
      EXPECT_EQ(cut.right, reference.right);
    }
  }
}

// Input shaped to the half-rate filter's tap signs drives the sum well past full scale.
TEST(SampleConverterTest, OvershootSaturates) {
  constexpr int kCentre = 100;
  auto shaped = [](int high, int low, int rest) {
    std::vector<int> x(300, rest);
    for (int k = -16; k <= 16; ++k) {
      // Taps of sin(pi k / 2) / k: positive at 0, +-1, +-5, ...; negative at +-3, +-7, ...
      const bool positive = k == 0 || (k % 2 != 0 && ((std::abs(k) - 1) / 2) % 2 == 0);
      if (k == 0 || k % 2 != 0) x[kCentre + k] = positive ? high : low;
    }
    return x;
  };
  const std::vector<int> up16 = shaped(32767, -32768, 0);
  const std::vector<int> down16 = shaped(-32768, 32767, 0);
  Samples16 up(up16.begin(), up16.end()), down(down16.begin(), down16.end()), out(400);
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(44100, 1, 16, 22050, 1, 16));
  converter.Convert(up.data(), nullptr, 300, out.data(), nullptr);
  EXPECT_EQ(out[kCentre / 2], 32767);
  ASSERT_TRUE(converter.Configure(44100, 1, 16, 22050, 1, 16));
  converter.Convert(down.data(), nullptr, 300, out.data(), nullptr);
  EXPECT_EQ(out[kCentre / 2], -32768);

  const std::vector<int> up8 = shaped(255, 0, 128);
  const std::vector<int> down8 = shaped(0, 255, 128);
  std::vector<std::uint8_t> u(up8.begin(), up8.end()), d(down8.begin(), down8.end()), out8(400);
  ASSERT_TRUE(converter.Configure(44100, 1, 8, 22050, 1, 8));
  converter.Convert(u.data(), nullptr, 300, out8.data(), nullptr);
  EXPECT_EQ(out8[kCentre / 2], 255);
  ASSERT_TRUE(converter.Configure(44100, 1, 8, 22050, 1, 8));
  converter.Convert(d.data(), nullptr, 300, out8.data(), nullptr);
  EXPECT_EQ(out8[kCentre / 2], 0);
}

TEST(SampleConverterTest, EightBitSilenceStaysSilent) {
  for (const auto& [inRate, outRate] : {std::pair{22050, 44100}, std::pair{44100, 22050}, std::pair{11025, 8000}}) {
    SampleConverter converter;
    ASSERT_TRUE(converter.Configure(inRate, 1, 8, outRate, 1, 8));
    const std::vector<std::uint8_t> silence(kMaxBlockFrames, 128);
    std::vector<std::uint8_t> out(converter.OutputCapacity(kMaxBlockFrames));
    int got = converter.Convert(silence.data(), nullptr, kMaxBlockFrames, out.data(), nullptr);
    ASSERT_GT(got, 0);
    for (int i = 0; i < got; ++i) ASSERT_EQ(out[i], 128) << inRate << " -> " << outRate << " at " << i;
    got = converter.Flush(out.data(), nullptr);
    ASSERT_GT(got, 0);
    for (int i = 0; i < got; ++i) ASSERT_EQ(out[i], 128) << "flush at " << i;
  }
}

TEST(SampleConverterTest, MixesChannels) {
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(44100, 2, 16, 44100, 1, 16));
  const Samples16 left = {-3, 32767, -32768, 5, -5};
  const Samples16 right = {0, 32767, -32768, 0, 0};
  Samples16 out(5);
  ASSERT_EQ(converter.Convert(left.data(), right.data(), 5, out.data(), nullptr), 5);
  EXPECT_EQ(out, (Samples16{-1, 32767, -32768, 2, -2}));

  ASSERT_TRUE(converter.Configure(44100, 2, 8, 44100, 1, 8));
  const std::vector<std::uint8_t> l8 = {255, 255, 0};
  const std::vector<std::uint8_t> r8 = {0, 254, 1};
  std::vector<std::uint8_t> out8(3);
  ASSERT_EQ(converter.Convert(l8.data(), r8.data(), 3, out8.data(), nullptr), 3);
  EXPECT_EQ(out8, (std::vector<std::uint8_t>{127, 254, 0}));

  ASSERT_TRUE(converter.Configure(44100, 1, 16, 44100, 2, 16));
  Samples16 outRight(5);
  ASSERT_EQ(converter.Convert(left.data(), nullptr, 5, out.data(), outRight.data()), 5);
  EXPECT_EQ(out, left);
  EXPECT_EQ(outRight, left);
}

TEST(SampleConverterTest, ChangesWidth) {
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(8000, 1, 8, 8000, 1, 16));
  const std::vector<std::uint8_t> bytes = {0, 127, 128, 129, 255};
  Samples16 wide(5);
  ASSERT_EQ(converter.Convert(bytes.data(), nullptr, 5, wide.data(), nullptr), 5);
  EXPECT_EQ(wide, (Samples16{-32768, -256, 0, 256, 32512}));

  ASSERT_TRUE(converter.Configure(8000, 1, 16, 8000, 1, 8));
  const Samples16 words = {-32768, -257, -256, -1, 0, 255, 256, 32767};
  std::vector<std::uint8_t> narrow(words.size());
  ASSERT_EQ(converter.Convert(words.data(), nullptr, 8, narrow.data(), nullptr), 8);
  EXPECT_EQ(narrow, (std::vector<std::uint8_t>{0, 126, 127, 127, 128, 128, 129, 255}));

  // Mixing happens before narrowing, in the source width: (200 + 57) / 2 = 128 -> 0.
  ASSERT_TRUE(converter.Configure(8000, 2, 8, 8000, 1, 16));
  const std::vector<std::uint8_t> l8 = {200}, r8 = {57};
  ASSERT_EQ(converter.Convert(l8.data(), r8.data(), 1, wide.data(), nullptr), 1);
  EXPECT_EQ(wide[0], 0);
}

// Width and channel changes also apply to resampled output, with each channel filtered on
// its own.
TEST(SampleConverterTest, ResampledStereoKeepsChannelsApart) {
  const int frames = 4410;
  Stereo16 in{Tone(44100, frames, {{1000, 12000}}), Samples16(frames, 0)};
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(44100, 2, 16, 22050, 2, 8));
  std::vector<std::uint8_t> left(converter.OutputCapacity(frames)), right(left.size());
  int got = converter.Convert(in.left.data(), in.right.data(), frames, left.data(), right.data());
  got += converter.Flush(left.data() + got, right.data() + got);
  ASSERT_EQ(got, frames / 2);
  int peak = 0;
  for (int i = 0; i < got; ++i) {
    EXPECT_EQ(right[i], 128);
    peak = std::max(peak, std::abs(left[i] - 128));
  }
  EXPECT_NEAR(peak, 12000 / 256, 2);
}

}  // namespace
}  // namespace velmora
