// Reading every output back before it takes its name (--verify).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "cli/cli_options.h"
#include "cli/outcome_text.h"
#include "convert/conversion_job.h"
#include "convert/output_format.h"
#include "convert/wav_readback.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

struct Recorder final : BatchObserver {
  std::mutex mutex;
  std::map<int, FileReport> reports;
  void BatchStarted(int, OutputFormat) override {}
  void FileStarted(int, const std::string&) override {}
  void FramesDone(int, std::uint64_t, std::uint64_t) override {}
  void FileFinished(int index, const FileReport& report) override {
    std::lock_guard lock(mutex);
    reports[index] = report;
  }
  void BatchFinished() override {}
};

// A tone of `frames` frames; `announced` frames in the header (more: a source that ends early).
struct Source {
  const char* name;
  int channels;
  int bits;  // 8, 16, 24, or 32 for floats
  double rate;
  std::uint32_t frames;
  std::uint32_t announced = 0;
};

std::string WriteSource(const test::TempDir& dir, const Source& s) {
  test::AiffBuilder b;
  b.channels = s.channels;
  b.bits = s.bits;
  b.rate = s.rate;
  b.frames = s.announced ? s.announced : s.frames;
  if (s.bits == 32) {
    b.aifc = true;
    b.compression = "fl32";
  }
  for (std::uint32_t f = 0; f < s.frames; ++f) {
    for (int c = 0; c < s.channels; ++c) {
      const double v = 0.5 * std::sin(0.05 * f + c);
      if (s.bits == 32) {
        test::PutBe32(b.sound, std::bit_cast<std::uint32_t>(static_cast<float>(v)));
        continue;
      }
      const auto q = static_cast<std::int32_t>(std::lround(v * std::ldexp(1.0, s.bits - 1)));
      for (int shift = s.bits - 8; shift >= 0; shift -= 8) b.sound.push_back(static_cast<std::uint8_t>(q >> shift));
    }
  }
  return dir.Write(std::string(s.name) + ".aiff", b.Build());
}

std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void FlipByte(const std::string& path, std::uint64_t offset) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekg(static_cast<std::streamoff>(offset));
  const auto byte = static_cast<char>(file.get() ^ 0xFF);
  file.seekp(static_cast<std::streamoff>(offset));
  file.put(byte);
}

// Where a layer III frame header starts at or after `from` (its sync byte).
std::uint64_t Mp3FrameHeaderAfter(const std::vector<std::uint8_t>& bytes, std::uint64_t from) {
  for (std::uint64_t i = from; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && (bytes[i + 1] & 0xE0) == 0xE0 && (bytes[i + 1] & 0x06) == 0x02) return i;
  }
  return bytes.size();
}

// The way a disk or a bad copy damages an output after it was written. One changed byte in a
// sample of a format that stores samples exactly; in an MP3, a changed byte of a frame header:
// the bytes of a frame's sound data decode without complaint, and no MP3 check sees them.
struct Damage {
  const char* what;
  std::function<void(const std::string& path, OutputFormat format)> apply;
};

const Damage kDamages[] = {
    {"one byte changed",
     [](const std::string& path, OutputFormat format) {
       const std::vector<std::uint8_t> bytes = test::ReadFileBytes(path);
       const std::uint64_t middle = bytes.size() / 2;
       FlipByte(path, format == OutputFormat::Mp3 ? Mp3FrameHeaderAfter(bytes, middle) : middle);
     }},
    {"the last third cut off",
     [](const std::string& path, OutputFormat) { fs::resize_file(path, fs::file_size(path) * 2 / 3); }},
};

class VerifyTest : public ::testing::Test {
 protected:
  // The stored settings with verify on, writing into `out`.
  static ConversionOptions Options(const ConverterSettings& settings, const test::TempDir& out) {
    ConversionOptions options = OptionsFromSettings(settings);
    options.output.verify = true;
    options.output.folder = out.path().string();
    return options;
  }
  test::TempDir m_dir;
};

// Every output a conversion writes reads back as written: every format, across the settings
// that change what is handed to the writer, and sources of every width, odd lengths and one
// that ends before its header says.
TEST_F(VerifyTest, EveryFormatReadsBackWhatItWrote) {
  const std::vector<Source> sources = {
      {"stereo16", 2, 16, 44100, 44101}, {"mono8", 1, 8, 22050, 1151}, {"stereo24", 2, 24, 48000, 4000},
      {"float", 1, 32, 44100, 3000},     {"single", 2, 16, 44100, 1},  {"early", 2, 16, 44100, 3000, 5000},
      {"empty", 2, 16, 44100, 0},
  };
  std::vector<std::string> paths;
  for (const Source& source : sources) paths.push_back(WriteSource(m_dir, source));
  struct Setting {
    const char* name;
    std::function<void(ConverterSettings&)> set;
  };
  const Setting settings[] = {
      {"ordinary", [](ConverterSettings&) {}},
      {"lossless WAV", [](ConverterSettings& s) { s.WAVLossless = 1; }},
      {"gain 150 %",
       [](ConverterSettings& s) {
         s.AmplifyMp3 = s.AmplifyWav = 1;
         s.AmplifyMp3Coeff = s.AmplifyWavCoeff = 150;
       }},
      {"WAV 8-bit mono at 11025 Hz",
       [](ConverterSettings& s) {
         s.AutoDestWAVEncodingParam = 0;
         s.WAVBitsPerSample = 8;
         s.WAVChannelNum = 1;
         s.WAVSampleRate = 11025;
       }},
      {"MP3 variable bit rate", [](ConverterSettings& s) { s.MP3VbrQuality = 4; }},
      {"MP3 gapless at 22050 Hz",
       [](ConverterSettings& s) {
         s.AutoDestMP3EncodingParam = 0;
         s.MP3SampleRate = 22050;
         s.MP3BitRate = 64;
         s.MP3Gapless = 1;
       }},
      // Frames too small for the information frame: the decoded length carries delay and padding.
      {"MP3 at 8 kbit/s",
       [](ConverterSettings& s) {
         s.AutoDestMP3EncodingParam = 0;
         s.MP3SampleRate = 8000;
         s.MP3BitRate = 8;
         s.MP3Gapless = 1;
         s.MP3ChannelMode = kMp3ModeMono;
       }},
  };
  for (const OutputFormatInfo& format : FormatTable()) {
    ASSERT_NE(format.verify, nullptr) << format.name << " cannot be read back";
    for (const Setting& setting : settings) {
      SCOPED_TRACE(std::string(format.name) + ", " + setting.name);
      ConverterSettings stored;
      setting.set(stored);
      test::TempDir out;
      Recorder recorder;
      std::vector<BatchItem> items;
      for (const std::string& path : paths) items.push_back({path, {}});
      ConversionJob(Options(stored, out), {}).RunBatch(items, format.format, recorder, 2);
      ASSERT_EQ(recorder.reports.size(), sources.size());
      std::size_t published = 0;
      for (const auto& [index, report] : recorder.reports) {
        const std::string& name = sources[static_cast<std::size_t>(index)].name;
        // An Opus stream cannot be empty: a source without sound fails cleanly rather than
        // aborting in the encoder.
        if (format.format == OutputFormat::Opus && name == "empty") {
          EXPECT_EQ(report.outcome.reason, FileReason::NoSoundForOpus);
          continue;
        }
        EXPECT_EQ(report.outcome.result, FileResult::Converted)
            << name << ": " << cli::ReasonText(report.outcome) << ": " << report.outcome.detail;
        EXPECT_TRUE(fs::is_regular_file(report.outputPath)) << report.outputPath;
        ++published;
      }
      EXPECT_EQ(Entries(out.path()).size(), published);  // and no temporary file
    }
  }
}

// An output damaged between writing and reading back fails, takes no name and leaves no
// temporary file; the next file of the batch is converted.
TEST_F(VerifyTest, ADamagedOutputFailsAndTheBatchGoesOn) {
  const std::string a = WriteSource(m_dir, {"a", 2, 16, 44100, 30000});
  const std::string b = WriteSource(m_dir, {"b", 2, 16, 44100, 30000});
  for (const OutputFormatInfo& format : FormatTable()) {
    for (const Damage& damage : kDamages) {
      SCOPED_TRACE(std::string(format.name) + ": " + damage.what);
      test::TempDir out;
      ConversionJob job(Options({}, out), {});
      int verified = 0;
      job.SetBeforeVerify([&](const std::string& path) {
        if (verified++ == 0) damage.apply(path, format.format);
      });
      Recorder recorder;
      job.RunBatch({{a, {}}, {b, {}}}, format.format, recorder);
      ASSERT_EQ(recorder.reports.size(), 2u);
      const FileOutcome& failed = recorder.reports[0].outcome;
      EXPECT_EQ(failed.result, FileResult::Failed);
      EXPECT_EQ(failed.reason, FileReason::VerificationFailed);
      EXPECT_FALSE(failed.detail.empty());
      EXPECT_TRUE(recorder.reports[0].outputPath.empty());
      EXPECT_EQ(recorder.reports[1].outcome.result, FileResult::Converted);
      EXPECT_EQ(Entries(out.path()), std::vector<std::string>{"b" + std::string(format.extension)});
    }
  }
}

// Cancel while an output is read back ends that file as cancelled, with nothing left behind.
TEST_F(VerifyTest, CancelWhileReadingBackEndsTheFileAsCancelled) {
  const std::string a = WriteSource(m_dir, {"a", 2, 16, 44100, 30000});
  for (const OutputFormatInfo& format : FormatTable()) {
    SCOPED_TRACE(format.name);
    test::TempDir out;
    ConversionJob job(Options({}, out), {});
    job.SetBeforeVerify([&](const std::string&) { job.Cancel(); });
    Recorder recorder;
    job.RunBatch({{a, {}}, {a, {}}}, format.format, recorder);
    ASSERT_EQ(recorder.reports.size(), 1u);  // the second file is never started
    EXPECT_EQ(recorder.reports[0].outcome.result, FileResult::Cancelled);
    EXPECT_TRUE(Entries(out.path()).empty());
  }
}

// A WAV file read back from bytes: any damage to its header or sound gives a clear failure.
TEST_F(VerifyTest, WavReadBackFailsCleanlyOnDamagedHeadersAndSound) {
  // 24-bit stereo: the extensible header with a fact chunk. RIFF 0-11, fmt 12-59, fact 60-71,
  // data header 72-79, samples from 80.
  const std::string source = WriteSource(m_dir, {"s", 2, 24, 44100, 1000});
  ConverterSettings lossless;
  lossless.WAVLossless = 1;
  test::TempDir out;
  Recorder recorder;
  ConversionJob(Options(lossless, out), {}).RunBatch({{source, {}}}, OutputFormat::Wav, recorder);
  ASSERT_EQ(recorder.reports[0].outcome.result, FileResult::Converted);
  const WrittenSound written = recorder.reports[0].outcome.written;
  ASSERT_TRUE(written.sampleHash);
  const std::vector<std::uint8_t> wav = test::ReadFileBytes(recorder.reports[0].outputPath);
  ASSERT_EQ(wav.size(), 80u + 1000u * 6u);
  ASSERT_EQ(std::memcmp(wav.data() + 72, "data", 4), 0);

  auto put32 = [](std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  auto riffFits = [&](std::vector<std::uint8_t>& bytes) {
    put32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8));
  };
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    const char* detail;  // a part of the failure's detail; null: the file passes
  };
  const Case cases[] = {
      {"as written", [](auto&) {}, nullptr},
      {"empty", [](auto& w) { w.clear(); }, "too short"},
      {"cut inside the header", [](auto& w) { w.resize(10); }, "too short"},
      {"not RIFF", [](auto& w) { w[0] = 'X'; }, "RIFF/WAVE"},
      {"RIFF size two bytes off", [&](auto& w) { put32(w, 4, static_cast<std::uint32_t>(w.size() - 6)); }, "RIFF size"},
      {"cut inside the sound",
       [&](auto& w) {
         w.resize(3000);
         riffFits(w);
       },
       "runs past the end"},
      {"data size past the file", [&](auto& w) { put32(w, 76, 1000 * 6 + 600); }, "runs past the end"},
      {"chunk header cut",
       [&](auto& w) {
         w.resize(76);
         riffFits(w);
       },
       "chunk header"},
      {"data size not whole frames", [&](auto& w) { put32(w, 76, 1000 * 6 - 1); }, "whole number of frames"},
      {"data size a frame short",
       [&](auto& w) {
         put32(w, 76, 999 * 6);
         w.resize(80 + 999 * 6);
         riffFits(w);
       },
       "999 frames"},
      {"format tag not PCM", [](auto& w) { w[20] = 2; }, "not PCM"},
      {"one channel in the header", [](auto& w) { w[22] = 1; }, "do not agree"},
      {"sub-format float at 24 bits", [](auto& w) { w[44] = 3; }, "do not agree"},
      {"sub-format unknown", [](auto& w) { w[50] = 0x42; }, "neither integer nor float"},
      {"extension too short", [](auto& w) { w[36] = 2; }, "too short"},
      {"another rate",
       [&](auto& w) {
         put32(w, 24, 48000);
         put32(w, 28, 48000 * 6);
       },
       "48000 Hz"},
      {"no fmt chunk", [](auto& w) { w[15] = 'X'; }, "before the fmt"},
      {"fact counts one more", [&](auto& w) { put32(w, 68, 1001); }, "fact chunk"},
      {"a sample changed", [](auto& w) { w[80 + 3000] ^= 0x01; }, "samples"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = wav;
    c.damage(bytes);
    const ReadBytesAt readAt = [&bytes](std::uint64_t offset, std::uint8_t* to, std::size_t size) {
      if (offset > bytes.size() || size > bytes.size() - offset) return false;
      std::memcpy(to, bytes.data() + offset, size);
      return true;
    };
    const FileOutcome outcome = CheckWavReadback(bytes.size(), readAt, written);
    if (!c.detail) {
      EXPECT_EQ(outcome.result, FileResult::Converted) << outcome.detail;
      continue;
    }
    EXPECT_EQ(outcome.reason, FileReason::VerificationFailed);
    EXPECT_NE(outcome.detail.find(c.detail), std::string::npos) << outcome.detail;
  }
  // What was written counts too: the same file does not pass for other frames or samples.
  WrittenSound other = written;
  ++other.frames;
  EXPECT_EQ(VerifyWav(recorder.reports[0].outputPath, other, {}, nullptr).reason, FileReason::VerificationFailed);
  other = written;
  *other.sampleHash ^= 1;
  EXPECT_EQ(VerifyWav(recorder.reports[0].outputPath, other, {}, nullptr).reason, FileReason::VerificationFailed);
  EXPECT_EQ(VerifyWav(m_dir.File("missing.wav"), written, {}, nullptr).reason, FileReason::VerificationFailed);
}

// The command line's --verify and --no-verify reach the conversion over the saved setting.
TEST_F(VerifyTest, CommandLineTurnsReadingBackOnAndOff) {
  for (const auto& [arguments, saved, verify] : {std::tuple{"--verify", 0, true}, std::tuple{"--no-verify", 1, false},
                                                 std::tuple{"-q", 1, true}, std::tuple{"-q", 0, false}}) {
    SCOPED_TRACE(arguments);
    std::string error;
    const auto parsed = cli::ParseCommandLine({"convert", arguments, "a.aiff"}, error);
    ASSERT_TRUE(parsed) << error;
    ConverterSettings settings;
    settings.VerifyOutput = saved;
    ASSERT_TRUE(cli::ApplyOverrides(*parsed, settings, error)) << error;
    EXPECT_EQ(OptionsFromSettings(settings).output.verify, verify);
  }
}

}  // namespace
}  // namespace velmora
