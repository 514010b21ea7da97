#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/file_conversion.h"
#include "convert/file_outcome.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

namespace velmora {

// What a conversion to Opus hands to its encoder, before any gain: every channel of the source
// at 48 kHz, in the source's order (the encoder's own order is a reordering of it). Nothing for
// a rate or channel count that cannot be converted.
std::optional<WavFormat> OpusHandedOn(const SourceInfo& source, const ConversionOptions& options);

// The frames a source of `frames` at `rate` lasts at 48 kHz, to the nearest frame.
std::uint64_t OpusFrames(std::uint64_t frames, int rate);

// A ReplayGain gain (to -18 LUFS, in dB) as an R128 gain tag: to -23 LUFS, in 1/256 dB, held
// to the 16 bits the tag's value has.
int R128GainQ8(double replayGainDb);

// The source as Ogg Opus: resampled to 48 kHz by Velmora's resampler, to exactly OpusFrames()
// of what was read; normalisation's gain applied to the samples; the source's tags as
// comments, its pictures as METADATA_BLOCK_PICTURE, ReplayGain as R128_TRACK_GAIN and
// R128_ALBUM_GAIN. Outcomes as ConvertFileToWav.
FileOutcome ConvertFileToOpus(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                              const ConversionOptions& options, const FileContext& context);

// Decodes the closed Opus file at `path` to its end; a VerificationFailed failure when it cannot
// be decoded or holds another length or channel count than `written`.
FileOutcome VerifyOpusFile(const std::string& path, const WrittenSound& written, const ConversionOptions& options);

}  // namespace velmora
