// WAV outputs past 4 GiB: the writers' choice of RF64 at the boundary, and RF64 files made from
// small sources whose header announces far more sound, read by libsndfile, ffprobe and the
// read-back.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "audio/aiff_reader.h"
#include "cli/outcome_text.h"
#include "convert/file_conversion.h"
#include "convert/wav_full_writer.h"
#include "convert/wav_readback.h"
#include "convert/wav_writer.h"
#include "settings/converter_settings.h"
#include "support/aiff_builder.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using cli::ReasonText;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return b[at] | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint64_t Le64(const Bytes& b, std::size_t at) { return Le32(b, at) | std::uint64_t{Le32(b, at + 4)} << 32; }
void Put64(Bytes& b, std::size_t at, std::uint64_t v) {
  for (std::size_t i = 0; i < 8; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A plain file's RIFF size (the file's size - 8) is at most 0xFFFFFFFF. The plain header is 44
// bytes for PCM, 80 for the extensible format with its fact chunk; a data chunk of odd size
// followed by other chunks gets a pad byte, and the lossless writer always writes it.
TEST(Rf64Test, WritersChooseRf64ExactlyWhenTheRiffSizeWouldPass32Bits) {
  struct Case {
    const char* what;
    std::uint64_t frames;
    bool stereo;
    int bits;
    std::uint64_t trailing;
    bool rf64;
  };
  const Case plain[] = {
      {"nothing", 0, true, 16, 0, false},
      {"stereo 16-bit at the limit", (0xFFFFFFFFull - 36) / 4, true, 16, 0, false},
      {"stereo 16-bit one frame more", (0xFFFFFFFFull - 36) / 4 + 1, true, 16, 0, true},
      {"exactly 4 GiB of data", 1ull << 30, true, 16, 0, true},
      {"100 minutes at 192 kHz stereo", 1152000000, true, 16, 0, true},
      {"mono 8-bit filling the RIFF size", 0xFFFFFFFFull - 36, false, 8, 0, false},
      {"mono 8-bit one byte more", 0xFFFFFFFFull - 35, false, 8, 0, true},
      {"tags take the last room", (0xFFFFFFFFull - 36 - 100) / 4, true, 16, 100, false},
      {"tags and one frame more", (0xFFFFFFFFull - 36 - 100) / 4 + 1, true, 16, 100, true},
      {"even data and tags fit", 0xFFFFFFFFull - 36 - 3, false, 8, 2, false},
      {"odd data's pad byte passes", 0xFFFFFFFFull - 36 - 2, false, 8, 2, true},
  };
  for (const Case& c : plain) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(WavWriter::NeedsRf64(c.frames, c.stereo, c.bits, c.trailing), c.rf64);
  }
  const WavFullFormat stereo24{2, 44100, 24, false}, mono8{1, 8000, 8, false};
  struct FullCase {
    const char* what;
    std::uint64_t frames;
    WavFullFormat format;
    std::uint64_t trailing;
    bool rf64;
  };
  const FullCase full[] = {
      {"extensible at the limit", (0xFFFFFFFFull - 72) / 6, stereo24, 0, false},
      {"extensible one frame more", (0xFFFFFFFFull - 72) / 6 + 1, stereo24, 0, true},
      {"extensible with tags at the limit", (0xFFFFFFFFull - 72 - 40) / 6, stereo24, 40, false},
      {"extensible with tags one frame more", (0xFFFFFFFFull - 72 - 40) / 6 + 1, stereo24, 40, true},
      {"plain, even data filling it", 0xFFFFFFFFull - 36 - 1, mono8, 0, false},
      {"plain, odd data and its pad byte", 0xFFFFFFFFull - 36, mono8, 0, true},
      {"a frame count past any file", ~0ull, stereo24, 0, true},
  };
  for (const FullCase& c : full) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(WavFullWriter::NeedsRf64(c.frames, c.format, c.trailing), c.rf64);
  }
  EXPECT_EQ(ResampledFrames(48000000, 8000, 192000), 1152000000u);
  EXPECT_EQ(ResampledFrames(0xFFFFFFFF, 8000, 768000), 0xFFFFFFFFull * 96);
  EXPECT_EQ(ResampledFrames(3, 48000, 44100), 3u);  // 2.75625 frames round up
}

struct Conversion {
  std::string path;
  FileOutcome outcome;
  ConversionOptions options;
};

// Converts `source` to `wav` with `settings` (read back as --verify does).
Conversion Convert(const std::string& source, const std::string& wav, const ConverterSettings& settings) {
  Conversion c{wav, {}, OptionsFromSettings(settings)};
  c.options.output.verify = true;
  AiffReader reader;
  if (!reader.Open(source)) return {wav, FileOutcome::Failure(FileReason::SourceUnreadable, reader.ErrorText()), {}};
  OutputFile output;
  if (!output.CreateTemporary(wav)) return {wav, FileOutcome::Failure(FileReason::WriteFailed), {}};
  c.outcome = ConvertFileToWav(reader, output, c.options, {});
  if (c.outcome.result == FileResult::Converted && output.Publish(wav) != OutputFile::PublishResult::Published) {
    c.outcome = FileOutcome::Failure(FileReason::WriteFailed);
  }
  return c;
}

// A source whose COMM announces 2^31 - 1 frames while its SSND holds `sound`: every output of it
// is planned past 4 GiB, and is RF64 whatever it finally holds. A NAME chunk gives the output a
// tag list after its data.
std::string LyingSource(test::TempDir& dir, int channels, int bits, const Bytes& sound) {
  test::AiffBuilder builder;
  builder.channels = channels;
  builder.bits = bits;
  builder.rate = 8000;
  builder.frames = 0x7FFFFFFF;
  builder.sound = sound;
  builder.chunksAfter.push_back(test::TextChunk("NAME", "long take"));
  return dir.Write("source.aiff", builder.Build());
}

// The RF64 layout of `bytes`: the 32-bit sizes stand aside for ds64's, which are the file's.
void ExpectRf64(const Bytes& bytes, std::uint64_t frames, std::uint64_t frameBytes) {
  ASSERT_GE(bytes.size(), 80u);
  EXPECT_EQ(std::memcmp(bytes.data(), "RF64", 4), 0);
  EXPECT_EQ(Le32(bytes, 4), 0xFFFFFFFFu);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEds64", 8), 0);
  EXPECT_EQ(Le32(bytes, 16), 28u);
  EXPECT_EQ(Le64(bytes, 20), bytes.size() - 8);
  EXPECT_EQ(Le64(bytes, 28), frames * frameBytes);
  EXPECT_EQ(Le64(bytes, 36), frames);
  EXPECT_EQ(Le32(bytes, 44), 0u);  // no table of other sizes
}

std::string Probe(const std::string& path) {
  std::string out;
  if (test::RunCommand("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels,duration_ts -of csv=p=0 " +
                           test::ShellQuote(path),
                       &out) != 0) {
    return "ffprobe failed";
  }
  return out;
}

// Both writers, from a source whose header lies: the frames that are there, in a valid RF64 file
// that libsndfile, ffprobe and the read-back agree on, samples included.
TEST(Rf64Test, SourcesAnnouncingMoreThan4GiBBecomeRf64ThatPeersRead) {
  constexpr std::uint64_t kFrames = 3001;
  struct Case {
    const char* what;
    int channels, bits;
    bool lossless;
    int outRate;  // 0: the source's 8 kHz
    const char* codec;
  };
  const Case cases[] = {
      {"16-bit stereo as it is", 2, 16, false, 0, "pcm_s16le"},
      {"resampled 8 to 44.1 kHz", 2, 16, false, 44100, "pcm_s16le"},
      {"lossless 8-bit stereo, plain fmt", 2, 8, true, 0, "pcm_u8"},
      {"lossless 24-bit mono, extensible with odd data", 1, 24, true, 0, "pcm_s24le"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const auto width = static_cast<std::size_t>(c.bits / 8);
    const std::size_t samples = kFrames * static_cast<std::size_t>(c.channels);
    Bytes sound(samples * width);
    for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
    const std::string source = LyingSource(dir, c.channels, c.bits, sound);
    ConverterSettings settings;
    settings.WAVLossless = c.lossless ? 1 : 0;
    settings.AutoDestWAVEncodingParam = c.outRate ? 0 : 1;
    settings.WAVSampleRate = c.outRate;
    const Conversion conversion = Convert(source, dir.File("out.wav"), settings);
    ASSERT_EQ(conversion.outcome.result, FileResult::Converted) << ReasonText(conversion.outcome);
    // Resampled, the frames are those the writer planned from.
    const std::uint64_t frames = c.outRate ? ResampledFrames(kFrames, 8000, c.outRate) : kFrames;
    ASSERT_EQ(conversion.outcome.written.frames, frames);
    const Bytes bytes = test::ReadFileBytes(conversion.path);
    ExpectRf64(bytes, frames, static_cast<std::uint64_t>(c.channels) * width);
    const FileOutcome readBack = VerifyWav(conversion.path, conversion.outcome.written, conversion.options, nullptr);
    EXPECT_EQ(readBack.result, FileResult::Converted) << ReasonText(readBack);

    SF_INFO info{};
    SNDFILE* file = sf_open(conversion.path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_RF64);
    EXPECT_EQ(info.frames, static_cast<sf_count_t>(frames));
    EXPECT_EQ(info.channels, c.channels);
    if (!c.outRate) {
      // Every sample as the source's big-endian bytes say, left-justified in 32 bits.
      std::vector<int> read(samples);
      EXPECT_EQ(sf_read_int(file, read.data(), static_cast<sf_count_t>(samples)), static_cast<sf_count_t>(samples));
      std::size_t wrong = 0;
      for (std::size_t i = 0; i < samples; ++i) {
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < width; ++b) v = v << 8 | sound[i * width + b];
        wrong += read[i] != static_cast<int>(v << (32 - c.bits));
      }
      EXPECT_EQ(wrong, 0u);
    }
    sf_close(file);

    if (!test::HaveProgram("ffprobe")) continue;
    EXPECT_EQ(Probe(conversion.path), std::string(c.codec) + "," + std::to_string(c.outRate ? c.outRate : 8000) + "," +
                                          std::to_string(c.channels) + "," + std::to_string(frames) + "\n");
  }
}

// The read-back takes RF64's sizes from ds64, and damage to them is a clear failure.
TEST(Rf64Test, ReadBackChecksTheDs64Sizes) {
  test::TempDir dir;
  Bytes sound(1000 * 4);
  for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<std::uint8_t>(i * 11);
  const Conversion conversion = Convert(LyingSource(dir, 2, 16, sound), dir.File("out.wav"), {});
  ASSERT_EQ(conversion.outcome.result, FileResult::Converted) << ReasonText(conversion.outcome);
  const Bytes wav = test::ReadFileBytes(conversion.path);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* detail;  // a part of the failure's detail; null: the file passes
  };
  const Case cases[] = {
      {"as written", [](Bytes&) {}, nullptr},
      {"no ds64 chunk", [](Bytes& w) { w[12] = 'X'; }, "ds64"},
      {"ds64 cut short", [](Bytes& w) { w.resize(30); }, "ds64"},
      {"RIFF size one off", [](Bytes& w) { Put64(w, 20, w.size() - 7); }, "RIFF size"},
      {"RIFF size past 64 bits", [](Bytes& w) { Put64(w, 20, ~0ull); }, "RIFF size"},
      {"data size past the file", [](Bytes& w) { Put64(w, 28, 1ull << 40); }, "runs past the end"},
      {"data size a frame short",
       [](Bytes& w) {
         w.erase(w.begin() + 80 + 999 * 4, w.begin() + 80 + 1000 * 4);
         Put64(w, 20, w.size() - 8);
         Put64(w, 28, 999 * 4);
       },
       "999 frames"},
      {"ds64 counts a frame more", [](Bytes& w) { Put64(w, 36, 1001); }, "ds64 chunk counts 1001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = wav;
    c.damage(bytes);
    const ReadBytesAt readAt = [&bytes](std::uint64_t offset, std::uint8_t* to, std::size_t size) {
      if (offset > bytes.size() || size > bytes.size() - offset) return false;
      std::memcpy(to, bytes.data() + offset, size);
      return true;
    };
    const FileOutcome outcome = CheckWavReadback(bytes.size(), readAt, conversion.outcome.written);
    if (!c.detail) {
      EXPECT_EQ(outcome.result, FileResult::Converted) << outcome.detail;
      continue;
    }
    EXPECT_EQ(outcome.reason, FileReason::VerificationFailed);
    EXPECT_NE(outcome.detail.find(c.detail), std::string::npos) << outcome.detail;
  }
}

}  // namespace
}  // namespace velmora
