#include "convert/output_format.h"

#include <array>

#include "convert/flac_conversion.h"
#include "convert/mp3_loudness.h"
#include "convert/mp3_readback.h"
#include "convert/opus_conversion.h"
#include "convert/wav_readback.h"

namespace velmora {
namespace {

std::optional<WavFormat> WavHandedOn(const SourceInfo& source, const ConversionOptions& options) {
  if (source.sampleRate <= 0) return std::nullopt;
  return ChooseWavFormat(source, options.wav.target);
}

const std::array<OutputFormatInfo, 4> kFormats = {{
    {OutputFormat::Mp3, ".mp3", "mp3", "MP3", [](const ConversionOptions& o) { return o.mp3.gain; },
     [](const ConversionOptions&) { return false; },
     [](const SourceInfo& source, const ConversionOptions& o) { return Mp3EncodedFormat(source, o.mp3); },
     MeasureMp3Output, ConvertFileToMp3, VerifyMp3},
    {OutputFormat::Wav, ".wav", "wav", "WAV", [](const ConversionOptions& o) { return o.wav.gain; },
     [](const ConversionOptions& o) { return o.wav.target.lossless; }, WavHandedOn, nullptr,
     [](AiffReader& reader, const std::string&, OutputFile& output, const ConversionOptions& o,
        const FileContext& context) { return ConvertFileToWav(reader, output, o, context); },
     VerifyWav},
    // FLAC has no gain of its own, keeps every source's sound and hands on the source's own
    // format (floats as 24-bit integers).
    {OutputFormat::Flac, ".flac", "flac", "FLAC", [](const ConversionOptions&) { return std::optional<float>(); },
     [](const ConversionOptions&) { return true; }, FlacHandedOn, nullptr, ConvertFileToFlac, VerifyFlacFile},
    // ReplayGain measures what the encoder is handed: at 64 kbit/s a channel a decoded Opus
    // file measures within a few hundredths of a dB of it, and R128 tags carry no peak, so a
    // second encoding to measure would double the time and tell nothing a player would hear.
    {OutputFormat::Opus, ".opus", "opus", "Opus", [](const ConversionOptions&) { return std::optional<float>(); },
     [](const ConversionOptions&) { return false; }, OpusHandedOn, nullptr, ConvertFileToOpus, VerifyOpusFile},
}};

}  // namespace

std::span<const OutputFormatInfo> FormatTable() { return kFormats; }

const OutputFormatInfo& FormatInfo(OutputFormat format) {
  for (const OutputFormatInfo& info : kFormats) {
    if (info.format == format) return info;
  }
  return kFormats.front();  // every OutputFormat has its entry
}

const OutputFormatInfo* FormatNamed(std::string_view name) {
  for (const OutputFormatInfo& info : kFormats) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

}  // namespace velmora
