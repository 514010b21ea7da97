#include "audio/aiff_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::AiffBuilder;
using test::Bytes;

struct Blocks {
  std::array<std::int16_t, kMaxBlockFrames> left{};
  std::array<std::int16_t, kMaxBlockFrames> right{};
};

// The smallest useful AIFF: one channel, two 16-bit frames, full scale up and down.
const Bytes kMinimalAiff = {
    'F', 'O', 'R', 'M', 0, 0, 0, 50, 'A', 'I', 'F', 'F',
    'C', 'O', 'M', 'M', 0, 0, 0, 18,
    0, 1,              // channels
    0, 0, 0, 2,        // frames
    0, 16,             // sample size
    0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0,  // 44100 Hz
    'S', 'S', 'N', 'D', 0, 0, 0, 12,
    0, 0, 0, 0, 0, 0, 0, 0,  // offset, block size
    0x7F, 0xFF, 0x80, 0x00,
};

TEST(AiffReaderTest, MinimalFileOpensAndDecodes) {
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(kMinimalAiff.data(), kMinimalAiff.size()));
  const SourceInfo& info = reader.Info();
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.outputChannels, 1);
  EXPECT_EQ(info.frames, 2);
  EXPECT_EQ(info.sampleRate, 44100);
  EXPECT_EQ(info.outputBits, 16);
  Blocks b;
  bool end = false;
  ASSERT_EQ(reader.ReadBlock(b.left.data(), nullptr, end), 2);
  EXPECT_TRUE(end);
  EXPECT_EQ(b.left[0], 32767);
  EXPECT_EQ(b.left[1], -32768);
}

}  // namespace
}  // namespace velmora
