#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/aiff_error.h"
#include "audio/tag_note.h"

namespace velmora {

enum class FileResult { Converted, Failed, Cancelled, Skipped };

// Why a file failed or was skipped, or what is wrong with a converted one. The engine reports
// these codes; each front end words them (the command line's ReasonText in cli/outcome_text.h,
// the window's own table for its Status column).
enum class FileReason {
  None,
  SourceUnreadable,   // sourceError, and detail: the reader's detail
  InvalidSampleRate,  // rate: the source's
  CannotResample,     // from rate to toRate
  EncoderUnavailable,
  EncoderRejects,     // mp3: what was asked for
  WriteFailed,        // systemError
  WavTooLarge,        // the 4 GiB limit of the format
  WavRateTooHigh,     // rate: the output's; the header's byte rate would not fit
  FolderFailed,       // detail: the folder; systemError
  NoOutputPlace,      // systemError: why the last place tried took no file
  OutputExists,       // skipped; detail: the output that exists
  SourceEndsEarly,    // converted, but with fewer frames than the header announced
  GaplessFrameLeftOut,  // converted, without the gapless information frame; mp3: the frame too small
  OutOfMemory,        // the file needed more memory than the system would give
  VerificationFailed,  // the output read back is not what was written; detail: what differed
  OpusEncoderFailed,   // detail: the encoder's reason
  NoSoundForOpus,      // the source is shorter than one sample at 48 kHz; an Opus stream cannot be empty
};

// What a conversion did about loudness, for the file's line. Each front end words it (LoudnessText
// in cli/outcome_text.h for the command line, the window in the user's language).
struct LoudnessNote {
  enum class Kind {
    None,
    Reached,
    HeldByCeiling,
    ReplayGain,
    TooQuietForReplayGain,
    TooQuietToNormalise,
    NotMeasuredAtRate,  // the meter cannot measure sound at this rate; the file is converted without
  };
  Kind kind = Kind::None;
  double value = 0;    // the loudness reached in LUFS, the ReplayGain written in dB, or the rate in Hz
  double ceiling = 0;  // the ceiling in dBTP that held the loudness lower
  std::uint64_t nonFinite = 0;  // NaN and infinite samples, measured as silence
};

// What became of the companions copied beside a converted file (see convert/companion_files.h):
// counted on the line of the first output of a source folder to reach an output folder. Each
// front end words it.
struct CompanionNote {
  int copied = 0;
  int present = 0;          // left alone: their names are taken in the output folder
  int tooLarge = 0;         // over kMaxCompanionBytes, not copied
  int failed = 0;           // could not be read or written
  std::string firstFailed;  // the name of the first that failed
  int error = 0;            // and the system's reason

  bool Empty() const { return copied == 0 && present == 0 && tooLarge == 0 && failed == 0; }
};

// The MP3 figures a reason names: a frame of `kbps` at `hz` too small for the gapless
// information, or what the encoder refused: a variable-bit-rate quality (0 to 9) or `kbps` at
// an output rate of `hz`, or, with automatic parameters, a source's rate of `hz`.
struct Mp3Figures {
  int kbps = 0;
  int hz = 0;
  int vbrQuality = -1;  // -1 (kMp3ConstantBitRate): a constant bit rate
  bool automatic = false;
};

// What a conversion handed to its output, for reading the output back: the frames at the
// output's rate and channels and, for a format that stores samples exactly, the SampleHash of
// every sample in order.
struct WrittenSound {
  std::uint64_t frames = 0;
  int sampleRate = 0;
  int channels = 0;
  std::optional<std::uint64_t> sampleHash;
};

struct FileOutcome {
  FileResult result = FileResult::Failed;
  FileReason reason = FileReason::None;
  int systemError = 0;
  std::string detail;
  std::uint64_t framesRead = 0;      // source frames delivered by the reader
  std::uint64_t framesExpected = 0;  // what the source's header announced
  std::vector<TagNote> tagNotes{};  // what of the source's tags was left out, and why
  LoudnessNote loudness{};          // the loudness reached, or the ReplayGain written
  int rate = 0;                     // the sample rate a reason names
  int toRate = 0;                   // the rate a resampling was to reach
  Mp3Figures mp3{};                 // the MP3 frame or encoder settings a reason names
  AiffError sourceError = AiffError::None;  // why the source could not be read; detail: the reader's detail
  WrittenSound written{};           // a converted file's sound as handed to the output
  CompanionNote companions{};       // the companions copied beside a converted file

  static FileOutcome Cancelled() { return {FileResult::Cancelled, FileReason::None, 0, {}, 0, 0}; }
  static FileOutcome Failure(FileReason reason, std::string detail = {}, int systemError = 0) {
    return {FileResult::Failed, reason, systemError, std::move(detail), 0, 0};
  }
  // A source the reader could not read, with the reader's detail (a compression code, the
  // system's reason).
  static FileOutcome Unreadable(AiffError error, std::string detail) {
    FileOutcome outcome = Failure(FileReason::SourceUnreadable, std::move(detail));
    outcome.sourceError = error;
    return outcome;
  }
  // A failure that names sample rates.
  static FileOutcome RateFailure(FileReason reason, int rate, int toRate = 0) {
    FileOutcome outcome = Failure(reason);
    outcome.rate = rate;
    outcome.toRate = toRate;
    return outcome;
  }
};

}  // namespace velmora
