#include "convert/gain.h"
#include "settings/conversion_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace velmora {
namespace {

using Samples16 = std::vector<std::int16_t>;
using Samples8 = std::vector<std::uint8_t>;

// Applies a coefficient to both channels of a stereo pair built from `samples`; checks that
// the two agree and returns the left.
template <typename Samples, typename Apply>
Samples Gain(Samples samples, int percent, Apply apply) {
  Samples right = samples;
  apply(samples.data(), right.data(), static_cast<int>(samples.size()), 2, GainFactor(percent));
  EXPECT_EQ(samples, right);
  return samples;
}

TEST(GainTest, SixteenBitTruncatesAndClipsSymmetrically) {
  EXPECT_EQ(Gain(Samples16{20000, -20000, -3, 3, 16383, -16384, 32767, -32768}, 200, ApplyGain16),
            (Samples16{32767, -32767, -6, 6, 32766, -32767, 32767, -32767}));
  EXPECT_EQ(Gain(Samples16{-3, 3, -1, 32767, -32768}, 50, ApplyGain16), (Samples16{-1, 1, 0, 16383, -16384}));
  // The single-precision factor for 10 % lies just below 0.1.
  EXPECT_EQ(Gain(Samples16{1000, -1000, 10}, 10, ApplyGain16), (Samples16{99, -99, 0}));
}

TEST(GainTest, EightBitWorksAroundSilence) {
  EXPECT_EQ(Gain(Samples8{200, 20, 129, 128, 127, 0, 255}, 200, ApplyGain8), (Samples8{255, 0, 130, 128, 126, 0, 255}));
  EXPECT_EQ(Gain(Samples8{127, 129, 0, 255}, 50, ApplyGain8), (Samples8{128, 128, 64, 191}));
}

TEST(GainTest, MonoLeavesRightAlone) {
  Samples16 left = {100, -100}, right = {100, -100};
  ApplyGain16(left.data(), right.data(), 2, 1, GainFactor(200));
  EXPECT_EQ(left, (Samples16{200, -200}));
  EXPECT_EQ(right, (Samples16{100, -100}));
  Samples8 l8 = {138}, r8 = {138};
  ApplyGain8(l8.data(), r8.data(), 1, 1, GainFactor(300));
  EXPECT_EQ(l8[0], 158);
  EXPECT_EQ(r8[0], 138);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(GainTest, FullResolutionClipsAtEachWidthsLimitsAndLeavesFloatsUnclipped) {
  using Ints = std::vector<std::int32_t>;
  Ints i24 = {4000000, -4000000, 5000000, -5000000, -3, 3};
  ApplyGainFull(i24.data(), i24.size(), 24, false, GainFactor(200));
  EXPECT_EQ(i24, (Ints{8000000, -8000000, 8388607, -8388608, -6, 6}));
  Ints i32 = {2147483647, -2147483647 - 1, 1000, -1001};
  ApplyGainFull(i32.data(), i32.size(), 32, false, GainFactor(50));
  EXPECT_EQ(i32, (Ints{1073741823, -1073741824, 500, -500}));
  ApplyGainFull(i32.data(), i32.size(), 32, false, GainFactor(3000));
  EXPECT_EQ(i32, (Ints{2147483647, -2147483647 - 1, 15000, -15000}));
  Ints i8 = {100, -100, 5};
  ApplyGainFull(i8.data(), i8.size(), 8, false, GainFactor(200));
  EXPECT_EQ(i8, (Ints{127, -128, 10}));

  std::vector<float> f32 = {0.75f, -0.75f, 3.0e38f};
  ApplyGainFull(f32.data(), f32.size(), 32, true, GainFactor(200));
  EXPECT_EQ(f32, (std::vector<float>{1.5f, -1.5f, std::numeric_limits<float>::max()}));
  std::vector<double> f64 = {0.5, -2.0};
  ApplyGainFull(f64.data(), f64.size(), 64, true, GainFactor(50));
  EXPECT_EQ(f64, (std::vector<double>{0.5 * static_cast<double>(GainFactor(50)), -2.0 * static_cast<double>(GainFactor(50))}));
}

}  // namespace
}  // namespace velmora
