#pragma once

#include <string>

namespace velmora {

// Why a file could not be opened or decoded. One message table turns these into text.
enum class AiffError {
  None,
  CannotOpen,           // detail: the system's reason (missing, no access, a folder)
  NotRegularFile,       // a FIFO, a device
  EmptyFile,
  TooLarge,             // 4 GiB or more
  CannotMap,            // detail: the system's reason
  TooShort,             // fewer than 20 bytes
  NotAiff,              // no FORM/AIFF or FORM/AIFC header
  MissingComm,
  MissingSsnd,
  TruncatedComm,        // COMM chunk runs past the end of the file
  BadCommSize,
  BadChannelCount,      // detail: the count
  BadSampleSize,        // detail: the size
  UnsupportedCompression,  // detail: the four-character code
  BadSsnd,
  SourceChanged,        // the file shrank while it was being read
};

// The reason as the user reads it, e.g. "unsupported compression code 'QDMC'".
std::string AiffErrorMessage(AiffError error, const std::string& detail);

}  // namespace velmora
