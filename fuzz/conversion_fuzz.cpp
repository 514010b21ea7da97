// Converts arbitrary bytes the way a user's file is converted: written to a file (in memory) and
// opened through the mapped-file path, then taken through resampling, gain, both WAV writers,
// LAME at constant and variable bit rate with and without the information frame, and the tag
// writers. The last two bytes choose the options. The tags a source yields must stay within
// what one file's metadata may cost, and every rendered tag within its size field.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio/aiff_reader.h"
#include "audio/id3v2_screen.h"
#include "convert/file_conversion.h"
#include "convert/loudness_pass.h"
#include "convert/loudness_plan.h"
#include "convert/output_format.h"
#include "convert/tag_writer.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"
#include "settings/option_limits.h"

namespace {

using velmora::ConverterSettings;

// One memory file for every input, rewritten each time.
std::string SourceFile(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("velmora-fuzz-source", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0) __builtin_trap();
  for (std::size_t done = 0; done < size;) {
    const ssize_t wrote = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (wrote <= 0) __builtin_trap();
    done += static_cast<std::size_t>(wrote);
  }
  return "/proc/self/fd/" + std::to_string(fd);
}

// A folder of its own for the temporary outputs, which are discarded after each input; the
// folder goes when the run ends.
char g_outputFolder[] = "/tmp/velmora-fuzz-XXXXXX";

std::string OutputFolder() {
  static const bool made = [] {
    if (!mkdtemp(g_outputFolder)) __builtin_trap();
    std::atexit([] { rmdir(g_outputFolder); });
    return true;
  }();
  (void)made;
  return g_outputFolder;
}

void CheckTags(const velmora::SourceTags& tags) {
  std::size_t pictureBytes = 0;
  for (const velmora::TagPicture& picture : tags.pictures) pictureBytes += picture.data.size();
  if (pictureBytes > velmora::kMaxTagPictureBytes) __builtin_trap();
  const std::size_t id3 = velmora::BuildId3v2Tag(tags).size();
  if (id3 > velmora::kMaxId3v2TagBytes) __builtin_trap();
  // The WAV chunks hold the same tag and an INFO list of the texts, each chunk at most 4 GiB.
  const std::size_t wav = velmora::BuildWavTagChunks(tags).size();
  if (wav > UINT32_MAX || (id3 > 0 && wav < id3 + 8)) __builtin_trap();
}

velmora::ConversionOptions ChooseOptions(unsigned options) {
  ConverterSettings s;
  const unsigned mode = (options >> 1) & 3;
  const unsigned pick = (options >> 3) & 15;
  velmora::WavTarget wav;
  if (mode == 1) wav.lossless = true;
  if (mode >= 2) {
    wav.sampleRate = velmora::kWavSampleRates[pick % velmora::kWavSampleRates.size()];
    wav.channels = (options & 0x80) ? 1 : 2;
    wav.bits = (options & 0x40) ? 8 : 16;
  }
  // MP3: constant or variable bit rate, automatic or explicit parameters.
  s.MP3VbrQuality = mode >= 2 ? static_cast<std::int32_t>(pick % 10) : velmora::kMp3ConstantBitRate;
  s.AutoDestMP3EncodingParam = (mode & 1) ? 0 : 1;
  s.MP3BitRate = velmora::kMp3BitRates[pick % velmora::kMp3BitRates.size()];
  s.MP3SampleRate = velmora::kMp3SampleRates[pick % velmora::kMp3SampleRates.size()];
  s.MP3ChannelMode = (options & 0x40) ? velmora::kMp3ModeMono : velmora::kMp3ModeJointStereo;
  s.MP3Gapless = (options & 0x80) ? 1 : 0;
  // Gain from a tenth to thirty times, or none.
  static constexpr std::int32_t kGains[] = {10, 50, 99, 100, 101, 200, 1000, 3000};
  s.AmplifyMp3 = s.AmplifyWav = (options & 0x100) ? 1 : 0;
  s.AmplifyMp3Coeff = s.AmplifyWavCoeff = kGains[(options >> 9) & 7];
  s.AddID3Tag = (options & 0x1000) ? 1 : 0;
  s.ID3Tag.SetArtist("\xD0\x94\xD0\xB5\xD0\xBB\xD1\x8C\xD1\x84\xD0\xB8\xD0\xBD");
  s.ID3Tag.SetGenre(static_cast<std::uint8_t>(options >> 8));
  s.CopyTags = (options & 0x2000) ? 0 : 1;
  velmora::ConversionOptions chosen = velmora::OptionsFromSettings(s);
  chosen.wav.target = wav;
  return chosen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const unsigned options = size >= 2 ? (data[size - 1] | (data[size - 2] << 8)) : 0;
  const std::string source = SourceFile(data, size);
  velmora::AiffReader reader;
  if (!reader.Open(source)) return 0;
  CheckTags(reader.Tags());

  const velmora::ConversionOptions chosen = ChooseOptions(options);
  // The byte before the options picks FLAC or Opus for one input in four each; the lowest bit
  // of the options MP3 or WAV otherwise.
  const unsigned pickFormat = size >= 3 ? data[size - 3] % 4 : 0;
  const velmora::OutputFormat format = pickFormat == 1   ? velmora::OutputFormat::Flac
                                       : pickFormat == 2 ? velmora::OutputFormat::Opus
                                       : (options & 1)   ? velmora::OutputFormat::Mp3
                                                         : velmora::OutputFormat::Wav;
  const velmora::OutputFormatInfo& info = velmora::FormatInfo(format);
  const std::string output = OutputFolder() + "/out" + std::string(info.extension);
  velmora::OutputFile file;
  if (!file.CreateTemporary(output)) __builtin_trap();
  // Every third input goes through the loudness pass first and converts with its plan, so that
  // the meter sees every rate, channel count and sample a header can declare.
  velmora::LoudnessPlan plan;
  velmora::FileContext context;
  if (options % 3 == 0) {
    velmora::LoudnessChoice choice;
    choice.mode = (options & 0x4000) ? velmora::LoudnessMode::ReplayGain : velmora::LoudnessMode::Normalize;
    choice.target = -14;
    choice.ceiling = (options & 0x8000) ? 0.0 : -1.0;
    velmora::LoudnessMeter meter;
    if (velmora::MeasureConverted(reader, format, chosen, meter)) {
      meter.Finish();
      plan = velmora::PlanLoudness(choice, meter, nullptr);
      context.loudness = &plan;
    }
    if (!reader.Open(source)) __builtin_trap();
  }
  const velmora::FileOutcome outcome = info.convert(reader, source, file, chosen, context);
  // Nothing the source holds may make a conversion fail for lack of room to write.
  if (outcome.reason == velmora::FileReason::WriteFailed) __builtin_trap();
  // Whatever a conversion wrote reads back as written.
  if (outcome.result == velmora::FileResult::Converted) {
    const velmora::FileOutcome read = info.verify(file.TemporaryPath(), outcome.written, chosen, nullptr);
    if (read.result != velmora::FileResult::Converted) {
      std::fprintf(stderr, "%s output does not read back: %s\n", std::string(info.name).c_str(), read.detail.c_str());
      __builtin_trap();
    }
  }
  file.Discard();
  return 0;
}
