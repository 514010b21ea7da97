#include "convert/sample_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "audio/source_info.h"

namespace velmora {
namespace {

using Samples16 = std::vector<std::int16_t>;
using Samples8 = std::vector<std::uint8_t>;

struct Stereo16 {
  Samples16 left, right;
};

// Feeds `in` through `converter` in blocks of the given sizes (cycling), then flushes.
Stereo16 Stream(SampleConverter& converter, const Stereo16& in, const std::vector<int>& blocks) {
  Stereo16 out;
  Samples16 left(converter.OutputCapacity(*std::max_element(blocks.begin(), blocks.end()))), right(left.size());
  auto keep = [&](int got) {
    out.left.insert(out.left.end(), left.begin(), left.begin() + got);
    out.right.insert(out.right.end(), right.begin(), right.begin() + got);
  };
  const int frames = static_cast<int>(in.left.size());
  for (int done = 0, which = 0; done < frames; ++which) {
    const int n = std::min(blocks[which % blocks.size()], frames - done);
    keep(converter.Convert(&in.left[done], &in.right[done], n, left.data(), right.data()));
    done += n;
  }
  keep(converter.Flush(left.data(), right.data()));
  return out;
}

TEST(SampleConverterTest, HalvingRateCountsOutputsPerBlock) {
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(44100, 1, 16, 22050, 1, 16));
  const Samples16 block(kMaxBlockFrames, 100);
  Samples16 out(converter.OutputCapacity(kMaxBlockFrames));
  // The first block waits for 16 frames of look-ahead; later blocks continue the same grid.
  EXPECT_EQ(converter.Convert(block.data(), nullptr, kMaxBlockFrames, out.data(), nullptr), 568);
  EXPECT_EQ(converter.Convert(block.data(), nullptr, kMaxBlockFrames, out.data(), nullptr), 576);
  EXPECT_EQ(converter.Flush(out.data(), nullptr), 8);
  EXPECT_EQ(converter.Flush(out.data(), nullptr), 0);

  // A short first block yields nothing yet but still counts as input.
  ASSERT_TRUE(converter.Configure(44100, 1, 16, 22050, 1, 16));
  EXPECT_EQ(converter.Convert(block.data(), nullptr, 16, out.data(), nullptr), 0);
  EXPECT_EQ(converter.Convert(block.data(), nullptr, kMaxBlockFrames - 16, out.data(), nullptr), 568);

  EXPECT_FALSE(converter.Configure(0, 1, 16, 44100, 1, 16));
  EXPECT_FALSE(converter.Configure(44100, 3, 16, 44100, 2, 16));
  EXPECT_FALSE(converter.Configure(44100, 2, 24, 44100, 2, 16));
  EXPECT_EQ(converter.Convert(block.data(), nullptr, 16, out.data(), nullptr), 0);
}

struct QualityCase {
  int inRate, outRate;
  double aliasHz;  // a second input tone in the filter's stop band, or 0
};

void PrintTo(const QualityCase& c, std::ostream* os) { *os << c.inRate << " -> " << c.outRate; }

class SampleConverterQualityTest : public testing::TestWithParam<QualityCase> {};

// A 1 kHz tone comes out at its level and exactly in time (the converter has no delay), so
// the difference from the ideal tone holds timing errors, aliases, images and noise alike.
TEST_P(SampleConverterQualityTest, ToneSurvivesCleanly) {
  constexpr double kHz = 1000.0, kAmplitude = 12000.0;
  const auto [inRate, outRate, aliasHz] = GetParam();
  Stereo16 in{Samples16(inRate * 5 / 4), Samples16(inRate * 5 / 4, 0)};
  for (std::size_t i = 0; i < in.left.size(); ++i) {
    const double t = 2.0 * std::numbers::pi * static_cast<double>(i) / inRate;
    in.left[i] = static_cast<std::int16_t>(std::lround(kAmplitude * (std::sin(kHz * t) + std::sin(aliasHz * t))));
  }
  SampleConverter converter;
  ASSERT_TRUE(converter.Configure(inRate, 2, 16, outRate, 2, 16));
  const Stereo16 out = Stream(converter, in, {kMaxBlockFrames});
  EXPECT_TRUE(std::all_of(out.right.begin(), out.right.end(), [](std::int16_t v) { return v == 0; }));

  // Tenths of a second (whole periods) away from the ends; several, because with a
  // near-integral ratio the filter phase drifts slowly through its range.
  const int length = outRate / 10;
  ASSERT_GE(static_cast<int>(out.left.size()), outRate * 3 / 4 + length);
  double worstLevelDb = 0.0, worstResidualDb = -200.0;
  for (int start : {outRate / 4, outRate / 2, outRate * 3 / 4}) {
    double c = 0.0, s = 0.0, residual = 0.0;
    for (int i = start; i < start + length; ++i) {
      const double w = 2.0 * std::numbers::pi * kHz * i / outRate;
      c += out.left[i] * std::cos(w);
      s += out.left[i] * std::sin(w);
      residual += std::pow(out.left[i] - kAmplitude * std::sin(w), 2);
    }
    const double levelDb = 20.0 * std::log10(2.0 * std::hypot(c, s) / length / kAmplitude);
    if (std::abs(levelDb) > std::abs(worstLevelDb)) worstLevelDb = levelDb;
    worstResidualDb = std::max(worstResidualDb, 10.0 * std::log10(residual / length / (kAmplitude * kAmplitude / 2)));
  }
  RecordProperty("level_db", std::to_string(worstLevelDb));
  RecordProperty("residual_db", std::to_string(worstResidualDb));
  EXPECT_NEAR(worstLevelDb, 0.0, 0.1);
  EXPECT_LT(worstResidualDb, -60.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, SampleConverterQualityTest,
                         testing::Values(QualityCase{44100, 22050, 18000}, QualityCase{22050, 44100, 0},
                                         QualityCase{44100, 48000, 0}, QualityCase{48000, 44100, 0},
                                         QualityCase{22050, 32000, 0}, QualityCase{88199, 44100, 35000}),
                         [](const testing::TestParamInfo<QualityCase>& param) {
                           return std::to_string(param.param.inRate) + "To" + std::to_string(param.param.outRate);
                         });

// The output covers the whole source whatever the block sizes, and the result does not
// depend on how the source was cut into blocks.
TEST(SampleConverterTest, LengthAndContentIndependentOfBlocking) {
  const int rates[][2] = {{44100, 22050}, {22050, 44100}, {44100, 48000}, {8000, 44100},
                          {96000, 8000},  {44100, 32000}, {88199, 44100}};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-20000, 20000);
  for (const auto& [inRate, outRate] : rates) {
    for (int frames : {1, 15, 17, 1000, 4099}) {
      SCOPED_TRACE(testing::Message() << inRate << " -> " << outRate << ", " << frames << " frames");
      Stereo16 in;
      for (int i = 0; i < frames; ++i) {
        in.left.push_back(static_cast<std::int16_t>(sample(random)));
        in.right.push_back(static_cast<std::int16_t>(sample(random)));
      }
      SampleConverter whole, pieces;
      ASSERT_TRUE(whole.Configure(inRate, 2, 16, outRate, 2, 16));
      ASSERT_TRUE(pieces.Configure(inRate, 2, 16, outRate, 2, 16));
      const Stereo16 reference = Stream(whole, in, {frames});
      EXPECT_NEAR(static_cast<double>(reference.left.size()), static_cast<double>(frames) * outRate / inRate, 1.0);
      const Stereo16 cut = Stream(pieces, in, {1, 16, 3, 1152, 2500, 17});
      EXPECT_EQ(cut.left, reference.left);
      EXPECT_EQ(cut.right, reference.right);
    }
  }
}

// Input shaped to the signs of the half-rate filter's taps (sin(pi k / 2) / k: positive at
// k = 0, +-1, +-5, ...; negative at +-3, +-7, ...) drives the sum well past full scale.
TEST(SampleConverterTest, OvershootSaturates) {
  constexpr int kCentre = 100;
  auto shaped = [](int high, int low, int rest) {
    std::vector<int> x(300, rest);
    for (int k = -15; k <= 15; k += 2) x[kCentre + k] = ((std::abs(k) - 1) / 2) % 2 == 0 ? high : low;
    x[kCentre] = high;
    return x;
  };
  SampleConverter converter;
  for (const auto& [high, low] : {std::pair{32767, -32768}, std::pair{-32768, 32767}}) {
    const std::vector<int> x = shaped(high, low, 0);
    Samples16 in(x.begin(), x.end()), out(400);
    ASSERT_TRUE(converter.Configure(44100, 1, 16, 22050, 1, 16));
    converter.Convert(in.data(), nullptr, 300, out.data(), nullptr);
    EXPECT_EQ(out[kCentre / 2], high);
  }
  for (const auto& [high, low] : {std::pair{255, 0}, std::pair{0, 255}}) {
    const std::vector<int> x = shaped(high, low, 128);
    Samples8 in(x.begin(), x.end()), out(400);
    ASSERT_TRUE(converter.Configure(44100, 1, 8, 22050, 1, 8));
    converter.Convert(in.data(), nullptr, 300, out.data(), nullptr);
    EXPECT_EQ(out[kCentre / 2], high);
  }
}

TEST(SampleConverterTest, EightBitSilenceStaysSilent) {
  for (const auto& [inRate, outRate] : {std::pair{22050, 44100}, std::pair{44100, 22050}, std::pair{11025, 8000}}) {
    SampleConverter converter;
    ASSERT_TRUE(converter.Configure(inRate, 1, 8, outRate, 1, 8));
    const Samples8 silence(kMaxBlockFrames, 128);
    Samples8 out(converter.OutputCapacity(kMaxBlockFrames));
    const int got = converter.Convert(silence.data(), nullptr, kMaxBlockFrames, out.data(), nullptr);
    const int flushed = converter.Flush(out.data() + got, nullptr);
    ASSERT_GT(got, 0);
    ASSERT_GT(flushed, 0);
    for (int i = 0; i < got + flushed; ++i) ASSERT_EQ(out[i], 128) << inRate << " -> " << outRate << " at " << i;
  }
}

// Equal rates: only the channel count and width change, channels first.
TEST(SampleConverterTest, MixesChannelsAndChangesWidth) {
  SampleConverter converter;
  Samples16 out16(8), right16(8);
  Samples8 out8(8);
  const Samples16 left = {-3, 32767, -32768, 5, -5}, right = {0, 32767, -32768, 0, 0};
  ASSERT_TRUE(converter.Configure(44100, 2, 16, 44100, 1, 16));
  ASSERT_EQ(converter.Convert(left.data(), right.data(), 5, out16.data(), nullptr), 5);
  EXPECT_EQ(Samples16(out16.begin(), out16.begin() + 5), (Samples16{-1, 32767, -32768, 2, -2}));

  ASSERT_TRUE(converter.Configure(44100, 1, 16, 44100, 2, 16));
  ASSERT_EQ(converter.Convert(left.data(), nullptr, 5, out16.data(), right16.data()), 5);
  EXPECT_EQ(Samples16(right16.begin(), right16.begin() + 5), left);

  const Samples8 l8 = {255, 255, 0}, r8 = {0, 254, 1};
  ASSERT_TRUE(converter.Configure(44100, 2, 8, 44100, 1, 8));
  ASSERT_EQ(converter.Convert(l8.data(), r8.data(), 3, out8.data(), nullptr), 3);
  EXPECT_EQ(Samples8(out8.begin(), out8.begin() + 3), (Samples8{127, 254, 0}));

  const Samples8 bytes = {0, 127, 128, 129, 255};
  ASSERT_TRUE(converter.Configure(8000, 1, 8, 8000, 1, 16));
  ASSERT_EQ(converter.Convert(bytes.data(), nullptr, 5, out16.data(), nullptr), 5);
  EXPECT_EQ(Samples16(out16.begin(), out16.begin() + 5), (Samples16{-32768, -256, 0, 256, 32512}));

  const Samples16 words = {-32768, -257, -256, -1, 0, 255, 256, 32767};
  ASSERT_TRUE(converter.Configure(8000, 1, 16, 8000, 1, 8));
  ASSERT_EQ(converter.Convert(words.data(), nullptr, 8, out8.data(), nullptr), 8);
  EXPECT_EQ(out8, (Samples8{0, 126, 127, 127, 128, 128, 129, 255}));

  // Mixed in the source width: (200 + 57) / 2 = 128, which widens to 0.
  const Samples8 a = {200}, b = {57};
  ASSERT_TRUE(converter.Configure(8000, 2, 8, 8000, 1, 16));
  ASSERT_EQ(converter.Convert(a.data(), b.data(), 1, out16.data(), nullptr), 1);
  EXPECT_EQ(out16[0], 0);
}

}  // namespace
}  // namespace velmora
