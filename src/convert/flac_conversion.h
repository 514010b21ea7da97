#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/file_conversion.h"
#include "convert/file_outcome.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

namespace velmora {

// FLAC keeps integer sources at their own width; float sources become integers of this width.
inline constexpr int kFlacFloatBits = 24;

// The sound a FLAC conversion hands to the encoder: the source's rate, every channel, its
// width (float at kFlacFloatBits). Nothing for a rate that is no rate.
std::optional<WavFormat> FlacHandedOn(const SourceInfo& source, const ConversionOptions& options);

// Writes an opened source as FLAC at its own rate, channels and resolution, through the
// reader's full-resolution path, with normalisation's gain where there is one. Tags go into
// Vorbis comments and pictures, and a plain AIFF's chunks, with options.flac.keepChunks, into
// APPLICATION blocks from which the source can be rebuilt. Outcomes as ConvertFileToWav; a
// converted outcome says what was written.
FileOutcome ConvertFileToFlac(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                              const ConversionOptions& options, const FileContext& context);

// Decodes the closed FLAC file at `path`, checking the MD5 of its samples, and compares the
// frames and the samples' SampleHash with `written`: Converted when they agree, else
// VerificationFailed saying what differed.
FileOutcome VerifyFlacFile(const std::string& path, const WrittenSound& written, const ConversionOptions& options,
                           const std::atomic<bool>* cancel);

}  // namespace velmora
