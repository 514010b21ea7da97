#include "audio/ima4_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio/aiff_reader.h"
#include "support/aiff_builder.h"
#include "support/block_runner.h"

namespace velmora {
namespace {

using test::Bytes;
constexpr std::size_t kPacket = Ima4Decoder::kPacketBytes;

// A packet with the given header and every data byte set to `data`.
Bytes Packet(std::uint8_t header0, std::uint8_t header1, std::uint8_t data = 0) {
  Bytes packet(kPacket, data);
  packet[0] = header0;
  packet[1] = header1;
  return packet;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

test::Decoded Decode(int channels, const Bytes& sound) {
  SourceInfo info;
  info.channels = channels;
  auto decoder = MakeIma4Decoder(info);
  return test::DecodeBytes(*decoder, sound, channels > 1);
}

TEST(Ima4DecoderTest, CodesStepsAndLimits) {
  // From predictor 0, index 0 (step 7): code 7 adds 11 and moves to index 8 (step 16); code 15
  // then subtracts 2 + 4 + 8 + 16. The low nibble comes first.
  Bytes packet = Packet(0x00, 0x00);
  packet[2] = 0xF7;
  test::Decoded out = Decode(1, packet);
  ASSERT_EQ(out.left.size(), 64u);
  EXPECT_EQ(out.left[0], 11);
  EXPECT_EQ(out.left[1], -19);

  // Header index 127 is limited to 88 (step 32767): code 0 adds 4095 to -32768.
  EXPECT_EQ(Decode(1, Packet(0x80, 0x7F)).left[0], -28673);
  // Predictor 32640 at the largest step: the sum saturates instead of wrapping.
  EXPECT_EQ(Decode(1, Packet(0x7F, 0xD8, 0x04)).left[0], 32767);
  EXPECT_EQ(Decode(1, Packet(0x80, 0x58, 0x0C)).left[0], -32768);
}

TEST(Ima4DecoderTest, RunningStateOutlivesAgreeingHeaders) {
  // Packet 1 climbs to 20 and settles at index 0: 11 from code 7, then one step>>3 per code 0
  // while the index falls from 8 to 0 (2 + 1 * 7).
  Bytes first = Packet(0x00, 0x00);
  first[2] = 0x07;
  const Bytes agreeing = Packet(0x00, 0x00);    // predictor 0 is within 127 of 20
  const Bytes farAway = Packet(0x01, 0x00);     // predictor 256: the header wins
  const Bytes otherIndex = Packet(0x01, 0x01);  // index differs: the header wins
  const Bytes edge = Packet(0x01, 0x80);        // predictor 384 is exactly 127 from 257: kept
  const test::Decoded out = Decode(1, Concat({first, agreeing, farAway, otherIndex, edge}));
  ASSERT_EQ(out.left.size(), 5u * 64);
  EXPECT_EQ(out.left[63], 20);
  EXPECT_EQ(out.left[64], 20);  // a decoder restarting each packet would give 0
  EXPECT_EQ(out.left[127], 20);
  EXPECT_EQ(out.left[128], 256);
  // Index 1 (step 8) with code 0 adds 1 and falls to index 0.
  EXPECT_EQ(out.left[192], 257);
  EXPECT_EQ(out.left[256], 257);
}

TEST(Ima4DecoderTest, BlocksCarryOnePacketPerChannel) {
  // Channel c's packet holds predictor c * 256 and codes 0 at index 0, so it decodes flat.
  Bytes block;
  for (int c = 0; c < 6; ++c) {
    const Bytes packet = Packet(static_cast<std::uint8_t>(c), 0x00);
    block.insert(block.end(), packet.begin(), packet.end());
  }
  for (int channels : {2, 3, 4, 6}) {
    const Bytes sound(block.begin(), block.begin() + static_cast<long>(channels * kPacket));
    const test::Decoded out = Decode(channels, Concat({sound, sound}));
    ASSERT_EQ(out.framesPerCall, (std::vector<int>{64, 64})) << channels;
    EXPECT_TRUE(std::all_of(out.left.begin(), out.left.end(), [](int s) { return s == 0; }));
    const int expected = 256 * SecondDeliveredChannel(channels);
    EXPECT_TRUE(std::all_of(out.right.begin(), out.right.end(), [&](int s) { return s == expected; }))
        << channels;
  }
}

TEST(Ima4DecoderTest, OnlyWholeBlocksDecode) {
  test::AiffBuilder builder;
  builder.aifc = true;
  builder.compression = "ima4";
  builder.sound = Bytes(100, 0);
  const Bytes image = builder.Build();
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
  EXPECT_EQ(reader.Info().frames, 128u);  // whole packets only, as decoded
  const test::Decoded out = test::DecodeReader(reader);
  EXPECT_EQ(out.framesPerCall, (std::vector<int>{64, 64}));
  EXPECT_TRUE(out.end);

  // A stereo block needs all 68 bytes; 67 decode nothing.
  EXPECT_TRUE(Decode(2, Bytes(2 * kPacket - 1, 0)).framesPerCall.empty());
  EXPECT_TRUE(Decode(2, Bytes(2 * kPacket - 1, 0)).end);
  EXPECT_TRUE(Decode(2, Bytes(2 * kPacket, 0)).end);
}

}  // namespace
}  // namespace velmora
