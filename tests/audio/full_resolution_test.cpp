// The full-resolution path of the compressed codes: written by peer programs, decoded by
// Velmora, and compared with libsndfile's decoding and with Velmora's 16-bit path.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

#include "audio/aiff_reader.h"
#include "support/block_runner.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::ShellQuote;

struct CodeCase {
  const char* name;
  int channels;
  const char* writer;  // {in}: a WAV signal, {out}: the AIFF it writes
  int fullBits;
  bool libsndfileReads;
};

std::string Fill(std::string command, const std::string& in, const std::string& out) {
  command.replace(command.find("{in}"), 4, ShellQuote(in));
  command.replace(command.find("{out}"), 5, ShellQuote(out));
  return command;
}

std::vector<std::int32_t> ReadFull(const std::string& path, SourceInfo& info) {
  AiffReader reader;
  if (!reader.Open(path)) return {};
  info = reader.Info();
  const auto channels = static_cast<std::size_t>(info.channels);
  std::vector<std::int32_t> samples, block(static_cast<std::size_t>(kMaxBlockFrames) * channels);
  bool end = false;
  while (!end) {
    const int frames = reader.ReadFullBlock(block.data(), end);
    if (frames <= 0) break;
    samples.insert(samples.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(frames * channels));
  }
  return samples;
}

TEST(FullResolutionTest, CompressedCodesDecodeEveryChannelAtTheirOwnWidth) {
  for (const char* program : {"sox", "sndfile-convert", "ffmpeg"}) {
    if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
  }
  const std::vector<CodeCase> cases = {
      {"ulaw", 6, "ffmpeg -v error -i {in} -c:a pcm_mulaw {out}", 16, true},
      {"alaw", 2, "sndfile-convert -alaw {in} {out}", 16, true},
      {"ima4", 2, "ffmpeg -v error -i {in} -c:a adpcm_ima_qt {out}", 16, false},
      {"GSM", 1, "sndfile-convert -gsm610 {in} {out}", 16, true},
      {"DWVW16", 1, "sndfile-convert -dwvw16 {in} {out}", 16, true},
      {"DWVW24", 1, "sndfile-convert -dwvw24 {in} {out}", 24, true},
  };
  test::TempDir dir;
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " x" + std::to_string(c.channels));
    const std::string signal = dir.File("signal.wav");
    const std::string file = dir.File(std::string(c.name) + std::to_string(c.channels) + ".aiff");
    ASSERT_EQ(test::RunCommand("sox -R -n -r 8000 -c " + std::to_string(c.channels) + " -b 32 " + ShellQuote(signal) +
                               " synth 0.5 sine 440 synth whitenoise mix gain -3 2>/dev/null"),
              0);
    ASSERT_EQ(test::RunCommand(Fill(c.writer, signal, file)), 0);

    SourceInfo info;
    const std::vector<std::int32_t> full = ReadFull(file, info);
    ASSERT_EQ(info.fullBits, c.fullBits);
    ASSERT_FALSE(info.fullFloat);
    const auto channels = static_cast<std::size_t>(c.channels);
    ASSERT_GT(full.size(), 1000u);
    ASSERT_EQ(full.size() % channels, 0u);

    // The channels the 16-bit path delivers are the full samples' top 16 bits.
    AiffReader reader;
    ASSERT_TRUE(reader.Open(file));
    const test::Decoded narrow = test::DecodeReader(reader);
    ASSERT_EQ(narrow.left.size(), full.size() / channels);
    const std::size_t second = static_cast<std::size_t>(SecondDeliveredChannel(c.channels));
    for (std::size_t i = 0; i < narrow.left.size(); ++i) {
      ASSERT_EQ(narrow.left[i], full[i * channels] >> (c.fullBits - 16)) << "frame " << i;
      if (channels > 1) {
        ASSERT_EQ(narrow.right[i], full[i * channels + second] >> (c.fullBits - 16)) << "frame " << i;
      }
    }

    if (!c.libsndfileReads) continue;
    SF_INFO peerInfo{};
    SNDFILE* peer = sf_open(file.c_str(), SFM_READ, &peerInfo);
    ASSERT_NE(peer, nullptr);
    std::vector<int> expected(static_cast<std::size_t>(peerInfo.frames * peerInfo.channels));
    const sf_count_t read = sf_read_int(peer, expected.data(), static_cast<sf_count_t>(expected.size()));
    sf_close(peer);
    expected.resize(static_cast<std::size_t>(read));
    for (int& sample : expected) sample >>= 32 - c.fullBits;
    // DWVW runs on through the few flush samples the writer appends; libsndfile stops at the
    // COMM frame count.
    ASSERT_GE(full.size(), expected.size());
    EXPECT_LE(full.size(), expected.size() + 16 * channels);
    EXPECT_EQ(std::vector<std::int32_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              std::vector<std::int32_t>(expected.begin(), expected.end()));
  }
}

}  // namespace
}  // namespace velmora
