#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "convert/file_outcome.h"
#include "settings/conversion_options.h"

namespace velmora {

// Reads `size` bytes at `offset` into `out`; false when they cannot all be read.
using ReadBytesAt = std::function<bool(std::uint64_t offset, std::uint8_t* out, std::size_t size)>;

// Reads a closed WAV file of `fileSize` bytes back through `readAt` and checks that it holds
// what was written: a RIFF/WAVE (or RF64/WAVE with its sizes in ds64) whose size is the file's,
// a plain or extensible fmt chunk of a layout Velmora writes at the written rate and channels,
// a data chunk inside the file with exactly the written frames, and samples whose SampleHash is
// the written one. Any bytes give an answer: a VerificationFailed failure saying what
// differed, or Cancelled once `cancel` is set, which is polled between blocks of the data.
FileOutcome CheckWavReadback(std::uint64_t fileSize, const ReadBytesAt& readAt, const WrittenSound& written,
                             const std::atomic<bool>* cancel = nullptr);

// The same for the WAV file at `path`.
FileOutcome VerifyWav(const std::string& path, const WrittenSound& written, const ConversionOptions& options,
                      const std::atomic<bool>* cancel);

}  // namespace velmora
