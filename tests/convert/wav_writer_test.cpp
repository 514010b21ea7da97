#include "convert/wav_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/outcome_text.h"
#include "platform/system_calls.h"
#include "support/temp_dir.h"
#include "support/test_output.h"

namespace velmora {
namespace {

using cli::ReasonText;

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(WavWriterTest, StereoSixteenBitHeaderAndInterleaving) {
  test::TempDir dir;
  test::TestOutput out(dir.File("out.wav"));
  const std::string& path = out.path;
  WavWriter writer;
  ASSERT_TRUE(writer.Open(out.file, true, 16, 44100));
  std::vector<std::int16_t> left(1000), right(1000);
  for (int i = 0; i < 1000; ++i) {
    left[i] = static_cast<std::int16_t>(i - 500);
    right[i] = static_cast<std::int16_t>(-i * 30);
  }
  ASSERT_TRUE(writer.Write16(left.data(), right.data(), 600));
  ASSERT_TRUE(writer.Write16(left.data() + 600, right.data() + 600, 400));
  ASSERT_TRUE(writer.Close());
  ASSERT_TRUE(out.Publish());

  const auto bytes = test::ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 4044u);
  EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
  EXPECT_EQ(Le32(bytes, 4), 4036u);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(Le32(bytes, 16), 16u);
  EXPECT_EQ(Le16(bytes, 20), 1);       // PCM
  EXPECT_EQ(Le16(bytes, 22), 2);       // channels
  EXPECT_EQ(Le32(bytes, 24), 44100u);  // rate
  EXPECT_EQ(Le32(bytes, 28), 176400u); // byte rate
  EXPECT_EQ(Le16(bytes, 32), 4);       // block align
  EXPECT_EQ(Le16(bytes, 34), 16);
  EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
  EXPECT_EQ(Le32(bytes, 40), 4000u);
  for (int i : {0, 599, 600, 999}) {
    EXPECT_EQ(static_cast<std::int16_t>(Le16(bytes, 44 + 4 * i)), left[i]);
    EXPECT_EQ(static_cast<std::int16_t>(Le16(bytes, 46 + 4 * i)), right[i]);
  }
}

TEST(WavWriterTest, EightBitMonoOddLengthAndEmptyFiles) {
  test::TempDir dir;
  {
    test::TestOutput out(dir.File("a.wav"));
    WavWriter writer;
    ASSERT_TRUE(writer.Open(out.file, false, 8, 11025));
    const std::uint8_t samples[3] = {0, 128, 255};
    ASSERT_TRUE(writer.Write8(samples, nullptr, 3));
    ASSERT_TRUE(writer.Close());
    ASSERT_TRUE(out.Publish());
    const auto bytes = test::ReadFileBytes(dir.File("a.wav"));
    ASSERT_EQ(bytes.size(), 47u);  // no pad byte after odd data
    EXPECT_EQ(Le32(bytes, 28), 11025u);
    EXPECT_EQ(Le16(bytes, 32), 1);
    EXPECT_EQ(Le32(bytes, 40), 3u);
    EXPECT_EQ(bytes[46], 255);
  }
  {
    test::TestOutput out(dir.File("empty.wav"));
    WavWriter writer;
    ASSERT_TRUE(writer.Open(out.file, true, 16, 48000));
    ASSERT_TRUE(writer.Close());
    ASSERT_TRUE(out.Publish());
    const auto bytes = test::ReadFileBytes(dir.File("empty.wav"));
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(Le32(bytes, 4), 36u);
    EXPECT_EQ(Le32(bytes, 40), 0u);
  }
}

// A disk that fills up after `budget` bytes.
std::size_t g_budget = 0;
ssize_t FullDiskWrite(int fd, const void* data, std::size_t size) {
  if (g_budget == 0) {
    errno = ENOSPC;
    return -1;
  }
  const std::size_t n = std::min(size, g_budget);  // a short write first, then ENOSPC
  g_budget -= n;
  return ::write(fd, data, n);
}

TEST(WavWriterTest, FullDiskAndImpossibleFormatsAreReported) {
  test::TempDir dir;
  {
    test::TestOutput out(dir.File("full.wav"));
    g_budget = 100000;
    SystemCalls calls = Sys();
    calls.write = FullDiskWrite;
    const SystemCalls previous = SetSystemCallsForTesting(calls);
    WavWriter writer;
    bool ok = writer.Open(out.file, true, 16, 44100);
    std::vector<std::int16_t> block(1152, 7);
    for (int i = 0; i < 200 && ok; ++i) ok = writer.Write16(block.data(), block.data(), 1152);
    const bool closed = writer.Close();
    SetSystemCallsForTesting(previous);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(closed);
    EXPECT_EQ(ReasonText(writer.Failure()), "cannot write output: No space left on device");
  }
  // The byte rate is reckoned in 64 bits (134,217,728 Hz stereo 16-bit is 2^29 bytes a second,
  // not 0), and one that does not fit the header's 32 bits is refused before anything is written.
  test::TestOutput fast(dir.File("fast.wav"));
  WavWriter writer;
  ASSERT_TRUE(writer.Open(fast.file, true, 16, 134217728));
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(Le32(test::ReadFileBytes(fast.file.TemporaryPath()), 28), 536870912u);
  test::TestOutput faster(dir.File("faster.wav"));
  WavWriter refusing;
  EXPECT_FALSE(refusing.Open(faster.file, true, 16, 2147483647));
  EXPECT_EQ(ReasonText(refusing.Failure()), "sample rate 2147483647 Hz is too high for a WAV header");
  EXPECT_EQ(faster.file.Size(), 0u);
}

}  // namespace
}  // namespace velmora
