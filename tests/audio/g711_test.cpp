#include "audio/g711.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/aiff_reader.h"
#include "support/aiff_builder.h"
#include "support/block_runner.h"

namespace velmora {
namespace {

TEST(G711Test, KnownCodes) {
  EXPECT_EQ(AlawToLinear(0xD5), 8);
  EXPECT_EQ(AlawToLinear(0x55), -8);
  EXPECT_EQ(AlawToLinear(0xAA), 32256);
  EXPECT_EQ(AlawToLinear(0x2A), -32256);
  EXPECT_EQ(AlawToLinear(0x80), 5504);
  EXPECT_EQ(AlawToLinear(0x00), -5504);
  EXPECT_EQ(UlawToLinear(0xFF), 0);
  EXPECT_EQ(UlawToLinear(0x7F), 0);
  EXPECT_EQ(UlawToLinear(0x80), 32124);
  EXPECT_EQ(UlawToLinear(0x00), -32124);
  EXPECT_EQ(UlawToLinear(0xD5), 716);
}

// The sign bit mirrors every code, A-law never yields 0, and within one sign the magnitudes
// grow as the (un-inverted) code grows: a wrong segment shift breaks one of these.
TEST(G711Test, WholeCodeSpaceIsSymmetricAndMonotonic) {
  int lastAlaw = 0;
  int lastUlaw = 32767;
  for (int code = 0x80; code <= 0xFF; ++code) {
    const auto c = static_cast<std::uint8_t>(code);
    const auto mirrored = static_cast<std::uint8_t>(code ^ 0x80);
    EXPECT_EQ(AlawToLinear(c), -AlawToLinear(mirrored)) << code;
    EXPECT_EQ(UlawToLinear(c), -UlawToLinear(mirrored)) << code;
    EXPECT_NE(AlawToLinear(c), 0) << code;
    EXPECT_LE(std::abs(AlawToLinear(c)), 32256);
    // A-law toggles the even bits, so walk its codes in the order of their un-toggled value.
    const int alaw = AlawToLinear(static_cast<std::uint8_t>(code ^ 0x55));
    EXPECT_GT(alaw, lastAlaw) << code;
    lastAlaw = alaw;
    EXPECT_LE(UlawToLinear(c), lastUlaw) << code;
    lastUlaw = UlawToLinear(c);
  }
}

TEST(G711Test, FilesDeliverTheRightChannels) {
  test::AiffBuilder alaw;
  alaw.aifc = true;
  alaw.channels = 2;
  alaw.compression = "alaw";
  alaw.sound = {0xD5, 0xAA, 0x55, 0x2A};
  const test::Bytes image = alaw.Build();
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
  EXPECT_EQ(reader.Info().outputBits, 16);
  test::Decoded out = test::DecodeReader(reader);
  EXPECT_EQ(out.left, (std::vector<std::int16_t>{8, -8}));
  EXPECT_EQ(out.right, (std::vector<std::int16_t>{32256, -32256}));

  test::AiffBuilder ulaw;
  ulaw.aifc = true;
  ulaw.channels = 6;
  ulaw.compression = "ULAW";
  ulaw.sound = {0x00, 0x7F, 0x7F, 0x80, 0x7F, 0x7F};
  const test::Bytes image6 = ulaw.Build();
  ASSERT_TRUE(reader.OpenMemory(image6.data(), image6.size()));
  out = test::DecodeReader(reader);
  EXPECT_EQ(out.left, std::vector<std::int16_t>{-32124});
  EXPECT_EQ(out.right, std::vector<std::int16_t>{32124});
  EXPECT_TRUE(out.end);
}

}  // namespace
}  // namespace velmora
