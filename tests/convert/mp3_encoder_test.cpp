#include "convert/mp3_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "audio/source_info.h"
#include "platform/system_calls.h"
#include "settings/converter_settings.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::HaveProgram;
using test::ReadFileBytes;
using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

constexpr int kFrameSamples = 1152;
constexpr int kHalfFrameSamples = 576;  // MPEG-2 and 2.5 Layer III frames
constexpr double kAmplitude = 10000.0;
constexpr double kLeftHz = 440.0;
constexpr double kRightHz = 1000.0;
constexpr int kHeaderModeMono = 3;  // header bits: stereo 00, joint 01, dual 10, mono 11

struct Source {
  int rate = 44100;
  std::vector<std::int16_t> left;
  std::vector<std::int16_t> right;
};

// Different tones left and right, with a little deterministic noise so that every frame has
// something to code.
Source MakeSource(int rate, int frames) {
  Source s;
  s.rate = rate;
  std::uint32_t seed = 12345;
  for (int i = 0; i < frames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 24) - 128.0;
    const double t = static_cast<double>(i) / rate;
    s.left.push_back(static_cast<std::int16_t>(std::lround(kAmplitude * std::sin(2 * std::numbers::pi * kLeftHz * t) + noise)));
    s.right.push_back(static_cast<std::int16_t>(std::lround(kAmplitude * std::sin(2 * std::numbers::pi * kRightHz * t) - noise)));
  }
  return s;
}

struct Settings {
  int channels = 2;
  int bitRate = 128;
  int outRate = 44100;
  int mode = kMp3ModeJointStereo;
};

// Encodes `source` block by block into a new file at `path`; returns Close()'s result.
bool EncodeFile(const std::string& path, const Source& source, const Settings& settings,
                const Id3Block* tag = nullptr) {
  OutputFile file;
  if (file.CreateNew(path) != OutputFile::CreateResult::Created) return false;
  Mp3Encoder encoder;
  if (!encoder.Open(std::move(file))) return false;
  if (tag) encoder.SetId3Block(*tag);
  encoder.SetInputChannels(settings.channels);
  encoder.SetInputRate(source.rate);
  encoder.SetBitRate(settings.bitRate);
  encoder.SetOutputRate(settings.outRate);
  encoder.SetChannelMode(settings.mode);
  if (!encoder.Start()) return false;
  const int frames = static_cast<int>(source.left.size());
  bool encoded = true;
  for (int done = 0; done < frames; done += kMaxBlockFrames) {
    const int n = std::min(kMaxBlockFrames, frames - done);
    encoded &= encoder.Encode(source.left.data() + done, settings.channels == 2 ? source.right.data() + done : nullptr, n);
  }
  return encoder.Close() && encoded;
}

struct FrameHeader {
  int bitRate = 0;
  int sampleRate = 0;
  int mode = 0;
  int length = 0;
  int samples = 0;
};

// Parses a Layer III header; length 0 when the bytes are not one.
FrameHeader ParseHeader(const std::uint8_t* h) {
  static constexpr int kMpeg1Rates[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static constexpr int kMpeg2Rates[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static constexpr int kSampleRates[] = {44100, 48000, 32000};
  FrameHeader f;
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1) return f;
  const int version = (h[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  const int rateIndex = h[2] >> 4;
  const int srIndex = (h[2] >> 2) & 3;
  if (version == 1 || rateIndex == 0 || rateIndex == 15 || srIndex == 3) return f;
  const bool mpeg1 = version == 3;
  f.bitRate = mpeg1 ? kMpeg1Rates[rateIndex] : kMpeg2Rates[rateIndex];
  f.sampleRate = kSampleRates[srIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  f.mode = h[3] >> 6;
  f.samples = mpeg1 ? kFrameSamples : kHalfFrameSamples;
  f.length = (mpeg1 ? 144000 : 72000) * f.bitRate / f.sampleRate + ((h[2] >> 1) & 1);
  return f;
}

bool Contains(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to, const std::string& what) {
  return std::search(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to),
                     what.begin(), what.end()) != bytes.begin() + static_cast<std::ptrdiff_t>(to);
}

// Decodes to 16-bit interleaved samples with a peer decoder; empty when none is installed.
std::vector<std::int16_t> Decode(const std::string& path, int channels) {
  std::string raw;
  int status = -1;
  if (HaveProgram("mpg123")) {
    status = RunCommand("mpg123 -q -s " + ShellQuote(path) + " 2>/dev/null", &raw);
  } else if (HaveProgram("ffmpeg")) {
    status = RunCommand("ffmpeg -v quiet -i " + ShellQuote(path) + " -f s16le -ac " + std::to_string(channels) + " -", &raw);
  }
  if (status != 0) return {};
  std::vector<std::int16_t> samples(raw.size() / 2);
  std::memcpy(samples.data(), raw.data(), samples.size() * 2);
  return samples;
}

// Amplitude of the `hz` component over a window of whole periods, channel `c` of `channels`.
double ToneAmplitude(const std::vector<std::int16_t>& x, int channels, int c, int rate, double hz, int start, int length) {
  double re = 0.0, im = 0.0;
  for (int i = 0; i < length; ++i) {
    const double w = 2.0 * std::numbers::pi * hz * i / rate;
    const double v = x[static_cast<std::size_t>((start + i) * channels + c)];
    re += v * std::cos(w);
    im += v * std::sin(w);
  }
  return 2.0 * std::hypot(re, im) / length;
}

struct StreamCase {
  const char* name;
  int inRate;
  Settings settings;
  int expectBitRate;
  int expectMode;  // header bits
};

class Mp3StreamTest : public testing::TestWithParam<StreamCase> {};

// Every frame is CBR at the requested rate and mode, the stream starts with audio (no
// Xing/Info frame), ends exactly before the tag, and decodes back to the source's tones.
TEST_P(Mp3StreamTest, FramesTagAndDecodedAudio) {
  const StreamCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("out.mp3");
  const Source source = MakeSource(c.inRate, c.inRate * 2 + 321);
  const Id3Block tag = BuildId3Block("Title", "Artist", "Album", "2024", "Comment", 12);
  ASSERT_TRUE(EncodeFile(path, source, c.settings, &tag));

  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), tag.size());
  EXPECT_TRUE(std::equal(tag.begin(), tag.end(), bytes.end() - static_cast<std::ptrdiff_t>(tag.size())));
  const std::size_t audioEnd = bytes.size() - tag.size();
  std::size_t offset = 0;
  int frames = 0;
  int samplesPerFrame = 0;
  while (offset + 4 <= audioEnd) {
    const FrameHeader h = ParseHeader(&bytes[offset]);
    ASSERT_GT(h.length, 0) << "no frame header at " << offset;
    ASSERT_EQ(h.bitRate, c.expectBitRate) << "frame " << frames;
    ASSERT_EQ(h.sampleRate, c.settings.outRate) << "frame " << frames;
    ASSERT_EQ(h.mode, c.expectMode) << "frame " << frames;
    if (frames == 0) {
      EXPECT_FALSE(Contains(bytes, 0, static_cast<std::size_t>(h.length), "Xing"));
      EXPECT_FALSE(Contains(bytes, 0, static_cast<std::size_t>(h.length), "Info"));
    }
    samplesPerFrame = h.samples;
    offset += static_cast<std::size_t>(h.length);
    ++frames;
  }
  EXPECT_EQ(offset, audioEnd);

  const int outChannels = c.expectMode == kHeaderModeMono ? 1 : 2;
  const std::vector<std::int16_t> decoded = Decode(path, outChannels);
  if (decoded.empty()) GTEST_SKIP() << "no MP3 decoder installed";
  const int decodedFrames = static_cast<int>(decoded.size()) / outChannels;
  EXPECT_EQ(decodedFrames, frames * samplesPerFrame);
  // The source's length at the output rate plus the encoder's delay, padded by less than one
  // long frame: nothing is lost at the end and little is added.
  const int expected = static_cast<int>(static_cast<std::int64_t>(source.left.size()) * c.settings.outRate / c.inRate);
  constexpr int kEncoderDelay = 576;
  EXPECT_GE(decodedFrames, expected + kEncoderDelay);
  EXPECT_LT(decodedFrames, expected + kEncoderDelay + kFrameSamples);

  const int rate = c.settings.outRate;
  const int window = rate / 10;  // whole periods of both tones
  const int start = rate / 2;
  const double leftTone = ToneAmplitude(decoded, outChannels, 0, rate, kLeftHz, start, window);
  if (outChannels == 2) {
    const double leftLeak = ToneAmplitude(decoded, outChannels, 0, rate, kRightHz, start, window);
    const double rightTone = ToneAmplitude(decoded, outChannels, 1, rate, kRightHz, start, window);
    const double rightLeak = ToneAmplitude(decoded, outChannels, 1, rate, kLeftHz, start, window);
    EXPECT_NEAR(leftTone, kAmplitude, kAmplitude * 0.1);
    EXPECT_NEAR(rightTone, kAmplitude, kAmplitude * 0.1);
    EXPECT_LT(leftLeak, kAmplitude * 0.01);
    EXPECT_LT(rightLeak, kAmplitude * 0.01);
  } else {
    // Mono from a stereo source is the average; from a mono source the left channel itself.
    const double expectedLevel = c.settings.channels == 2 ? kAmplitude / 2 : kAmplitude;
    EXPECT_NEAR(leftTone, expectedLevel, expectedLevel * 0.1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Mp3StreamTest,
    testing::Values(StreamCase{"Joint128", 44100, {2, 128, 44100, kMp3ModeJointStereo}, 128, 1},
                    StreamCase{"Stereo320At48k", 48000, {2, 320, 48000, kMp3ModeStereo}, 320, 0},
                    StreamCase{"MonoSourceResampled", 44100, {1, 64, 22050, kMp3ModeMono}, 64, 3},
                    StreamCase{"DownmixToMono", 44100, {2, 32, 16000, kMp3ModeMono}, 32, 3},
                    // Out-of-range values: the bit rate clamps to 320, mode 2 becomes stereo.
                    StreamCase{"ClampedRateAndMode", 44100, {2, 448, 44100, 2}, 320, 0},
                    StreamCase{"TinyRateClampsUp", 8000, {1, 0, 8000, kMp3ModeMono}, 8, 3}),
    [](const testing::TestParamInfo<StreamCase>& param) { return std::string(param.param.name); });

// Same library, same samples, same settings: the command-line encoder's output and ours agree
// byte for byte.
TEST(Mp3EncoderTest, MatchesCommandLineEncoder) {
  if (!HaveProgram("lame")) GTEST_SKIP() << "lame not installed";
  TempDir dir;
  const Source source = MakeSource(44100, 44100 * 3 + 77);
  std::vector<std::uint8_t> raw;
  for (std::size_t i = 0; i < source.left.size(); ++i) {
    for (std::int16_t v : {source.left[i], source.right[i]}) {
      const auto u = static_cast<std::uint16_t>(v);
      raw.push_back(static_cast<std::uint8_t>(u & 0xFF));
      raw.push_back(static_cast<std::uint8_t>(u >> 8));
    }
  }
  const std::string rawPath = dir.Write("in.raw", raw);
  const std::string theirs = dir.File("theirs.mp3");
  ASSERT_EQ(RunCommand("lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -b 128 --cbr -m j -t " +
                       ShellQuote(rawPath) + " " + ShellQuote(theirs)),
            0);
  const std::string ours = dir.File("ours.mp3");
  ASSERT_TRUE(EncodeFile(ours, source, Settings{2, 128, 44100, kMp3ModeJointStereo}));
  const std::vector<std::uint8_t> a = ReadFileBytes(ours);
  const std::vector<std::uint8_t> b = ReadFileBytes(theirs);
  ASSERT_FALSE(b.empty());
  EXPECT_EQ(a.size(), b.size());
  EXPECT_TRUE(a == b);
}

ssize_t FullDisk(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

// A full disk shows up even when every byte was still buffered until Close().
TEST(Mp3EncoderTest, WriteFailureMakesCloseFail) {
  TempDir dir;
  const std::string path = dir.File("full.mp3");
  const SystemCalls previous = SetSystemCallsForTesting({FullDisk, Sys().pwrite, Sys().close});
  const bool closed = EncodeFile(path, MakeSource(44100, 44100), Settings{});
  SetSystemCallsForTesting(previous);
  EXPECT_FALSE(closed);
}

TEST(Mp3EncoderTest, FailuresAndDiscard) {
  TempDir dir;
  const Source source = MakeSource(44100, 4000);

  // Discard removes the partial output.
  const std::string partial = dir.File("partial.mp3");
  {
    OutputFile file;
    ASSERT_EQ(file.CreateNew(partial), OutputFile::CreateResult::Created);
    Mp3Encoder encoder;
    ASSERT_TRUE(encoder.Open(std::move(file)));
    encoder.SetInputRate(44100);
    ASSERT_TRUE(encoder.Start());
    ASSERT_TRUE(encoder.Encode(source.left.data(), source.right.data(), 4000));
    encoder.Discard();
  }
  EXPECT_FALSE(std::filesystem::exists(partial));

  // An output rate the library refuses fails Start, and Close reports it.
  const std::string refused = dir.File("refused.mp3");
  OutputFile file;
  ASSERT_EQ(file.CreateNew(refused), OutputFile::CreateResult::Created);
  Mp3Encoder encoder;
  ASSERT_TRUE(encoder.Open(std::move(file)));
  encoder.SetInputRate(44100);
  encoder.SetOutputRate(12345);
  EXPECT_FALSE(encoder.Start());
  EXPECT_FALSE(encoder.Encode(source.left.data(), source.right.data(), 4000));
  EXPECT_FALSE(encoder.Close());
  EXPECT_FALSE(encoder.Close());
  EXPECT_EQ(std::filesystem::file_size(refused), 0u);
}

}  // namespace
}  // namespace velmora
