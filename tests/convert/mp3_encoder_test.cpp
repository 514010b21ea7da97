#include "convert/mp3_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
#include "support/test_output.h"

namespace velmora {
namespace {

using test::HaveProgram;
using test::ReadFileBytes;
using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

constexpr int kFrameSamples = 1152;  // MPEG-1; MPEG-2 and 2.5 frames hold half
constexpr int kEncoderDelay = 576;
constexpr double kAmplitude = 10000.0;
constexpr double kToneHz[2] = {440.0, 1000.0};  // left, right
constexpr int kHeaderModeMono = 3;              // header bits: stereo 00, joint 01, mono 11

using Samples = std::vector<std::int16_t>;

// A different tone on each side, plus a little noise so that every frame has work to do.
std::array<Samples, 2> MakeSource(int rate, int frames) {
  std::array<Samples, 2> s;
  std::uint32_t seed = 12345;
  for (int i = 0; i < frames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 24) - 128.0;
    for (int c = 0; c < 2; ++c) {
      const double tone = kAmplitude * std::sin(2 * std::numbers::pi * kToneHz[c] * i / rate);
      s[c].push_back(static_cast<std::int16_t>(std::lround(tone + (c ? -noise : noise))));
    }
  }
  return s;
}

struct Settings {
  // An output rate of 0 or a negative mode leaves the choice to the library.
  int channels = 2, inRate = 44100, bitRate = 128, outRate = 44100, mode = kMp3ModeJointStereo;
  int vbrQuality = kMp3ConstantBitRate;
  bool gapless = false;
};

// Encodes block by block into a new file; true when every step, Close() included, succeeded.
// `prefix` is written once the encoder has started, before any audio, as a leading tag would be.
bool EncodeFile(const std::string& path, const std::array<Samples, 2>& source, const Settings& s,
                const Id3Block* tag = nullptr, const std::vector<std::uint8_t>& prefix = {}) {
  test::TestOutput out(path);
  Mp3Encoder encoder;
  if (!encoder.Open(out.file)) return false;
  if (tag) encoder.SetId3Block(*tag);
  encoder.SetInputChannels(s.channels);
  encoder.SetInputRate(s.inRate);
  encoder.SetBitRate(s.bitRate);
  if (s.outRate > 0) encoder.SetOutputRate(s.outRate);
  if (s.mode >= 0) encoder.SetChannelMode(s.mode);
  encoder.SetVbrQuality(s.vbrQuality);
  encoder.SetGapless(s.gapless);
  bool ok = encoder.Start();
  if (!prefix.empty() && !out.file.Write(prefix.data(), prefix.size())) return false;
  const int frames = static_cast<int>(source[0].size());
  for (int done = 0; ok && done < frames; done += kMaxBlockFrames) {
    ok = encoder.Encode(&source[0][done], s.channels == 2 ? &source[1][done] : nullptr,
                        std::min(kMaxBlockFrames, frames - done));
  }
  return encoder.Close() && ok && out.Publish();
}

struct FrameHeader {
  int bitRate = 0, sampleRate = 0, mode = 0, length = 0, samples = 0;
};

// Parses a Layer III frame header; length 0 when the bytes are not one.
FrameHeader ParseHeader(const std::uint8_t* h) {
  static constexpr int kMpeg1Rates[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static constexpr int kMpeg2Rates[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static constexpr int kSampleRates[] = {44100, 48000, 32000};
  const int version = (h[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  const int rateIndex = h[2] >> 4, rateCode = (h[2] >> 2) & 3;
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1 || version == 1 || rateIndex == 0 ||
      rateIndex == 15 || rateCode == 3) {
    return {};
  }
  const bool mpeg1 = version == 3;
  FrameHeader f;
  f.bitRate = (mpeg1 ? kMpeg1Rates : kMpeg2Rates)[rateIndex];
  f.sampleRate = kSampleRates[rateCode] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  f.mode = h[3] >> 6;
  f.samples = mpeg1 ? kFrameSamples : kFrameSamples / 2;
  f.length = (mpeg1 ? 144000 : 72000) * f.bitRate / f.sampleRate + ((h[2] >> 1) & 1);
  return f;
}

// Decodes to interleaved 16-bit samples with a peer decoder; empty when none is installed.
// `options` go to mpg123 only.
Samples Decode(const std::string& path, int channels, const std::string& options = "") {
  std::string raw;
  int status = -1;
  if (HaveProgram("mpg123")) {
    status = RunCommand("mpg123 -q -s " + options + " " + ShellQuote(path) + " 2>/dev/null", &raw);
  } else if (HaveProgram("ffmpeg")) {
    status = RunCommand("ffmpeg -v quiet -i " + ShellQuote(path) + " -f s16le -ac " + std::to_string(channels) + " -", &raw);
  }
  if (status != 0 || raw.size() < 2) return {};
  Samples samples(raw.size() / 2);
  std::memcpy(samples.data(), raw.data(), samples.size() * 2);
  return samples;
}

// Amplitude at `hz` in channel `c` over a tenth of a second (whole periods) from `start`.
double ToneAmplitude(const Samples& x, int channels, int c, int rate, double hz, int start) {
  const int length = rate / 10;
  double re = 0.0, im = 0.0;
  for (int i = 0; i < length; ++i) {
    const double w = 2.0 * std::numbers::pi * hz * i / rate;
    re += x[static_cast<std::size_t>((start + i) * channels + c)] * std::cos(w);
    im += x[static_cast<std::size_t>((start + i) * channels + c)] * std::sin(w);
  }
  return 2.0 * std::hypot(re, im) / length;
}

struct StreamCase {
  const char* name;
  Settings settings;
  int expectBitRate, expectMode;  // as the frame headers carry them
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class Mp3StreamTest : public testing::TestWithParam<StreamCase> {};

// Every frame is CBR at the requested rate and mode, the stream starts with audio (no
// Xing/Info frame) and ends exactly at the tag, and it decodes back to the source's tones.
TEST_P(Mp3StreamTest, FramesTagAndDecodedAudio) {
  const StreamCase& c = GetParam();
  const int rate = c.settings.outRate;
  TempDir dir;
  const std::string path = dir.File("out.mp3");
  const auto source = MakeSource(c.settings.inRate, c.settings.inRate * 2 + 321);
  const Id3Block tag = BuildId3Block("Title", "Artist", "Album", "2024", "Comment", 12);
  ASSERT_TRUE(EncodeFile(path, source, c.settings, &tag));

  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), tag.size());
  const auto audioEnd = bytes.end() - static_cast<std::ptrdiff_t>(tag.size());
  EXPECT_TRUE(std::equal(tag.begin(), tag.end(), audioEnd));
  int frames = 0, samplesPerFrame = 0;
  for (auto at = bytes.begin(); at < audioEnd; ++frames) {
    const FrameHeader h = ParseHeader(&*at);
    ASSERT_GT(h.length, 0) << "no frame header at " << at - bytes.begin();
    ASSERT_EQ(h.bitRate, c.expectBitRate) << "frame " << frames;
    ASSERT_EQ(h.sampleRate, rate) << "frame " << frames;
    ASSERT_EQ(h.mode, c.expectMode) << "frame " << frames;
    for (const std::string marker : {"Xing", "Info"}) {
      EXPECT_EQ(std::search(at, at + h.length, marker.begin(), marker.end()), at + h.length) << marker;
    }
    samplesPerFrame = h.samples;
    at += h.length;
    ASSERT_LE(at, audioEnd);
  }

  const int channels = c.expectMode == kHeaderModeMono ? 1 : 2;
  const Samples decoded = Decode(path, channels);
  if (decoded.empty()) GTEST_SKIP() << "no MP3 decoder installed";
  const int decodedFrames = static_cast<int>(decoded.size()) / channels;
  EXPECT_EQ(decodedFrames, frames * samplesPerFrame);
  // The source at the output rate plus the encoder's delay, padded by less than one frame.
  const auto expected = static_cast<int>(static_cast<std::int64_t>(source[0].size()) * rate / c.settings.inRate);
  EXPECT_GE(decodedFrames, expected + kEncoderDelay);
  EXPECT_LT(decodedFrames, expected + kEncoderDelay + kFrameSamples);

  if (channels == 2) {
    for (int ch = 0; ch < 2; ++ch) {
      EXPECT_NEAR(ToneAmplitude(decoded, 2, ch, rate, kToneHz[ch], rate / 2), kAmplitude, kAmplitude * 0.1);
      EXPECT_LT(ToneAmplitude(decoded, 2, ch, rate, kToneHz[1 - ch], rate / 2), kAmplitude * 0.01);
    }
  } else {
    // Mono from a stereo source is the average; from a mono source the left channel itself.
    const double level = c.settings.channels == 2 ? kAmplitude / 2 : kAmplitude;
    EXPECT_NEAR(ToneAmplitude(decoded, 1, 0, rate, kToneHz[0], rate / 2), level, level * 0.1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Mp3StreamTest,
    testing::Values(StreamCase{"Joint128", {2, 44100, 128, 44100, kMp3ModeJointStereo}, 128, 1},
                    StreamCase{"Stereo320At48k", {2, 48000, 320, 48000, kMp3ModeStereo}, 320, 0},
                    StreamCase{"MonoSourceResampled", {1, 44100, 64, 22050, kMp3ModeMono}, 64, 3},
                    StreamCase{"DownmixToMono", {2, 44100, 32, 16000, kMp3ModeMono}, 32, 3},
                    // Out-of-range requests: the bit rate clamps to 320 or 8, mode 2 becomes stereo.
                    StreamCase{"ClampedRateAndMode", {2, 44100, 448, 44100, 2}, 320, 0},
                    StreamCase{"LowestRate", {1, 8000, 0, 8000, kMp3ModeMono}, 8, 3},
                    // Gapless asked for, but a frame has no room for the information frame.
                    StreamCase{"GaplessWithoutRoom", {.bitRate = 48, .gapless = true}, 48, 1}),
    [](const testing::TestParamInfo<StreamCase>& param) { return std::string(param.param.name); });

// Same library, same samples, same settings: the command-line encoder and ours agree byte for
// byte, information frame included (the command line writes it unless told not to with -t).
TEST(Mp3EncoderTest, MatchesCommandLineEncoder) {
  if (!HaveProgram("lame")) GTEST_SKIP() << "lame not installed";
  TempDir dir;
  const auto source = MakeSource(44100, 44100 * 3 + 77);
  std::vector<std::uint8_t> raw;
  for (std::size_t i = 0; i < source[0].size(); ++i) {
    for (const Samples& channel : source) {
      const auto u = static_cast<std::uint16_t>(channel[i]);
      raw.insert(raw.end(), {static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8)});
    }
  }
  const std::string input = ShellQuote(dir.Write("in.raw", raw));
  const struct {
    const char* options;
    Settings settings;
  } cases[] = {{"-b 128 --cbr -m j -t", Settings{}},
               {"-b 128 --cbr -m j", Settings{.gapless = true}},
               {"-V 2", Settings{.vbrQuality = 2}},
               // Nothing but the quality: the library picks the mode and, at V9, a lower rate.
               {"-V 9", Settings{.outRate = 0, .mode = -1, .vbrQuality = 9}}};
  for (const auto& [options, settings] : cases) {
    SCOPED_TRACE(options);
    const std::string theirs = dir.File("theirs.mp3"), ours = dir.File("ours.mp3");
    ASSERT_EQ(RunCommand("lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian " + std::string(options) +
                         " " + input + " " + ShellQuote(theirs) + " 2>/dev/null"),
              0);
    ASSERT_TRUE(EncodeFile(ours, source, settings));
    const std::vector<std::uint8_t> expected = ReadFileBytes(theirs);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(ReadFileBytes(ours) == expected);
    std::filesystem::remove(theirs);
    std::filesystem::remove(ours);
  }
}

struct InfoCase {
  const char* name;
  Settings settings;
};

void PrintTo(const InfoCase& c, std::ostream* os) { *os << c.name; }

class Mp3InfoFrameTest : public testing::TestWithParam<InfoCase> {};

// Variable bit rate, and constant bit rate with gapless playback, open with the information
// frame: "Xing" or "Info" with the count of the audio frames that follow, written where the
// encoder's first frame begins even behind a leading tag, and the encoder's delay and padding. A
// decoder that reads it plays exactly the source's length; one that ignores it plays whole
// frames, delay and padding included.
TEST_P(Mp3InfoFrameTest, FrameCountAndExactLength) {
  const Settings& s = GetParam().settings;
  TempDir dir;
  const std::string path = dir.File("out.mp3");
  const auto source = MakeSource(s.inRate, s.inRate * 2 + 555);
  const Id3Block tag = BuildId3Block("Title", "Artist", "Album", "2024", "Comment", 12);
  // An empty ID3v2.3 tag with ten bytes of padding stands for a leading tag.
  const std::vector<std::uint8_t> leading = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(EncodeFile(path, source, s, &tag, leading));

  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), leading.size() + tag.size());
  EXPECT_TRUE(std::equal(leading.begin(), leading.end(), bytes.begin()));
  const auto audioEnd = bytes.end() - static_cast<std::ptrdiff_t>(tag.size());
  EXPECT_TRUE(std::equal(tag.begin(), tag.end(), audioEnd));

  const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(leading.size());
  const FrameHeader info = ParseHeader(&*first);
  ASSERT_GT(info.length, 0);
  const std::string marker = s.vbrQuality == kMp3ConstantBitRate ? "Info" : "Xing";
  const auto found = std::search(first, first + info.length, marker.begin(), marker.end());
  ASSERT_NE(found, first + info.length) << marker;
  const auto be32 = [](auto at) { return static_cast<std::uint32_t>(at[0] << 24 | at[1] << 16 | at[2] << 8 | at[3]); };
  // Frame count, byte count, seek table and quality, then the encoder's own 36 bytes, where
  // bytes 21 to 23 hold the delay and the padding in 12 bits each.
  ASSERT_EQ(be32(found + 4), 0xFu);
  const std::uint32_t counted = be32(found + 8);
  const auto encoderInfo = found + 8 + 4 + 4 + 100 + 4;
  const int delay = encoderInfo[21] << 4 | encoderInfo[22] >> 4;
  const int padding = (encoderInfo[22] & 0xF) << 8 | encoderInfo[23];

  std::uint32_t frames = 0;
  std::vector<int> bitRates;
  for (auto at = first + info.length; at < audioEnd; ++frames) {
    const FrameHeader h = ParseHeader(&*at);
    ASSERT_GT(h.length, 0) << "no frame header at " << at - bytes.begin();
    ASSERT_EQ(h.sampleRate, s.outRate);
    bitRates.push_back(h.bitRate);
    at += h.length;
    ASSERT_LE(at, audioEnd);
  }
  EXPECT_EQ(counted, frames);
  const auto sourceFrames = static_cast<int>(source[0].size());
  EXPECT_EQ(delay, kEncoderDelay);
  EXPECT_EQ(delay + sourceFrames + padding, static_cast<int>(frames) * info.samples);
  std::sort(bitRates.begin(), bitRates.end());
  const auto distinct = std::unique(bitRates.begin(), bitRates.end()) - bitRates.begin();
  if (s.vbrQuality == kMp3ConstantBitRate) EXPECT_EQ(distinct, 1);
  else EXPECT_GE(distinct, 2);

  const int channels = s.mode == kMp3ModeMono ? 1 : 2;
  if (!HaveProgram("mpg123")) GTEST_SKIP() << "mpg123 not installed";
  EXPECT_EQ(static_cast<int>(Decode(path, channels).size()) / channels, sourceFrames);
  const int whole = static_cast<int>(Decode(path, channels, "--no-gapless").size()) / channels;
  EXPECT_EQ(whole, static_cast<int>(frames) * info.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, Mp3InfoFrameTest,
    testing::Values(InfoCase{"V2", Settings{.vbrQuality = 2}},
                    InfoCase{"V0At48k", Settings{.inRate = 48000, .outRate = 48000, .mode = kMp3ModeStereo, .vbrQuality = 0}},
                    InfoCase{"V9MonoAt22k", Settings{.channels = 1, .inRate = 22050, .outRate = 22050,
                                                     .mode = kMp3ModeMono, .vbrQuality = 9}},
                    InfoCase{"GaplessCbr128", Settings{.gapless = true}},
                    InfoCase{"GaplessCbrMonoAt16k", Settings{.channels = 1, .inRate = 16000, .bitRate = 64,
                                                             .outRate = 16000, .mode = kMp3ModeMono, .gapless = true}}),
    [](const testing::TestParamInfo<InfoCase>& param) { return std::string(param.param.name); });

ssize_t FullDisk(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

TEST(Mp3EncoderTest, FailuresAreReported) {
  TempDir dir;
  const auto source = MakeSource(44100, 44100);

  // A full disk shows up even when every byte stayed buffered until Close().
  SystemCalls full = Sys();
  full.write = FullDisk;
  const SystemCalls previous = SetSystemCallsForTesting(full);
  const bool written = EncodeFile(dir.File("full.mp3"), source, Settings{});
  SetSystemCallsForTesting(previous);
  EXPECT_FALSE(written);

  // An output rate the library would quietly replace fails Start, and Close reports it.
  EXPECT_FALSE(EncodeFile(dir.File("refused.mp3"), source, Settings{2, 44100, 128, 12345}));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(Mp3EncoderTest, UpsamplingFromAVeryLowRateFitsTheOutputBuffer) {
  // 2000 Hz to 48000 Hz turns each 1,152-frame block into 27,648 output samples: far more than
  // a buffer sized for the input block holds.
  TempDir dir;
  const auto source = MakeSource(2000, 2000 * 3);
  ASSERT_TRUE(EncodeFile(dir.File("up.mp3"), source, Settings{2, 2000, 128, 48000}));
  EXPECT_GT(std::filesystem::file_size(dir.File("up.mp3")), 3u * 128000 / 8 * 9 / 10);
  EXPECT_GE(Mp3Encoder::OutputBufferBytes(1152, 2000, 48000), 27648u * 5 / 4 + 7200);
}

// Floats that are whole numbers encode exactly as the same 16-bit samples: the float entry
// point changes nothing but the precision the encoder is given.
TEST(Mp3EncoderTest, WholeNumberFloatsEncodeAsTheirSixteenBitSamples) {
  TempDir dir;
  const auto source = MakeSource(44100, 44100);
  ASSERT_TRUE(EncodeFile(dir.File("samples.mp3"), source, Settings{}));
  test::TestOutput out(dir.File("floats.mp3"));
  Mp3Encoder encoder;
  ASSERT_TRUE(encoder.Open(out.file));
  const Settings s;
  encoder.SetInputChannels(s.channels);
  encoder.SetInputRate(s.inRate);
  encoder.SetBitRate(s.bitRate);
  encoder.SetOutputRate(s.outRate);
  encoder.SetChannelMode(s.mode);
  ASSERT_TRUE(encoder.Start());
  const std::vector<float> left(source[0].begin(), source[0].end()), right(source[1].begin(), source[1].end());
  // In blocks larger than the encoder's own, which it cuts up itself.
  const int frames = static_cast<int>(left.size());
  for (int done = 0; done < frames; done += 3000) {
    ASSERT_TRUE(encoder.EncodeFloat(&left[done], &right[done], std::min(3000, frames - done)));
  }
  ASSERT_TRUE(encoder.Close() && out.Publish());
  EXPECT_EQ(ReadFileBytes(dir.File("floats.mp3")), ReadFileBytes(dir.File("samples.mp3")));
}

}  // namespace
}  // namespace velmora
