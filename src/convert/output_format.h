#pragma once

#include <atomic>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/file_conversion.h"
#include "convert/file_outcome.h"
#include "convert/loudness_meter.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

namespace velmora {

// One output format: what it is called and how it is written. A new format is its writer or
// encoder and one entry in FormatTable(); the job, the output names, the loudness pass and the
// command line's -f read the table, and the window finds a row's earlier output by it. The
// window's convert commands and the progress texts are worded per format in the window.
struct OutputFormatInfo {
  OutputFormat format;
  std::string_view extension;  // ".mp3"
  std::string_view name;       // "mp3", as the command line's -f takes it
  std::string_view title;      // "MP3", as the window names it
  // The gain the format's own options ask for.
  std::optional<float> (*gain)(const ConversionOptions& options);
  // Whether the output keeps the source's sound as it is: every channel, its rate, its
  // resolution. Such an output measures as the source does.
  bool (*keepsSource)(const ConversionOptions& options);
  // The sound handed to the writer or encoder, before any gain, after the conversion's own
  // resampling and mixing (not asked of a format that keeps the source); nothing when the
  // conversion could not start.
  std::optional<WavFormat> (*handedOn)(const SourceInfo& source, const ConversionOptions& options);
  // For a lossy format, ReplayGain measures the output as a player decodes it (the source is
  // encoded and decoded to be measured); null where the output sounds as it is handed.
  bool (*measureDecoded)(AiffReader& reader, const std::string& sourcePath, const ConversionOptions& options,
                         LoudnessMeter& meter, const FileContext& context);
  // Converts an opened source into an output file created for it; outcomes as ConvertFileToWav.
  FileOutcome (*convert)(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                         const ConversionOptions& options, const FileContext& context);
  // Reads a complete, closed output at `path` back and checks it holds what the conversion
  // wrote (`written`): Converted when it does, else a VerificationFailed failure saying what
  // differed; Cancelled once `cancel` (which may be null) is set, polled as the file is read.
  // Every format has one: the job asks it of every output when verifying.
  FileOutcome (*verify)(const std::string& path, const WrittenSound& written, const ConversionOptions& options,
                        const std::atomic<bool>* cancel);
};

// Every format Velmora writes, in the order the command line and the window offer them.
std::span<const OutputFormatInfo> FormatTable();
const OutputFormatInfo& FormatInfo(OutputFormat format);
// The format the command line's -f calls `name` ("mp3"), or null.
const OutputFormatInfo* FormatNamed(std::string_view name);

}  // namespace velmora
