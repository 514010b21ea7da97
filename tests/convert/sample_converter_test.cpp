#include "convert/sample_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "audio/source_info.h"

namespace velmora {
namespace {

using Samples16 = std::vector<std::int16_t>;
using Samples8 = std::vector<std::uint8_t>;

struct Stereo16 {
  Samples16 left, right;
};

// Feeds `in` through `converter` in blocks of the given sizes (cycling), then flushes. No call
// may write beyond the capacity the converter promised for its block.
Stereo16 Stream(SampleConverter& converter, const Stereo16& in, const std::vector<int>& blocks) {
  Stereo16 out;
  Samples16 left(converter.OutputCapacity(*std::max_element(blocks.begin(), blocks.end()))), right(left.size());
  auto keep = [&](int got, int capacity) {
    EXPECT_LE(got, capacity);
    out.left.insert(out.left.end(), left.begin(), left.begin() + got);
    out.right.insert(out.right.end(), right.begin(), right.begin() + got);
  };
  const int frames = static_cast<int>(in.left.size());
  for (int done = 0, which = 0; done < frames; ++which) {
    const int n = std::min(blocks[which % blocks.size()], frames - done);
    keep(converter.Convert(&in.left[done], &in.right[done], n, left.data(), right.data()), converter.OutputCapacity(n));
    done += n;
  }
  keep(converter.Flush(left.data(), right.data()), converter.OutputCapacity(0));
  return out;
}

// -6 dBFS sines, rounded to 16 bits.
constexpr double kAmplitude = 16384.0;

Samples16 Sine(int rate, double hz, int frames) {
  Samples16 out(frames);
  for (int i = 0; i < frames; ++i) {
    out[i] = static_cast<std::int16_t>(std::lround(kAmplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate)));
  }
  return out;
}

Samples16 Resample(int inRate, int outRate, const Samples16& in) {
  SampleConverter converter;
  EXPECT_TRUE(converter.Configure(inRate, 1, 16, outRate, 1, 16));
  return Stream(converter, {in, in}, {kMaxBlockFrames}).left;
}

struct ToneFit {
  double levelDb;     // fitted amplitude against kAmplitude
  double phase;       // of the fitted sine, radians; 0 when the output is in time with the input
  double residualDb;  // what the fit leaves (images, aliases, noise) against the tone's power
};

// Least-squares fit of a sine at `hz` to the middle of `x`, away from the ends' transients.
ToneFit FitTone(const Samples16& x, int rate, double hz) {
  const std::size_t from = x.size() / 8, to = x.size() - x.size() / 8;
  double cc = 0, ss = 0, cs = 0, xc = 0, xs = 0;
  for (std::size_t i = from; i < to; ++i) {
    const double w = 2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate;
    const double c = std::cos(w), s = std::sin(w);
    cc += c * c, ss += s * s, cs += c * s, xc += x[i] * c, xs += x[i] * s;
  }
  const double det = cc * ss - cs * cs;
  const double a = (xc * ss - xs * cs) / det, b = (xs * cc - xc * cs) / det;  // x ~ a cos + b sin
  double residual = 0;
  for (std::size_t i = from; i < to; ++i) {
    const double w = 2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate;
    residual += std::pow(x[i] - a * std::cos(w) - b * std::sin(w), 2);
  }
  const double power = (a * a + b * b) / 2;
  return {20.0 * std::log10(std::hypot(a, b) / kAmplitude), std::atan2(a, b),
          10.0 * std::log10(residual / static_cast<double>(to - from) / power)};
}

double RmsDb(const Samples16& x) {
  const std::size_t from = x.size() / 8, to = x.size() - x.size() / 8;
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
  return 10.0 * std::log10(std::max(sum / static_cast<double>(to - from), 1e-30));
}

const int kRatePairs[][2] = {{44100, 22050}, {22050, 44100}, {44100, 48000}, {48000, 44100},
                             {22050, 32000}, {88199, 44100}, {44100, 8000},  {8000, 44100}};

// Tones up to 0.9 of the lower Nyquist frequency keep their level and their time, and nothing
// else comes out with them: no images, no aliases, nothing above the 16-bit rounding.
TEST(SampleConverterQualityTest, PassbandIsFlatCleanAndInTime) {
  for (const auto& [inRate, outRate] : kRatePairs) {
    const double nyquist = std::min(inRate, outRate) / 2.0;
    for (double fraction : {0.05, 0.5, 0.9}) {
      const double hz = fraction * nyquist;
      SCOPED_TRACE(testing::Message() << inRate << " -> " << outRate << " at " << hz << " Hz");
      const Samples16 out = Resample(inRate, outRate, Sine(inRate, hz, inRate / 2));
      const ToneFit fit = FitTone(out, outRate, hz);
      RecordProperty(testing::PrintToString(std::array{inRate, outRate, static_cast<int>(hz)}),
                     testing::PrintToString(std::array{fit.levelDb, fit.residualDb}));
      EXPECT_NEAR(fit.levelDb, 0.0, 0.1);
      EXPECT_NEAR(fit.phase, 0.0, 0.001);
      EXPECT_LT(fit.residualDb, -85.0);
    }
  }
}

// A tone above the lower Nyquist frequency must vanish instead of folding back into the band.
TEST(SampleConverterQualityTest, StopbandIsRemoved) {
  const struct {
    int inRate, outRate;
    double hz;
  } cases[] = {{44100, 22050, 12000}, {44100, 22050, 20000}, {48000, 44100, 22500}, {44100, 32000, 17000},
               {88199, 44100, 30000}, {44100, 8000, 4200},   {96000, 22050, 40000}};
  for (const auto& [inRate, outRate, hz] : cases) {
    SCOPED_TRACE(testing::Message() << inRate << " -> " << outRate << " at " << hz << " Hz");
    const Samples16 in = Sine(inRate, hz, inRate / 2);
    const double attenuation = RmsDb(in) - RmsDb(Resample(inRate, outRate, in));
    RecordProperty(testing::PrintToString(std::array{inRate, outRate, static_cast<int>(hz)}), std::to_string(attenuation));
    EXPECT_GE(attenuation, 85.0);
  }
}

// The output is ceil(N * outRate / inRate) frames for N input frames, and its content does not
// depend on how the source was cut into blocks. Float samples take the same path unrounded.
TEST(SampleConverterTest, LengthAndContentIndependentOfBlocking) {
  const int rates[][2] = {{44100, 22050}, {22050, 44100}, {44100, 48000}, {8000, 44100},  {96000, 8000},
                          {44100, 32000}, {88199, 44100}, {8000, 96000},  {192000, 1000}, {100, 102400},
                          {1024000, 1000}};
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
      const std::int64_t expected = (static_cast<std::int64_t>(frames) * outRate + inRate - 1) / inRate;
      EXPECT_EQ(static_cast<std::int64_t>(reference.left.size()), expected);
      const Stereo16 cut = Stream(pieces, in, {1, 16, 3, 1152, 2500, 17});
      EXPECT_EQ(cut.left, reference.left);
      EXPECT_EQ(cut.right, reference.right);
      SampleConverter floats;
      constexpr int kFloat = SampleConverter::kFloatBits;
      ASSERT_TRUE(floats.Configure(inRate, 2, kFloat, outRate, 2, kFloat));
      const std::vector<float> inLeft(in.left.begin(), in.left.end()), inRight(in.right.begin(), in.right.end());
      std::vector<float> outLeft(static_cast<std::size_t>(floats.OutputCapacity(frames))), outRight(outLeft.size());
      int made = floats.Convert(inLeft.data(), inRight.data(), frames, outLeft.data(), outRight.data());
      made += floats.Flush(outLeft.data() + made, outRight.data() + made);
      ASSERT_EQ(made, expected);
      // The 16-bit stream is the float one rounded, its overshoot saturated.
      auto saturated = [](float v) { return std::clamp(v, -32768.0f, 32767.0f); };
      for (std::size_t i = 0; i < static_cast<std::size_t>(made); ++i) {
        ASSERT_NEAR(saturated(outLeft[i]), reference.left[i], 0.5001) << i;
        ASSERT_NEAR(saturated(outRight[i]), reference.right[i], 0.5001) << i;
      }
      // Flush ends the stream: nothing more comes out, and no more goes in.
      Samples16 left(pieces.OutputCapacity(16)), right(left.size());
      EXPECT_EQ(pieces.Flush(left.data(), right.data()), 0);
      EXPECT_EQ(pieces.Convert(in.left.data(), in.right.data(), 1, left.data(), right.data()), 0);
    }
  }
  SampleConverter converter;
  EXPECT_FALSE(converter.Configure(0, 1, 16, 44100, 1, 16));
  EXPECT_FALSE(converter.Configure(44100, 3, 16, 44100, 2, 16));
  EXPECT_FALSE(converter.Configure(44100, 2, 24, 44100, 2, 16));
  EXPECT_FALSE(converter.Configure(44100, 2, SampleConverter::kFloatBits, 44100, 2, 16));
  EXPECT_FALSE(converter.Configure(8000, 1, 16, 8000 * SampleConverter::kMaxUpsampling + 1, 1, 16));
  // Ending a stream takes work in proportion to the ratio: a header's absurd rate is refused
  // instead of costing minutes.
  EXPECT_FALSE(converter.Configure(1000 * SampleConverter::kMaxDownsampling + 1, 1, 16, 1000, 1, 16));
  EXPECT_FALSE(converter.Configure(2147483647, 1, 16, 1000, 1, 16));
  EXPECT_FALSE(converter.IsConfigured());
}

// A cancel stops the flush: what the filter still holds back is not worked out.
TEST(SampleConverterTest, FlushStopsOnCancel) {
  const Samples16 in = Sine(44100, 440, 1000);
  Samples16 left(4096), right(4096);
  for (const bool cancelled : {false, true}) {
    SampleConverter converter;
    ASSERT_TRUE(converter.Configure(44100, 1, 16, 48000, 1, 16));
    const int converted = converter.Convert(in.data(), nullptr, 1000, left.data(), right.data());
    const std::atomic<bool> cancel{cancelled};
    const int flushed = converter.Flush(left.data(), right.data(), &cancel);
    EXPECT_EQ(converted + flushed, cancelled ? converted : 1089) << cancelled;
  }
}

// A full-scale square wave rings past full scale after band-limiting: the overshoot saturates
// instead of wrapping to the other sign, in both widths.
TEST(SampleConverterTest, OvershootSaturates) {
  constexpr int kInRate = 44100, kOutRate = 22050, kPeriod = 441;  // 100 Hz
  for (int bits : {16, 8}) {
    SCOPED_TRACE(bits);
    const int hi = bits == 16 ? 32767 : 255, lo = bits == 16 ? -32768 : 0;
    std::vector<int> wave(kInRate / 2);
    for (std::size_t i = 0; i < wave.size(); ++i) wave[i] = (i % kPeriod) < kPeriod / 2 ? hi : lo;
    SampleConverter converter;
    ASSERT_TRUE(converter.Configure(kInRate, 1, bits, kOutRate, 1, bits));
    std::vector<int> out;
    if (bits == 16) {
      Samples16 in(wave.begin(), wave.end()), got(converter.OutputCapacity(static_cast<int>(in.size())));
      const int n = converter.Convert(in.data(), nullptr, static_cast<int>(in.size()), got.data(), nullptr);
      out.assign(got.begin(), got.begin() + n);
    } else {
      Samples8 in(wave.begin(), wave.end()), got(converter.OutputCapacity(static_cast<int>(in.size())));
      const int n = converter.Convert(in.data(), nullptr, static_cast<int>(in.size()), got.data(), nullptr);
      out.assign(got.begin(), got.begin() + n);
    }
    ASSERT_GT(out.size(), 10000u);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), hi);
    EXPECT_EQ(*std::min_element(out.begin(), out.end()), lo);
    // Every output lies on its plateau's side of the middle, the edges' first samples aside.
    const int middle = (hi + lo) / 2, edge = 4;
    for (std::size_t i = 0; i < out.size(); ++i) {
      const int phase = static_cast<int>(2 * i % kPeriod);  // in input samples
      if (phase < edge || std::abs(phase - kPeriod / 2) < edge || phase > kPeriod - edge) continue;
      ASSERT_EQ(out[i] > middle, phase < kPeriod / 2) << "at " << i << ": " << out[i];
    }
  }
}

TEST(SampleConverterTest, EightBitSilenceStaysSilent) {
  constexpr int kBlocks = 4;
  for (const auto& [inRate, outRate] : {std::pair{22050, 44100}, std::pair{44100, 22050}, std::pair{11025, 8000}}) {
    SCOPED_TRACE(testing::Message() << inRate << " -> " << outRate);
    SampleConverter converter;
    ASSERT_TRUE(converter.Configure(inRate, 1, 8, outRate, 1, 8));
    const Samples8 silence(kMaxBlockFrames, 128);
    Samples8 out, block(converter.OutputCapacity(kMaxBlockFrames));
    for (int i = 0; i <= kBlocks; ++i) {
      const int got = i < kBlocks ? converter.Convert(silence.data(), nullptr, kMaxBlockFrames, block.data(), nullptr)
                                  : converter.Flush(block.data(), nullptr);
      out.insert(out.end(), block.begin(), block.begin() + got);
    }
    EXPECT_EQ(static_cast<int>(out.size()), (kBlocks * kMaxBlockFrames * outRate + inRate - 1) / inRate);
    EXPECT_EQ(std::count(out.begin(), out.end(), 128), static_cast<std::ptrdiff_t>(out.size()));
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
