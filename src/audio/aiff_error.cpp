#include "audio/aiff_error.h"

namespace velmora {

std::string AiffErrorMessage(AiffError error, const std::string& detail) {
  switch (error) {
    case AiffError::None: return {};
    case AiffError::CannotOpen: return detail.empty() ? "cannot open file" : "cannot open file: " + detail;
    case AiffError::EmptyFile: return "empty file";
    case AiffError::TooLarge: return "file is 4 GiB or larger";
    case AiffError::NotRegularFile: return "not a regular file";
    case AiffError::CannotMap: return detail.empty() ? "cannot map file into memory" : "cannot map file into memory: " + detail;
    case AiffError::TooShort: return "file too short to be AIFF";
    case AiffError::NotAiff: return "not AIFF";
    case AiffError::MissingComm: return "no COMM chunk";
    case AiffError::MissingSsnd: return "no SSND chunk";
    case AiffError::TruncatedComm: return "truncated COMM chunk";
    case AiffError::BadCommSize: return "bad COMM chunk size " + detail;
    case AiffError::BadChannelCount: return "unsupported channel count " + detail;
    case AiffError::BadSampleSize: return "unsupported sample size " + detail;
    case AiffError::UnsupportedCompression: return "unsupported compression code '" + detail + "'";
    case AiffError::BadSsnd: return "bad SSND chunk";
    case AiffError::SourceChanged: return "file shrank while it was being read";
  }
  return "unknown error";
}

}  // namespace velmora
