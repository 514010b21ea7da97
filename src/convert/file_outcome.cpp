#include "convert/file_outcome.h"

#include "platform/system_calls.h"

namespace velmora {
namespace {

std::string WithSystemError(const char* text, int error) {
  return error ? std::string(text) + ": " + SystemErrorText(error) : std::string(text);
}

}  // namespace

std::string ReasonText(const FileOutcome& o) {
  switch (o.reason) {
    case FileReason::None: return {};
    case FileReason::SourceUnreadable: return o.detail;
    case FileReason::InvalidSampleRate: return "invalid sample rate " + o.detail;
    case FileReason::CannotResample: return "cannot convert " + o.detail;
    case FileReason::EncoderUnavailable: return "cannot start the MP3 encoder";
    case FileReason::EncoderRejects: return "the MP3 encoder does not take " + o.detail;
    case FileReason::WriteFailed: return WithSystemError("cannot write output", o.systemError);
    case FileReason::WavTooLarge: return "output would pass the 4 GiB limit of WAV files";
    case FileReason::WavRateTooHigh: return "sample rate " + o.detail + " Hz is too high for a WAV header";
    case FileReason::FolderFailed:
      return WithSystemError(("cannot create folder \"" + o.detail + "\"").c_str(), o.systemError);
    case FileReason::NoOutputPlace: return WithSystemError("cannot create output file", o.systemError);
    case FileReason::OutputExists: return o.detail + " exists";
    case FileReason::GaplessFrameLeftOut:
      return "not gapless: a frame of " + o.detail + " has no room for the information frame";
    case FileReason::OutOfMemory: return "out of memory";
    case FileReason::SourceEndsEarly:
      return "source ends early: " + WithThousands(o.framesRead) + " of " + WithThousands(o.framesExpected) +
             " frames";
  }
  return "unknown error";
}

}  // namespace velmora
