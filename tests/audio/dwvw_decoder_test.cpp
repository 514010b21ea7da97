#include "audio/dwvw_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio/aiff_reader.h"
#include "support/aiff_builder.h"
#include "support/block_runner.h"

namespace velmora {
namespace {

using test::Bytes;
using Samples = std::vector<std::int16_t>;

test::Decoded Decode(int channels, int bits, const Bytes& sound) {
  SourceInfo info;
  info.channels = channels;
  info.bitsPerSample = bits;
  auto decoder = MakeDwvwDecoder(info);
  return test::DecodeBytes(*decoder, sound, channels > 1);
}

TEST(DwvwDecoderTest, DecodesHandMadeStreams) {
  // 0001 0 11 1: width modifier 3, positive, so delta width 3; delta 011 | 100 = 7, negative.
  test::Decoded out = Decode(1, 8, {0x17});
  EXPECT_EQ(out.left, Samples{-1792});
  EXPECT_TRUE(out.end);
  // Then 1 00 0: modifier 0, width still 3, delta +4. The four zero bits left start a sample
  // that the data cannot finish, so it is not delivered.
  out = Decode(1, 8, {0x17, 0x80});
  EXPECT_EQ(out.left, (Samples{-1792, -768}));
  EXPECT_TRUE(out.end);
  // 24 bits: 0x123456 in one step (modifier 3, negative, width 21) arrives as its top 16 bits.
  EXPECT_EQ(Decode(1, 24, {0x19, 0x1A, 0x2B, 0x00}).left, Samples{0x1234});
  // Width 8: 120, then +10 wraps to -126.
  EXPECT_EQ(Decode(1, 8, {0x7C, 0x06, 0x88}).left, (Samples{120 * 256, -126 * 256}));
  EXPECT_EQ(MakeDwvwDecoder(SourceInfo{.channels = 1, .bitsPerSample = 25}), nullptr);
}

// 0xFF bytes are one-bit samples (modifier 0, delta width 0): eight samples a byte. All of
// them arrive, however many blocks and refills the stream spans, and only the last call ends.
TEST(DwvwDecoderTest, DeliversEverySampleOfALongStream) {
  const Bytes sound(600, 0xFF);
  const test::Decoded out = Decode(1, 16, sound);
  EXPECT_EQ(out.framesPerCall, (std::vector<int>{1152, 1152, 1152, 1152, 192}));
  EXPECT_TRUE(out.end);
  EXPECT_TRUE(std::all_of(out.left.begin(), out.left.end(), [](int s) { return s == 0; }));
}

TEST(DwvwDecoderTest, ChannelsInterleaveInOneStream) {
  // 0100 then 10 pairs: the first sample steps to width 1 (+1), each "10" adds 1 more, so the
  // stream is the ramp 1, 2, 3, ... (23 samples).
  const Bytes ramp = {0x4A, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  test::Decoded out = Decode(6, 8, ramp);
  EXPECT_EQ(out.left, (Samples{1 * 256, 7 * 256, 13 * 256}));
  EXPECT_EQ(out.right, (Samples{4 * 256, 10 * 256, 16 * 256}));
  EXPECT_TRUE(out.end);
  out = Decode(4, 8, ramp);
  EXPECT_EQ(out.left, (Samples{1 * 256, 5 * 256, 9 * 256, 13 * 256, 17 * 256}));
  EXPECT_EQ(out.right, (Samples{2 * 256, 6 * 256, 10 * 256, 14 * 256, 18 * 256}));
  // Stereo with an odd sample count: the unpaired 23rd sample is dropped.
  out = Decode(2, 8, ramp);
  ASSERT_EQ(out.left.size(), 11u);
  EXPECT_EQ(out.right.back(), 22 * 256);
}

TEST(DwvwDecoderTest, ReaderDeliversTopSixteenBits) {
  test::AiffBuilder builder;
  builder.aifc = true;
  builder.compression = "DWVW";
  builder.bits = 24;
  builder.sound = {0x19, 0x1A, 0x2B, 0x00};
  const Bytes image = builder.Build();
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
  EXPECT_EQ(reader.Info().outputBits, 16);
  EXPECT_EQ(test::DecodeReader(reader).left, Samples{0x1234});
  builder.bits = 7;
  const Bytes narrow = builder.Build();
  EXPECT_FALSE(reader.OpenMemory(narrow.data(), narrow.size()));
}

}  // namespace
}  // namespace velmora
