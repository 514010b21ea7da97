#include "audio/float_decoders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/aiff_reader.h"
#include "support/aiff_builder.h"
#include "support/block_runner.h"

namespace velmora {
namespace {

using test::AiffBuilder;
using test::Bytes;

TEST(FloatDecodersTest, ScalesTruncatesAndClips) {
  // In range: scaled by 2^31 - 1, truncated, then floored by the shift.
  EXPECT_EQ(FloatToSample16(1.0), 32767);
  EXPECT_EQ(FloatToSample16(-1.0), -32768);
  EXPECT_EQ(FloatToSample16(0.5), 16383);
  EXPECT_EQ(FloatToSample16(-0.5), -16384);
  EXPECT_EQ(FloatToSample16(-1e-9), -1);
  EXPECT_EQ(FloatToSample16(0.0), 0);
  EXPECT_EQ(FloatToSample16(0.99999994), 32767);
  // Out of range and non-finite values clip rather than wrap.
  EXPECT_EQ(FloatToSample16(1.5), 32767);
  EXPECT_EQ(FloatToSample16(-2.0), -32768);
  EXPECT_EQ(FloatToSample16(1e300), 32767);
  EXPECT_EQ(FloatToSample16(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(FloatToSample16(-std::numeric_limits<double>::infinity()), -32768);
  EXPECT_EQ(FloatToSample16(std::nan("")), 0);
}

TEST(FloatDecodersTest, ReadsBigEndianFilesOfBothWidths) {
  AiffBuilder fl32;
  fl32.aifc = true;
  fl32.compression = "fl32";
  fl32.sound = {0x3F, 0x80, 0, 0, 0xBF, 0x80, 0, 0, 0, 0, 0, 0, 0x7F, 0xC0, 0, 0, 0x3F, 0xC0, 0, 0};
  const Bytes image = fl32.Build();
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
  EXPECT_EQ(reader.Info().bitsPerSample, 32);
  test::Decoded out = test::DecodeReader(reader);
  EXPECT_EQ(out.left, (std::vector<std::int16_t>{32767, -32768, 0, 0, 32767}));
  EXPECT_TRUE(out.end);

  // Stereo fl64 whose last frame is cut short: the whole frame decodes, the fragment does not.
  AiffBuilder fl64;
  fl64.aifc = true;
  fl64.channels = 2;
  fl64.compression = "FL64";
  fl64.sound = {0x3F, 0xE0, 0, 0, 0, 0, 0, 0, 0xBF, 0xE0, 0, 0, 0, 0, 0, 0, 0x3F, 0xE0, 0, 0};
  const Bytes image64 = fl64.Build();
  ASSERT_TRUE(reader.OpenMemory(image64.data(), image64.size()));
  out = test::DecodeReader(reader);
  EXPECT_EQ(out.left, std::vector<std::int16_t>{16383});
  EXPECT_EQ(out.right, std::vector<std::int16_t>{-16384});
  EXPECT_FALSE(out.end);
}

}  // namespace
}  // namespace velmora
