#include "convert/file_outcome.h"

#include <cmath>
#include <cstdio>

#include "platform/system_calls.h"

namespace velmora {
namespace {

std::string WithSystemError(const char* text, int error) {
  return error ? std::string(text) + ": " + SystemErrorText(error) : std::string(text);
}

std::string Format(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string CeilingText(double ceiling) {
  return std::fabs(ceiling - std::round(ceiling)) < 1e-9 ? Format("%.0f", ceiling) : Format("%.1f", ceiling);
}

std::string LoudnessText(const LoudnessNote& note) {
  switch (note.kind) {
    case LoudnessNote::Kind::None: return {};
    case LoudnessNote::Kind::Reached: return Format("%.1f LUFS", note.value);
    case LoudnessNote::Kind::HeldByCeiling:
      return Format("%.1f LUFS", note.value) + ", held by the " + CeilingText(note.ceiling) + " dBTP ceiling";
    case LoudnessNote::Kind::ReplayGain: return Format("ReplayGain %.2f dB", note.value);
    case LoudnessNote::Kind::TooQuietForReplayGain: return "too quiet to measure: no ReplayGain";
    case LoudnessNote::Kind::TooQuietToNormalise: return "too quiet to measure: left as it is";
  }
  return {};
}

std::string WithThousands(std::uint64_t number) {
  std::string digits = std::to_string(number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  }
  return digits;
}

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
