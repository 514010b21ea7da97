// Lossless WAV: sources of every sample format Velmora reads at full resolution, converted and
// compared with libsndfile's reading of the source, sample by sample; headers checked with
// libsndfile and ffprobe.

#include "convert/lossless_conversion.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cli/outcome_text.h"
#include "convert/file_conversion.h"
#include "convert/wav_full_writer.h"
#include "support/aiff_builder.h"
#include "support/block_runner.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using cli::ReasonText;
using test::Bytes;

constexpr std::uint32_t kFrames = 3001;  // more than two blocks, and an odd count

struct SourceCase {
  const char* code;  // "NONE": plain AIFF
  int bits;          // COMM sample size
  int channels;
  int wavBits;       // what the WAV should hold
  bool isFloat = false;
  bool little = false;
};

std::string Name(const SourceCase& c) {
  std::string code = c.code;
  for (char& ch : code) ch = ch == ' ' ? '_' : ch;
  return code + "_" + std::to_string(c.bits) + "bit_" + std::to_string(c.channels) + "ch";
}

// Random sound bytes of a case: every bit pattern of a sample may occur, floats excepted,
// which get finite values up to twice full scale.
Bytes RandomSound(const SourceCase& c, std::mt19937& random) {
  const int bytesPerSample = (c.bits + 7) / 8;
  const std::size_t samples = std::size_t{kFrames} * static_cast<std::size_t>(c.channels);
  Bytes sound;
  std::uniform_real_distribution<double> level(-2.0, 2.0);
  for (std::size_t i = 0; i < samples; ++i) {
    std::uint64_t pattern = random();
    if (c.isFloat && c.bits == 32) pattern = std::bit_cast<std::uint32_t>(static_cast<float>(level(random)));
    if (c.isFloat && c.bits == 64) pattern = std::bit_cast<std::uint64_t>(level(random));
    // Sizes that do not fill their bytes keep the sample in the top bits, the rest zero.
    if (!c.isFloat) pattern = (pattern << (bytesPerSample * 8 - c.bits)) & ((std::uint64_t{1} << (bytesPerSample * 8)) - 1);
    for (int b = 0; b < bytesPerSample; ++b) {
      const int shift = c.little ? 8 * b : 8 * (bytesPerSample - 1 - b);
      sound.push_back(static_cast<std::uint8_t>(pattern >> shift));
    }
  }
  return sound;
}

// Every sample of a file as libsndfile reads it: integers left-justified in 32 bits, and the
// same samples as doubles for float files.
struct PeerReading {
  SF_INFO info{};
  std::vector<int> ints;
  std::vector<double> doubles;
  bool ok = false;
};

PeerReading ReadWithLibsndfile(const std::string& path) {
  PeerReading reading;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &reading.info);
  if (!file) return reading;
  const auto samples = static_cast<std::size_t>(reading.info.frames * reading.info.channels);
  reading.ints.resize(samples);
  reading.doubles.resize(samples);
  const bool whole = sf_read_int(file, reading.ints.data(), static_cast<sf_count_t>(samples)) ==
                     static_cast<sf_count_t>(samples);
  sf_seek(file, 0, SEEK_SET);
  sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  reading.ok = whole && sf_read_double(file, reading.doubles.data(), static_cast<sf_count_t>(samples)) ==
                            static_cast<sf_count_t>(samples);
  sf_close(file);
  return reading;
}

std::uint32_t Le32At(const Bytes& b, std::size_t at) {
  return b[at] | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// Converts `source` losslessly to `wav`; the outcome of the conversion.
FileOutcome ConvertLossless(const std::string& source, const std::string& wav, const ConverterSettings& settings) {
  AiffReader reader;
  if (!reader.Open(source)) return FileOutcome::Failure(FileReason::SourceUnreadable, reader.ErrorText());
  OutputFile output;
  if (!output.CreateTemporary(wav)) return FileOutcome::Failure(FileReason::WriteFailed);
  ConversionOptions options = OptionsFromSettings(settings);
  options.wav.target.lossless = true;
  FileOutcome outcome = ConvertFileToWav(reader, output, options, {});
  if (outcome.result == FileResult::Converted && output.Publish(wav) != OutputFile::PublishResult::Published) {
    return FileOutcome::Failure(FileReason::WriteFailed);
  }
  return outcome;
}

class LosslessSourceTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(LosslessSourceTest, SamplesEqualLibsndfilesReadingOfTheSource) {
  const SourceCase c = GetParam();
  test::TempDir dir;
  std::mt19937 random(static_cast<unsigned>(c.bits * 7 + c.channels));
  test::AiffBuilder builder;
  builder.aifc = std::strcmp(c.code, "NONE") != 0;
  builder.compression = c.code;
  builder.channels = c.channels;
  builder.bits = c.bits;
  builder.rate = 22050;
  builder.frames = kFrames;
  builder.sound = RandomSound(c, random);
  const std::string source = dir.Write("source.aiff", builder.Build());
  const std::string wav = dir.File("out.wav");

  const FileOutcome outcome = ConvertLossless(source, wav, {});
  ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
  EXPECT_EQ(outcome.framesRead, kFrames);

  const PeerReading expected = ReadWithLibsndfile(source);
  const PeerReading actual = ReadWithLibsndfile(wav);
  ASSERT_TRUE(expected.ok) << "libsndfile cannot read the source";
  ASSERT_TRUE(actual.ok) << "libsndfile cannot read the WAV: " << sf_strerror(nullptr);
  EXPECT_EQ(actual.info.channels, c.channels);
  EXPECT_EQ(actual.info.samplerate, 22050);
  EXPECT_EQ(actual.info.frames, kFrames);
  const bool extensible = c.channels > 2 || c.wavBits > 16 || c.isFloat;
  EXPECT_EQ(actual.info.format & SF_FORMAT_TYPEMASK, extensible ? SF_FORMAT_WAVEX : SF_FORMAT_WAV);
  const int subtype = c.isFloat ? (c.wavBits == 32 ? SF_FORMAT_FLOAT : SF_FORMAT_DOUBLE)
                      : c.wavBits == 8  ? SF_FORMAT_PCM_U8
                      : c.wavBits == 16 ? SF_FORMAT_PCM_16
                      : c.wavBits == 24 ? SF_FORMAT_PCM_24
                                        : SF_FORMAT_PCM_32;
  EXPECT_EQ(actual.info.format & SF_FORMAT_SUBMASK, subtype);
  if (c.isFloat) {
    EXPECT_EQ(actual.doubles, expected.doubles);
  } else {
    EXPECT_EQ(actual.ints, expected.ints);
  }

  // The header as written: the speaker mask, and an even-sized data chunk with its pad byte.
  const Bytes bytes = test::ReadFileBytes(wav);
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(Le32At(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.size() % 2, 0u);
  if (extensible) {
    EXPECT_EQ(Le32At(bytes, 40), WavChannelMask(c.channels));
  }

  if (!test::HaveProgram("ffprobe")) GTEST_SKIP() << "ffprobe not installed";
  std::string probe;
  ASSERT_EQ(test::RunCommand("ffprobe -v error -show_entries stream=codec_name,channels,sample_rate -of csv=p=0 " +
                                 test::ShellQuote(wav),
                             &probe),
            0);
  const std::string codec = c.isFloat ? "pcm_f" + std::to_string(c.wavBits) + "le"
                            : c.wavBits == 8 ? std::string("pcm_u8")
                                             : "pcm_s" + std::to_string(c.wavBits) + "le";
  EXPECT_EQ(probe, codec + ",22050," + std::to_string(c.channels) + "\n");
}

// sowt and 23ni are little-endian; the others big-endian.
INSTANTIATE_TEST_SUITE_P(
    Formats, LosslessSourceTest,
    ::testing::Values(SourceCase{"NONE", 8, 1, 8}, SourceCase{"NONE", 8, 2, 8}, SourceCase{"NONE", 8, 6, 8},
                      SourceCase{"NONE", 16, 1, 16}, SourceCase{"NONE", 16, 2, 16}, SourceCase{"NONE", 16, 6, 16},
                      SourceCase{"NONE", 12, 3, 16}, SourceCase{"NONE", 20, 4, 24},
                      SourceCase{"NONE", 24, 1, 24}, SourceCase{"NONE", 24, 2, 24}, SourceCase{"NONE", 24, 6, 24},
                      SourceCase{"NONE", 32, 1, 32}, SourceCase{"NONE", 32, 2, 32}, SourceCase{"NONE", 32, 6, 32},
                      SourceCase{"sowt", 16, 1, 16, false, true}, SourceCase{"sowt", 16, 2, 16, false, true},
                      SourceCase{"sowt", 16, 6, 16, false, true}, SourceCase{"in24", 24, 1, 24},
                      SourceCase{"in24", 24, 2, 24}, SourceCase{"in24", 24, 6, 24}, SourceCase{"in32", 32, 1, 32},
                      SourceCase{"in32", 32, 2, 32}, SourceCase{"in32", 32, 6, 32},
                      SourceCase{"fl32", 32, 1, 32, true}, SourceCase{"fl32", 32, 2, 32, true},
                      SourceCase{"FL32", 32, 6, 32, true}, SourceCase{"fl64", 64, 1, 64, true},
                      SourceCase{"fl64", 64, 2, 64, true}, SourceCase{"FL64", 64, 6, 64, true}),
    [](const ::testing::TestParamInfo<SourceCase>& param) { return Name(param.param); });

// A source whose sound stops short: the frames that are there, a complete WAV, and the shortfall
// reported rather than hidden. The WAV gain applies at full resolution.
TEST(LosslessConversionTest, ShortSourceIsReportedAndGainClipsAtTheWidthsLimits) {
  test::TempDir dir;
  test::AiffBuilder builder;
  builder.channels = 2;
  builder.bits = 24;
  builder.frames = 3000;
  for (int i = 0; i < 1001; ++i) {
    builder.sound.insert(builder.sound.end(), {0x40, 0x00, 0x01, 0xC0, 0x00, 0x00});  // 0x400001, -0x400000
  }
  builder.sound.insert(builder.sound.end(), {0x12, 0x34, 0x56});  // half a frame
  const std::string source = dir.Write("short.aiff", builder.Build());
  const std::string wav = dir.File("short.wav");
  ConverterSettings settings;
  settings.AmplifyWav = 1;
  settings.AmplifyWavCoeff = 300;

  const FileOutcome outcome = ConvertLossless(source, wav, settings);
  ASSERT_EQ(outcome.result, FileResult::Converted);
  EXPECT_EQ(outcome.reason, FileReason::SourceEndsEarly);
  EXPECT_EQ(outcome.framesRead, 1001u);
  const PeerReading reading = ReadWithLibsndfile(wav);
  ASSERT_TRUE(reading.ok);
  ASSERT_EQ(reading.info.frames, 1001);
  EXPECT_EQ(reading.ints[0], 0x7FFFFF << 8);
  EXPECT_EQ(reading.ints[1], -0x800000 * 256);
  EXPECT_EQ(reading.ints[2001], -0x800000 * 256);
}

}  // namespace
}  // namespace velmora
