#include "audio/gsm_decoder.h"

#include <gsm.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <vector>

#include "audio/aiff_reader.h"
#include "support/aiff_builder.h"
#include "support/block_runner.h"

namespace velmora {
namespace {

using test::Bytes;
constexpr int kSamples = GsmDecoder::kFrameSamples;

// `frames` GSM frames of a wobbling tone, encoded by libgsm, and the samples that a fresh
// libgsm decoder makes of them: the stream our decoder must deal out to channels.
struct GsmStream {
  Bytes bytes;
  std::vector<std::int16_t> samples;
};

GsmStream Encode(int frames) {
  GsmStream out;
  gsm encoder = gsm_create();
  gsm decoder = gsm_create();
  std::vector<gsm_signal> pcm(kSamples);
  std::vector<gsm_signal> decoded(kSamples);
  gsm_frame frame;
  for (int f = 0; f < frames; ++f) {
    for (int i = 0; i < kSamples; ++i) {
      const double t = f * kSamples + i;
      pcm[static_cast<std::size_t>(i)] = static_cast<gsm_signal>(9000 * std::sin(t / 7) + 3000 * std::sin(t / 2.3));
    }
    gsm_encode(encoder, pcm.data(), frame);
    out.bytes.insert(out.bytes.end(), frame, frame + GsmDecoder::kFrameBytes);
    gsm_decode(decoder, frame, decoded.data());
    out.samples.insert(out.samples.end(), decoded.begin(), decoded.end());
  }
  gsm_destroy(encoder);
  gsm_destroy(decoder);
  return out;
}

test::Decoded Decode(int channels, const Bytes& sound) {
  SourceInfo info;
  info.channels = channels;
  auto decoder = MakeGsmDecoder(info);
  return test::DecodeBytes(*decoder, sound, channels > 1);
}

TEST(GsmDecoderTest, MonoDeliversWholeFrames) {
  const GsmStream stream = Encode(100);
  test::AiffBuilder builder;
  builder.aifc = true;
  builder.compression = "GSM ";
  builder.sound = stream.bytes;
  const Bytes image = builder.Build();
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
  EXPECT_EQ(reader.Info().frames, 16000);
  const test::Decoded out = test::DecodeReader(reader);
  EXPECT_EQ(out.framesPerCall, std::vector<int>(100, kSamples));
  EXPECT_TRUE(out.end);
  EXPECT_EQ(out.left, stream.samples);
}

TEST(GsmDecoderTest, ChannelsShareOneInterleavedStream) {
  const GsmStream stream = Encode(7);
  for (int channels : {2, 3, 4, 6}) {
    const test::Decoded out = Decode(channels, stream.bytes);
    const std::size_t frames = stream.samples.size() / static_cast<std::size_t>(channels);
    ASSERT_EQ(out.left.size(), frames) << channels;
    const auto second = static_cast<std::size_t>(SecondDeliveredChannel(channels));
    for (std::size_t i = 0; i < frames; ++i) {
      const std::size_t base = i * static_cast<std::size_t>(channels);
      ASSERT_EQ(out.left[i], stream.samples[base]) << channels << " frame " << i;
      ASSERT_EQ(out.right[i], stream.samples[base + second]) << channels << " frame " << i;
    }
    EXPECT_TRUE(out.end);
  }
  // Leftover samples carry over: three channels give 53, 53, 54 frames from 160 samples each.
  EXPECT_EQ(Decode(3, stream.bytes).framesPerCall, (std::vector<int>{53, 53, 54, 53, 53, 54, 53}));
}

TEST(GsmDecoderTest, DamagedFrameIsSilenceAndShortFrameEndsTheStream) {
  GsmStream stream = Encode(3);
  const test::Decoded whole = Decode(1, stream.bytes);
  stream.bytes[GsmDecoder::kFrameBytes] = 0x2C;  // second frame: signature nibble 2
  test::Decoded out = Decode(1, stream.bytes);
  EXPECT_EQ(out.framesPerCall, (std::vector<int>{kSamples, kSamples, kSamples}));
  EXPECT_TRUE(out.end);
  EXPECT_TRUE(std::all_of(out.left.begin() + kSamples, out.left.begin() + 2 * kSamples, [](int s) { return s == 0; }));
  EXPECT_TRUE(std::equal(out.left.begin(), out.left.begin() + kSamples, whole.left.begin()));

  stream = Encode(2);
  stream.bytes.resize(GsmDecoder::kFrameBytes + 32);
  out = Decode(1, stream.bytes);
  EXPECT_EQ(out.framesPerCall, std::vector<int>{kSamples});
  EXPECT_TRUE(out.end);
}

}  // namespace
}  // namespace velmora
