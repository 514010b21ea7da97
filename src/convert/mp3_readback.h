#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "convert/file_outcome.h"
#include "settings/conversion_options.h"

namespace velmora {

// Decodes the MP3 file at `path` to its end with libmpg123 and checks that it holds what was
// written: every frame in step (a frame the decoder cannot follow on from the one before fails,
// where a player would skip ahead), the written rate and channels, and the written length. With
// the information frame the decoder trims the encoder's delay and padding and must give exactly
// the written frames; without it the whole frames decoded hold the encoder's delay and padding
// too, which the check allows for exactly (see the source). Samples are not compared: a changed
// byte inside a frame's sound data decodes without complaint and is not caught. Cancelled once
// `cancel` is set, which is polled as the file is decoded.
FileOutcome VerifyMp3(const std::string& path, const WrittenSound& written, const ConversionOptions& options,
                      const std::atomic<bool>* cancel);

}  // namespace velmora
